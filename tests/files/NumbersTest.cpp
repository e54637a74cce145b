#include "core/files/Numbers.h"

#include <QString>

#include <gtest/gtest.h>

#include <utility>

namespace zor {
namespace {

// The leading hexadecimal digits, exactly: four-digit offsets from 8000 to FFFF are plain
// unsigned offsets; more than 0x7FFFFFFF, more than eight significant digits or no leading
// digit at all give nothing.
TEST(HexTextToLong, ReadsLeadingHexDigitsExactly)
{
    const std::pair<const char16_t*, std::optional<std::int32_t>> cases[] = {
        {u"1A2", 418},        {u"7FFF", 32767},        {u"1A2B", 6699},        {u"1A2B3G", 107187},    {u"1a2b", 6699},
        {u"0", 0},            {u"8000", 32768},        {u"FFFF", 65535},       {u"10000", 65536},      {u"7FFFFFFF", 0x7FFFFFFF},
        {u"000000001", 1},    {u"80000000", std::nullopt}, {u"FFFFFFFF", std::nullopt}, {u"123456789", std::nullopt},
        {u"100000000", std::nullopt}, {u"", std::nullopt}, {u"xyz", std::nullopt}, {u" 12", std::nullopt},
        {u"０１", std::nullopt}, // full-width digits are not hexadecimal
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(HexTextToLong(text), expected) << QString::fromUtf16(text).toStdString();
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

// Halves round to even; what doesn't fit 16 bits is nothing.
TEST(ToInt16, RoundsHalvesToEvenAndRejectsWhatDoesNotFit)
{
    const std::pair<const char16_t*, std::optional<std::int16_t>> cases[] = {
        {u"16", 16},    {u"-10", -10},     {u" 10 ", 10},           {u"2.5", 2},             {u"3.5", 4},
        {u"-2.5", -2},  {u"1e2", 100},     {u"32767", 32767},       {u"-32768.5", -32768},   {u"32767.5", std::nullopt},
        {u"40000", std::nullopt}, {u"hex", std::nullopt}, {u"", std::nullopt}, {u"inf", std::nullopt}, {u"1e", std::nullopt},
        {u".", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ToInt16(text), expected) << QString::fromUtf16(text).toStdString();
}

} // namespace
} // namespace zor
