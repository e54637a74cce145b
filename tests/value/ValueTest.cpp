#include "core/value/BitsText.h"
#include "core/value/CellValue.h"
#include "core/value/CsvValue.h"
#include "core/value/EditorText.h"
#include "core/value/NamesText.h"
#include "core/value/ValueText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using Value = std::optional<std::uint32_t>;
constexpr int kSizes[] = {1, 2, 3, 4};

// The values where a size's range turns: both ends of the unsigned and the signed range.
std::vector<std::uint32_t> EdgeValues(int size)
{
    const auto top = static_cast<std::uint32_t>(MaxSigned(size));
    return {0, 1, top - 1, top, top + 1, MaxUnsigned(size) - 1, MaxUnsigned(size)};
}

TEST(CellValue, BytesAreLowestFirstAndComeBackFromTheirValue)
{
    using Bytes = std::vector<std::uint8_t>;
    for (const auto& [bytes, value] : {std::pair{Bytes{0xFE}, 0xFEu}, {Bytes{0x34, 0x12}, 0x1234u},
                                       {Bytes{0x01, 0x02, 0x83}, 0x830201u}, {Bytes{0x78, 0x56, 0x34, 0xF2}, 0xF2345678u}}) {
        EXPECT_EQ(ValueOfBytes(bytes), value);
        EXPECT_EQ(BytesOfValue(value, static_cast<int>(bytes.size())), bytes);
    }
    EXPECT_EQ(BytesOfValue(0x1234, 1), Bytes{0x34}); // bits above the size are dropped
}

TEST(CellValue, EachSizesRangeAndSignTurnWhereTwosComplementSays)
{
    using Range = std::tuple<std::uint32_t, std::int64_t, std::int64_t>;
    const Range ranges[] = {{0xFF, -128, 127}, {0xFFFF, -32768, 32767}, {0xFFFFFF, -8388608, 8388607},
                            {0xFFFFFFFF, -2147483648LL, 2147483647}};
    for (const int size : kSizes) {
        SCOPED_TRACE(size);
        const auto [max, min, maxSigned] = ranges[size - 1];
        EXPECT_EQ(Range(MaxUnsigned(size), MinSigned(size), MaxSigned(size)), ranges[size - 1]);
        const auto top = static_cast<std::uint32_t>(maxSigned);
        EXPECT_EQ((std::vector{SignedValue(top, size), SignedValue(top + 1, size), SignedValue(max, size)}),
                  (std::vector<std::int64_t>{maxSigned, min, -1}));
        EXPECT_EQ(SignedValue(max + 1ULL + 5, size), 5); // the bits above the size are not the value's
    }
}

TEST(ValueText, EachNotationWritesTheSizesValue)
{
    using Case = std::tuple<int, std::uint32_t, int, QString>;
    for (const auto& [notation, value, size, text] :
         {Case{16, 0x1234, 2, u"0x1234"_s}, {16, 0xA, 3, u"0x00000A"_s}, {7, 0xBEEF, 4, u"0x0000BEEF"_s},
          {-10, 0x8000, 2, u"-32768"_s}, {-10, 0x7FFF, 2, u"32767"_s}, {-10, 0x800000, 3, u"-8388608"_s},
          {-10, 0x80000000, 4, u"-2147483648"_s}, {-10, 0xFFFFFFFF, 4, u"-1"_s}, {10, 0xFFFFFFFF, 4, u"4294967295"_s},
          {10, 0x1FF, 1, u"255"_s}})
        EXPECT_EQ(FormatValue(notation, value, size), text) << notation << " " << value << " " << size;
    // The size-1 case is the grid's byte text, for every byte.
    for (std::uint32_t b = 0; b <= 255; ++b)
        EXPECT_EQ((QStringList{FormatValue(16, b, 1), FormatValue(10, b, 1), FormatValue(-10, b, 1)}),
                  (QStringList{QString::asprintf("0x%02X", b), QString::asprintf("%u", b),
                               QString::asprintf("%d", static_cast<int>(static_cast<std::int8_t>(b)))}));
}

TEST(EditorText, TheRangeEndsOfEachSizeAndOnePast)
{
    using Case = std::tuple<QString, int, Value>;
    for (const auto& [text, size, value] : {
             Case{u"0x0000"_s, 2, 0}, {u"0xffff"_s, 2, 0xFFFF}, {u"0x12345"_s, 2, {}}, {u"65535"_s, 2, 0xFFFF},
             {u"65536"_s, 2, {}}, {u"65534.5"_s, 2, 65534}, {u"-32768"_s, 2, 0x8000}, {u"-32768.5"_s, 2, {}},
             {u"-32767.5"_s, 2, 0x8000}, {u"-32769"_s, 2, {}}, {u"0xFFFFFF"_s, 3, 0xFFFFFF}, {u"0x1234567"_s, 3, {}},
             {u"16777215"_s, 3, 0xFFFFFF}, {u"16777216"_s, 3, {}}, {u"-8388608"_s, 3, 0x800000}, {u"-8388609"_s, 3, {}},
             {u"０ｘＦＦＦＦＦＦＦＦ"_s, 4, 0xFFFFFFFF}, {u"0x123456789"_s, 4, {}}, {u"4294967295"_s, 4, 0xFFFFFFFF},
             {u"4294967296"_s, 4, {}}, {u"-2147483648"_s, 4, 0x80000000}, {u"-2147483649"_s, 4, {}}, {u"1e3"_s, 4, {}}})
        EXPECT_EQ(ReadEditorText(text, size), value) << text.toStdString() << " " << size;
}

