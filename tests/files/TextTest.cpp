#include "core/files/CsvText.h"
#include "core/files/Numbers.h"
#include "core/files/Text.h"
#include "core/view/CellValueText.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// Every kind of line end splits, the pieces join back exactly, and lines that aren't CP932 are named.
TEST(Text, SplitsAtEveryKindOfLineEndAndCountsBreaksPlusOne)
{
    std::vector<std::pair<QByteArray, QByteArray>> split;
    for (const RawLine& line : SplitLines("a\r\nb\nc\rd\r\r\ne"))
        split.emplace_back(line.text, line.ending);
    EXPECT_EQ(split, (std::vector<std::pair<QByteArray, QByteArray>>{
                         {"a", "\r\n"}, {"b", "\n"}, {"c", "\r"}, {"d", "\r"}, {"", "\r\n"}, {"e", ""}}));
    for (const auto& [bytes, count, lines] : {std::tuple{QByteArray("a\r\nb\r\nc\r\n"), 4, QStringList{u"a"_s, u"b"_s, u"c"_s}},
                                              {"a\r\nb\r\nc", 3, {u"a"_s, u"b"_s, u"c"_s}}, {"", 1, {}},
                                              {"a\n\nb\n", 4, {u"a"_s, QString(), u"b"_s}}}) {
        EXPECT_EQ(ToTextLines(bytes).lineCount, count) << bytes.toStdString();
        EXPECT_EQ(ToTextLines(bytes).lines, lines) << bytes.toStdString();
    }
    EXPECT_EQ(ToTextLines(QByteArray("ok\r\n\x81\r\nok\r\n\xFF\xFF", 13)).badLines, (std::vector<int>{2, 4}));
}

TEST(Text, Cp932SingleBytesAreAsciiOrKatakanaAndComeBackUnchanged)
{
    for (int b = 0; b < 0x100; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        const DecodedText decoded = DecodeCp932(byte);
        const bool character = b < 0x80 || (b >= 0xA1 && b <= 0xDF); // else 0x80, 0xA0, 0xFD-0xFF or a lead byte
        const char16_t expected = b < 0x80 ? char16_t(b) : character ? char16_t(0xFF61 + b - 0xA1) : char16_t(0xFFFD);
        EXPECT_EQ(decoded.ok, character) << b;
        EXPECT_EQ(decoded.text, QString(QChar(expected))) << b;
        if (character) {
            EXPECT_EQ(EncodeCp932(decoded.text).value_or(QByteArray()), byte) << b;
        }
    }
}

TEST(Text, Cp932BadPairsBecomeReplacementsNotControlCharacters)
{
    // A lead byte before a byte that cannot trail it is bad alone; a pair that names nothing is one bad character.
    EXPECT_EQ(DecodeCp932("\x81 \x81\x7F\x81\x1A").text, u"\uFFFD \uFFFD\u007F\uFFFD\u001A"_s);
    EXPECT_EQ(DecodeCp932("\x85\x40x\xEB\x40\xFC\xFC\x81").text, u"\uFFFDx\uFFFD\uFFFD\uFFFD"_s);
    EXPECT_FALSE(DecodeCp932("\x85\x40").ok);
    for (const QString& text : {u"😀"_s, u"\u00A5"_s, u"\u0080"_s, u"\uFFFD"_s, QString(QChar(0xD800)), u"\u301C"_s})
        EXPECT_FALSE(EncodeCp932(text).has_value()) << text.toStdString();
}

TEST(Text, Cp932DoubleBytesReadAndWriteAsWindowsDoes)
{
    int characters = 0;
    for (int pair = 0x8140; pair <= 0xFCFC; ++pair) {
        const char bytes[2] = {static_cast<char>(pair >> 8), static_cast<char>(pair)};
        const DecodedText decoded = DecodeCp932(QByteArrayView(bytes, 2));
        if (!decoded.ok || !IsCp932LeadByte(bytes[0]))
            continue;
        ++characters;
        ASSERT_EQ(decoded.text.size(), 1) << pair;
        EXPECT_EQ(DecodeCp932(EncodeCp932(decoded.text).value_or(QByteArray())).text, decoded.text) << pair;
    }
    EXPECT_EQ(DecodeCp932("\x83\x4E\x83\x89\x83\x58").text, u"クラス"_s);
    // JIS X 0208, the NEC and IBM rows and the 1880 user-defined characters.
    EXPECT_EQ(characters, 6879 + 83 + 374 + 388 + 1880);
    // Characters with two or three pairs are written with the one Windows picks.
    EXPECT_EQ(EncodeCp932(u"\u2252\u7E8A\uFFE2\u2160\u2170"_s).value_or(QByteArray()),
              "\x81\xE0\xFA\x5C\x81\xCA\x87\x54\xFA\x40");
}

TEST(Text, Utf8IsRecognisedByABomOrALongSequence)
{
    // Half-width kana that happen to form two-byte UTF-8 (0xC2 0xB1 is also U+00B1) are no UTF-8,
    // nor is a long lead byte without its continuation or cut off at the end.
    for (const auto& [bytes, utf8] : {std::pair{QByteArray("\xEF\xBB\xBF[A]\r\nx=1\r\n"), true}, {u"クラス\r\n"_s.toUtf8(), true},
                                      {u"a😀"_s.toUtf8(), true}, {"plain ASCII\r\n", false}, {"", false},
                                      {EncodeCp932(u"クラス、戦士"_s).value(), false}, {"\xC2\xB1\xC3\xA9", false},
                                      {"\xE3\x41\x42", false}, {u"ク"_s.toUtf8().left(2), false}})
        EXPECT_EQ(LooksLikeUtf8(bytes), utf8) << bytes.toHex().toStdString();
}

