#include "core/view/CellValueText.h"
#include "core/files/CsvText.h"

#include "tests/support/ModeFolder.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

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
    const CsvText cp932 = DecodeCsv(test::Cp932(u"漢字,1\r\n\r\nか\nき\rく"_s));
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

} // namespace
} // namespace zor
