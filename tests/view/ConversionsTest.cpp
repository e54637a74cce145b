#include "core/view/Conversions.h"

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

} // namespace
} // namespace zor
