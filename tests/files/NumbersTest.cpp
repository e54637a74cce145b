#include "core/files/Numbers.h"

#include <gtest/gtest.h>

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