// The byte editor's texts, as its own tests expect them, read alike at every size: the
// same value, a negative one widened to the size.
TEST(EditorText, TheByteEditorsFormsHoldAtEverySize)
{
    const std::vector<std::pair<QString, int>> accepted{
        {u""_s, 0},       {u"   "_s, 0},      {u"0x5"_s, 5},     {u"0XfF"_s, 255},  {u" 0x0a "_s, 10},
        {u"255"_s, 255},  {u"+7"_s, 7},       {u"254.5"_s, 254}, {u"253.5"_s, 254}, {u"-1"_s, -1},
        {u"-128"_s, -128}, {u"-0"_s, 0},      {u"-0.5"_s, -1},   {u"-127.5"_s, -128},
        {u"１２"_s, 12},   {u"０ｘＦＦ"_s, 255}, {u"－１"_s, -1},   {u"\u3000７\u3000"_s, 7}};
    for (const int size : kSizes)
        for (const auto& [text, number] : accepted)
            EXPECT_EQ(ReadEditorText(text, size), FromSigned(number, size)) << text.toStdString() << " " << size;
    for (const QString& text : {u"FF"_s, u"$20"_s, u"abc"_s, u"1e2"_s, u"0x"_s, u"0x+5"_s, u"0xG"_s, u"- 1"_s,
                                u"+-1"_s, u"--1"_s, u"0.5.1"_s, u"300"_s, u"-129"_s, u"255.5"_s, u"-128.5"_s, u"0x123"_s})
        EXPECT_EQ(ReadEditorText(text, 1), std::nullopt) << text.toStdString();
}

TEST(EditorText, BareDigitsReadAsHexadecimalOnlyWhenAsked)
{
    using Case = std::tuple<QString, int, Value, Value>; // text, size, decimal reading, hexadecimal reading
    for (const auto& [text, size, decimal, hex] :
         {Case{u"10"_s, 1, 10, 0x10}, {u"FF"_s, 1, {}, 0xFF}, {u"ffff"_s, 2, {}, 0xFFFF}, {u"100"_s, 1, 100, {}},
          {u"12345"_s, 2, 12345, {}}, {u"1e2"_s, 2, {}, 0x1E2}, {u"-1"_s, 2, 0xFFFF, 0xFFFF}, {u"0x1F"_s, 1, 0x1F, 0x1F},
          {u"１Ａ"_s, 1, {}, 0x1A}, {u"12345678"_s, 4, 12345678, 0x12345678}, {u""_s, 3, 0, 0}}) {
        EXPECT_EQ(ReadEditorText(text, size), decimal) << text.toStdString();
        EXPECT_EQ(ReadEditorText(text, size, BareDigits::Hexadecimal), hex) << text.toStdString();
    }
}

TEST(EditorText, TheFormsNameTheSizesRange)
{
    EXPECT_EQ(EditorTextForms(1), u"0x00〜0xFF、0〜255、−128〜−1"_s);
    EXPECT_EQ(EditorTextForms(2), u"0x0000〜0xFFFF、0〜65535、−32768〜−1"_s);
    EXPECT_EQ(EditorTextForms(4), u"0x00000000〜0xFFFFFFFF、0〜4294967295、−2147483648〜−1"_s);
    for (const int size : kSizes) { // the example is a "0x" form filling the size
        const QString example = EditorTextForms(size, true).section(u' ', -1).chopped(1);
        EXPECT_TRUE(ReadEditorText(example, size) && example.size() == 2 + 2 * size) << example.toStdString();
    }
}

TEST(NamesText, ANameShowsAndReadsItsFirstIdANumberStaysANumber)
{
    const QStringList names{u""_s, u"剣"_s, u"盾"_s, u"剣"_s, u"ＡＢＣ"_s, u"2"_s};
    EXPECT_EQ((QStringList{NamesCellText(1, 1, 16, names), NamesCellText(3, 1, 16, names), NamesCellText(0, 1, 16, names),
                           NamesCellText(9, 2, 16, names), NamesCellText(0xFF, 1, -10, names)}),
              (QStringList{u"剣"_s, u"剣"_s, u"0x00"_s, u"0x0009"_s, u"-1"_s}));
    using Case = std::pair<QString, Value>;
    for (const auto& [text, id] : {Case{u"剣"_s, 1}, {u"盾"_s, 2}, {u"ABC"_s, 4}, {u"ＡＢＣ"_s, 4}, {u"abc"_s, {}},
                                   {u"2"_s, 2}, {u"5"_s, 5}, {u"0x03"_s, 3}, {u"槍"_s, {}}})
        EXPECT_EQ(ReadNameOrNumber(text, 1, names), id) << text.toStdString();
    // A name whose ID the cell can't hold is no answer.
    QStringList many(300);
    many[0x100] = u"遠い"_s;
    EXPECT_EQ(std::pair(ReadNameOrNumber(u"遠い"_s, 1, many), ReadNameOrNumber(u"遠い"_s, 2, many)), std::pair(Value{}, Value{0x100}));
}

