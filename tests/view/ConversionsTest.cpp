#include "view/Conversions.h"

#include <QString>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

std::uint8_t Parsed(const QString& text, std::uint8_t before = 77)
{
    std::uint8_t target = before;
    ParseByte(target, text);
    return target;
}

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

TEST(ByteToSigned, SplitsAt128)
{
    EXPECT_EQ(ByteToSigned(0), 0);
    EXPECT_EQ(ByteToSigned(127), 127);
    EXPECT_EQ(ByteToSigned(128), -128);
    EXPECT_EQ(ByteToSigned(255), -1);
}

TEST(ParseByte, DecimalText)
{
    EXPECT_EQ(Parsed(u"255"_s), 255);
    EXPECT_EQ(Parsed(u"0"_s), 0);
    EXPECT_EQ(Parsed(u"256"_s), 0);
    EXPECT_EQ(Parsed(u"254.5"_s), 254);
    EXPECT_EQ(Parsed(u"253.5"_s), 254);
    EXPECT_EQ(Parsed(u"255.5"_s), 0);
    EXPECT_EQ(Parsed(u" 12 "_s), 12);
    EXPECT_EQ(Parsed(u"+7"_s), 7);
    EXPECT_EQ(Parsed(u"abc"_s), 0);
    EXPECT_EQ(Parsed(u""_s), 0);
    EXPECT_EQ(Parsed(u"12abc"_s), 0);
    EXPECT_EQ(Parsed(u"0X1F"_s), 0); // a capital X takes the decimal path
}

TEST(ParseByte, HexText)
{
    EXPECT_EQ(Parsed(u"0x1F"_s), 31);
    EXPECT_EQ(Parsed(u"0xff"_s), 255);
    EXPECT_EQ(Parsed(u"0x0A"_s), 10);
    EXPECT_EQ(Parsed(u"0x123"_s), 0); // five characters
    EXPECT_EQ(Parsed(u"0x5"_s), 0);   // only "x5" is read
    EXPECT_EQ(Parsed(u"0x"_s), 0);
    EXPECT_EQ(ParseHexByte(u"0x1G"), 1);
}

TEST(ParseByte, NegativeText)
{
    EXPECT_EQ(Parsed(u"-1"_s), 255);
    EXPECT_EQ(Parsed(u"-128"_s), 128);
    EXPECT_EQ(Parsed(u"-129"_s), 127);
    EXPECT_EQ(Parsed(u"-256"_s), 0);
    EXPECT_EQ(Parsed(u"-257"_s), 0);
    EXPECT_EQ(Parsed(u"-0.5"_s), 255);
    EXPECT_EQ(Parsed(u"-0"_s), 0);
    EXPECT_EQ(Parsed(u"-"_s), 0);
    EXPECT_EQ(Parsed(u"-1x"_s), 0);
}

TEST(ParseByte, EveryByteComesBackFromEachNotationsText)
{
    for (int b = 0; b <= 255; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        EXPECT_EQ(Parsed(u"0x"_s + QString::number(b, 16).toUpper().rightJustified(2, u'0')), byte);
        EXPECT_EQ(Parsed(QString::number(b)), byte);
        EXPECT_EQ(Parsed(QString::number(ByteToSigned(byte))), byte);
    }
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
