#include "core/view/Conversions.h"

#include <QString>

#include <vector>

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
    EXPECT_EQ((std::vector<int>{ByteToSigned(0), ByteToSigned(127), ByteToSigned(128), ByteToSigned(255)}),
              (std::vector<int>{0, 127, -128, -1}));
}

// The Parts' reading of a cell's text: what it can't read is 0.
TEST(ParseByte, DecimalHexAndNegativeText)
{
    const std::pair<QString, int> cases[] = {
        {u"255"_s, 255}, {u"0"_s, 0},      {u"256"_s, 0},    {u"254.5"_s, 254}, {u"253.5"_s, 254}, {u"255.5"_s, 0},
        {u" 12 "_s, 12}, {u"+7"_s, 7},     {u"abc"_s, 0},    {u""_s, 0},        {u"12abc"_s, 0},
        {u"0X1F"_s, 0}, // a capital X takes the decimal path
        {u"0x1F"_s, 31}, {u"0xff"_s, 255}, {u"0x0A"_s, 10},  {u"0x123"_s, 0},   // five characters
        {u"0x5"_s, 0},  // only "x5" is read
        {u"0x"_s, 0},    {u"-1"_s, 255},   {u"-128"_s, 128}, {u"-129"_s, 127},  {u"-256"_s, 0},    {u"-257"_s, 0},
        {u"-0.5"_s, 255}, {u"-0"_s, 0},    {u"-"_s, 0},      {u"-1x"_s, 0},
    };
    for (const auto& [text, byte] : cases)
        EXPECT_EQ(Parsed(text), byte) << text.toStdString();
    EXPECT_EQ(ParseHexByte(u"0x1G"), 1);
}

TEST(ParseCellText, TakesExactlyTheEditorsForms)
{
    const std::vector<std::pair<QString, int>> accepted{
        {u""_s, 0},       {u"   "_s, 0},      {u"0x5"_s, 5},     {u"0XfF"_s, 255},  {u" 0x0a "_s, 10},
        {u"255"_s, 255},  {u"+7"_s, 7},       {u"254.5"_s, 254}, {u"253.5"_s, 254}, {u"-1"_s, 0xFF},
        {u"-128"_s, 0x80}, {u"-0"_s, 0},      {u"-0.5"_s, 0xFF}, {u"-127.5"_s, 0x80},
        // an input method's full-width forms
        {u"１２"_s, 12},   {u"０ｘＦＦ"_s, 255}, {u"－１"_s, 0xFF}, {u"\u3000７\u3000"_s, 7},
    };
    for (const auto& [text, byte] : accepted)
        EXPECT_EQ(ParseCellText(text), std::optional<std::uint8_t>(byte)) << text.toStdString();
    for (const QString& text : {u"FF"_s, u"$20"_s, u"300"_s, u"abc"_s, u"-129"_s, u"255.5"_s, u"-128.5"_s, u"1e2"_s,
                                u"0x"_s, u"0x123"_s, u"0x+5"_s, u"0xG"_s, u"- 1"_s, u"+-1"_s, u"--1"_s, u"0.5.1"_s})
        EXPECT_EQ(ParseCellText(text), std::nullopt) << text.toStdString();
    // Whatever a cell shows, in any notation, reads back as its byte.
    for (int b = 0; b <= 255; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        EXPECT_EQ(ParseCellText(u"0x"_s + QString::number(b, 16).toUpper().rightJustified(2, u'0')), byte);
        EXPECT_EQ(ParseCellText(QString::number(ByteToSigned(byte))), byte);
    }
}

} // namespace
} // namespace zor