TEST(BitsText, SetBitsByNameUnnamedByNumberNoneAsADash)
{
    const QStringList bits{u"装備可"_s, u"売却不可"_s, u""_s, u"呪い"_s};
    using Case = std::tuple<std::uint32_t, int, QString>;
    for (const auto& [value, size, text] :
         {Case{0b1001, 1, u"装備可・呪い"_s}, {0, 1, u"－"_s}, {0b110, 1, u"売却不可・bit 2"_s}, {0x100, 1, u"－"_s},
          {0x8010, 2, u"bit 4・bit 15"_s}, {0x80000001, 4, u"装備可・bit 31"_s}, {0x800000, 3, u"bit 23"_s}})
        EXPECT_EQ(BitsCellText(value, size, bits), text) << value;
}

TEST(CsvValue, EachFixedNotationWritesAndReadsEverySize)
{
    using N = CsvNotation;
    using Case = std::tuple<std::uint32_t, int, N, QString>;
    for (const auto& [value, size, notation, text] :
         {Case{0xFF, 1, N::Hex, u"FF"_s}, {0x0A0B, 2, N::Hex, u"A0B"_s}, {0xFFFF, 2, N::Signed, u"-1"_s},
          {0x8000, 2, N::Unsigned, u"32768"_s}, {0x80000000, 4, N::Signed, u"-2147483648"_s}, {0xFF, 2, N::Own, u"0x00FF"_s}})
        EXPECT_EQ(CsvValueText(value, size, notation, 16), text) << text.toStdString();
    for (const int size : kSizes)
        for (const std::uint32_t value : EdgeValues(size))
            for (const N notation : {N::Hex, N::Unsigned, N::Signed})
                EXPECT_EQ(ReadCsvValue(CsvValueText(value, size, notation, 0), notation, size), value) << size;
    for (std::uint32_t b = 0; b <= 255; ++b)
        EXPECT_EQ((QStringList{CsvValueText(b, 1, N::Hex, 0), CsvValueText(b, 1, N::Signed, 0)}),
                  (QStringList{QString::asprintf("%X", b), QString::asprintf("%d", static_cast<int>(static_cast<std::int8_t>(b)))}));
}

TEST(CsvValue, TheNotationsFormWidenedThenTheEditorsForms)
{
    using N = CsvNotation;
    using Case = std::tuple<QString, N, int, Value>;
    for (const auto& [text, notation, size, value] : {
             Case{u"FFFF"_s, N::Hex, 2, 0xFFFF}, {u"1FFFF"_s, N::Hex, 2, {}}, {u"10000"_s, N::Hex, 2, 10000},
             {u"65536"_s, N::Unsigned, 2, {}}, {u"4294967295"_s, N::Unsigned, 4, 0xFFFFFFFF},
             {u"4294967296"_s, N::Unsigned, 4, {}}, {u"-32768"_s, N::Signed, 2, 0x8000}, {u"-32769"_s, N::Signed, 2, {}},
             {u"32768"_s, N::Signed, 2, 32768}, {u" 0x1234 "_s, N::Own, 2, 0x1234}, {u"0x12345"_s, N::Own, 2, {}},
             {u"-8388608"_s, N::Own, 3, 0x800000}, {u"99999999999"_s, N::Own, 4, {}}})
        EXPECT_EQ(ReadCsvValue(text, notation, size), value) << text.toStdString();
    EXPECT_EQ(std::pair(ReadCsvValue(u"10"_s, N::Own, 1, BareDigits::Hexadecimal), ReadCsvValue(u"10"_s, N::Unsigned, 1, BareDigits::Hexadecimal)),
              std::pair(Value{0x10}, Value{10}));
    // What a cell shows reads back as its value; the shortcuts agree with the editor's reading there and one digit past.
    for (const int size : kSizes)
        for (const std::uint32_t value : EdgeValues(size))
            for (const int notation : {16, 10, -10}) {
                const QString shown = FormatValue(notation, value, size);
                EXPECT_EQ(ReadEditorText(shown, size), value) << shown.toStdString();
                for (const QString& text : {shown, shown + u'0', shown.toLower()})
                    EXPECT_EQ(ReadCsvValue(text, N::Own, size), ReadEditorText(text, size)) << text.toStdString();
            }
}

} // namespace
} // namespace zor
