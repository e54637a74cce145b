#include "core/files/Numbers.h"

#include <QString>

#include <gtest/gtest.h>

#include <utility>

namespace zor {
namespace {

TEST(HexTextToLong, ReadsLeadingHexDigitsExactly)
{
    EXPECT_EQ(HexTextToLong(u"1A2"), 418);
    EXPECT_EQ(HexTextToLong(u"7FFF"), 32767);
    EXPECT_EQ(HexTextToLong(u"1A2B"), 6699);
    EXPECT_EQ(HexTextToLong(u"1A2B3G"), 107187);
    EXPECT_EQ(HexTextToLong(u"1a2b"), 6699);
    EXPECT_EQ(HexTextToLong(u"0"), 0);
    // Four-digit offsets from 8000 to FFFF are plain unsigned offsets.
    EXPECT_EQ(HexTextToLong(u"8000"), 32768);
    EXPECT_EQ(HexTextToLong(u"FFFF"), 65535);
    EXPECT_EQ(HexTextToLong(u"10000"), 65536);
    EXPECT_EQ(HexTextToLong(u"7FFFFFFF"), 0x7FFFFFFF);
    EXPECT_EQ(HexTextToLong(u"000000001"), 1); // leading zeros are not significant
}

TEST(HexTextToLong, UnusableOffsetsGiveNothing)
{
    EXPECT_FALSE(HexTextToLong(u"80000000").has_value());
    EXPECT_FALSE(HexTextToLong(u"FFFFFFFF").has_value());
    EXPECT_FALSE(HexTextToLong(u"123456789").has_value());
    EXPECT_FALSE(HexTextToLong(u"").has_value());
    EXPECT_FALSE(HexTextToLong(u"xyz").has_value());
    EXPECT_FALSE(HexTextToLong(u" 12").has_value());
    EXPECT_FALSE(HexTextToLong(u"０１").has_value()); // full-width digits are not hexadecimal
}

// An offset line is read whole: text that the leading-digit rule would cut short is no offset.
TEST(ParseOffset, ReadsTheWholeLineOrNothing)
{
    const std::pair<const char16_t*, std::optional<std::int32_t>> cases[] = {
        {u"1A2B", 0x1A2B}, {u"abc", 0xABC}, {u"1A2B3", 0x1A2B3}, {u"0", 0}, {u"FFFF", 0xFFFF},
        {u"0x61002", 0x61002}, {u"0X61002", 0x61002}, {u"$61002", 0x61002}, {u" \t61002\t ", 0x61002},
        {u"0x0000000061002", 0x61002}, {u"7FFFFFFF", 0x7FFFFFFF},
        {u"61O01", std::nullopt}, {u"6100G", std::nullopt}, {u"61002 ; HP", std::nullopt}, {u"61 002", std::nullopt},
        {u"0x", std::nullopt}, {u"$", std::nullopt}, {u"", std::nullopt}, {u" ", std::nullopt}, {u"x61002", std::nullopt},
        {u"$0x1", std::nullopt}, {u"0x$1", std::nullopt}, {u"-1", std::nullopt}, {u"\u3000" u"1", std::nullopt},
        {u"80000000", std::nullopt}, {u"123456789", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseOffset(text), expected) << QString::fromUtf16(text).toStdString();
}

TEST(ToInt16, RoundsHalvesToEvenAndRejectsWhatDoesNotFit)
{
    EXPECT_EQ(ToInt16(u"16"), 16);
    EXPECT_EQ(ToInt16(u"-10"), -10);
    EXPECT_EQ(ToInt16(u" 10 "), 10);
    EXPECT_EQ(ToInt16(u"2.5"), 2);
    EXPECT_EQ(ToInt16(u"3.5"), 4);
    EXPECT_EQ(ToInt16(u"-2.5"), -2);
    EXPECT_EQ(ToInt16(u"1e2"), 100);
    EXPECT_EQ(ToInt16(u"32767"), 32767);
    EXPECT_EQ(ToInt16(u"-32768.5"), -32768);
    EXPECT_FALSE(ToInt16(u"32767.5").has_value());
    EXPECT_FALSE(ToInt16(u"40000").has_value());
    EXPECT_FALSE(ToInt16(u"hex").has_value());
    EXPECT_FALSE(ToInt16(u"").has_value());
    EXPECT_FALSE(ToInt16(u"inf").has_value());
    EXPECT_FALSE(ToInt16(u"1e").has_value());
    EXPECT_FALSE(ToInt16(u".").has_value());
}

} // namespace
} // namespace zor