TEST(Text, QuoteTextCutsLongTextAtEightyCharacters)
{
    EXPECT_EQ(QuoteText(QString(80, u'x')), QString(80, u'x'));
    EXPECT_EQ(QuoteText(QString(81, u'x')), QString(80, u'x') + u'…');
    EXPECT_EQ(QuoteText(QString()), QString());
    // A character outside the BMP is never split: the cut comes before it.
    const QString wide = QString(79, u'x') + QString::fromUcs4(U"\U0001F600") + u'y';
    EXPECT_EQ(QuoteText(wide), QString(79, u'x') + u'…');
}

TEST(CellValueText, TheNotationsOwnFormFirstThenTheEditorsForms)
{
    using N = CsvNotation;
    using Case = std::tuple<QString, N, std::optional<int>>;
    for (const auto& [text, notation, expected] : {
             Case{u"10"_s, N::Hex, 0x10}, {u"fF"_s, N::Hex, 0xFF}, {u" 7 "_s, N::Hex, 7}, {u"100"_s, N::Hex, 100},
             {u"1FF"_s, N::Hex, {}}, {u"-1"_s, N::Hex, 0xFF}, {u"0x1F0"_s, N::Hex, {}},
             {u"255"_s, N::Unsigned, 255}, {u"256"_s, N::Unsigned, {}}, {u"FF"_s, N::Unsigned, {}}, {u"0xff"_s, N::Unsigned, 0xFF},
             {u"-128"_s, N::Signed, 0x80}, {u"-129"_s, N::Signed, {}}, {u"127"_s, N::Signed, 127}, {u"200"_s, N::Signed, 200},
             {u"-0"_s, N::Signed, 0}, {u"-0"_s, N::Own, 0}, {u"0x5"_s, N::Own, 5}, {u"007"_s, N::Own, 7}, {u""_s, N::Own, 0},
             {u"１０"_s, N::Own, 10}, {u"254.5"_s, N::Own, 254}, {u"1e2"_s, N::Own, {}}, {u"-"_s, N::Own, {}}, {u"0x"_s, N::Own, {}}}) {
        SCOPED_TRACE(text.toStdString());
        const std::optional<std::uint8_t> value = ParseValueText(text, notation);
        EXPECT_EQ(value ? std::optional<int>(*value) : std::nullopt, expected);
    }
    EXPECT_EQ(CsvNotationFromText(u"16"_s), N::Hex);
    EXPECT_EQ(CsvNotationFromText(u"016"_s), N::Own); // compared as text, as the export does
}

std::vector<std::pair<QString, bool>> Fields(CsvSplitter& splitter, const QString& line, QChar separator = u',')
{
    std::vector<std::pair<QString, bool>> out;
    for (const CsvField& field : splitter.split(line, separator))
        out.emplace_back(field.text.toString(), field.quoted);
    return out;
}

TEST(CsvRead, FieldsQuotedOrNot)
{
    CsvSplitter s;
    using F = std::vector<std::pair<QString, bool>>;
    EXPECT_EQ(Fields(s, u"a,\"b,\"\"c\"\"\",d"_s), (F{{u"a"_s, false}, {u"b,\"c\""_s, true}, {u"d"_s, false}}));
    EXPECT_EQ(Fields(s, u"\"x\"y,,\"\""_s), (F{{u"xy"_s, true}, {u""_s, false}, {u""_s, true}}));
    EXPECT_EQ(Fields(s, u"a\"b,\"c\","_s), (F{{u"a\"b"_s, false}, {u"c"_s, true}, {u""_s, false}}));
    // A quote that never closes: split as the export meant it.
    EXPECT_EQ(Fields(s, u"\"open,1,2"_s), (F{{u"\"open"_s, false}, {u"1"_s, false}, {u"2"_s, false}}));
    EXPECT_EQ(Fields(s, u"1\t\"2\t3\"\t"_s, u'\t'), (F{{u"1"_s, false}, {u"2\t3"_s, true}, {u""_s, false}}));
    // Where the second field starts in the line, quotes counted.
    EXPECT_EQ(s.split(u"\"a,b\",c"_s)[1].start, 6);
}

TEST(CsvRead, EncodingAndLines)
{
    const auto texts = [](const CsvText& csv) {
        QStringList out;
        for (std::size_t i = 0; i < csv.lines.size(); ++i)
            out << csv.line(i).toString();
        return out;
    };
    // CP932 whose kanji bytes would start UTF-8 sequences; CRLF, LF and a lone CR.
    const CsvText cp932 = DecodeCsv(EncodeCp932(u"漢字,1\r\n\r\nか\nき\rく"_s).value());
    EXPECT_FALSE(cp932.utf8);
    EXPECT_EQ(texts(cp932), (QStringList{u"漢字,1"_s, QString(), u"か"_s, u"き"_s, u"く"_s}));
    const CsvText utf8 = DecodeCsv(u"漢字〜,1\n"_s.toUtf8());
    EXPECT_TRUE(utf8.utf8);
    EXPECT_EQ(texts(utf8), QStringList{u"漢字～,1"_s});
    // Two-byte sequences alone may be half-width kana in CP932; a mark decides it.
    EXPECT_FALSE(DecodeCsv("\xC3\xA9").utf8);
    const CsvText marked = DecodeCsv("\xEF\xBB\xBF\xC3\xA9");
    EXPECT_TRUE(marked.utf8);
    EXPECT_EQ(marked.text, u"é"_s);
    EXPECT_FALSE(DecodeCsv("\xE6\xBC\xA2\xFF").utf8); // one byte that can't be UTF-8
    EXPECT_FALSE(DecodeCsv("\xE6\xBC\xA2\xC1\xBF").utf8); // nor can an overlong two-byte form
}

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
