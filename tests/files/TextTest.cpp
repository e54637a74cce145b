#include "core/files/CsvText.h"
#include "core/files/Ini.h"
#include "core/files/Numbers.h"
#include "core/files/ReadFile.h"
#include "core/files/Text.h"
#include "core/view/CellValueText.h"

#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Cp932;
using test::ProgramFolder;

// Every kind of line end splits, the pieces join back exactly, and lines that aren't CP932 are named.
TEST(Text, SplitsAtEveryKindOfLineEnd)
{
    std::vector<std::pair<QByteArray, QByteArray>> split;
    for (const RawLine& line : SplitLines("a\r\nb\nc\rd\r\r\ne"))
        split.emplace_back(line.text, line.ending);
    EXPECT_EQ(split, (std::vector<std::pair<QByteArray, QByteArray>>{
                         {"a", "\r\n"}, {"b", "\n"}, {"c", "\r"}, {"d", "\r"}, {"", "\r\n"}, {"e", ""}}));
    EXPECT_EQ(ToTextLines(QByteArray("ok\r\n\x81\r\nok\r\n\xFF\xFF", 13)).badLines, (std::vector<int>{2, 4}));
}

TEST(Text, Cp932SingleBytesAreAsciiOrKatakanaAndBadPairsReplacements)
{
    for (int b = 0; b < 0x100; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        const DecodedText decoded = DecodeCp932(byte);
        const bool character = b < 0x80 || (b >= 0xA1 && b <= 0xDF); // else 0x80, 0xA0, 0xFD-0xFF or a lead byte
        const char16_t expected = b < 0x80 ? char16_t(b) : character ? char16_t(0xFF61 + b - 0xA1) : char16_t(0xFFFD);
        EXPECT_EQ(decoded.ok, character) << b;
        EXPECT_EQ(decoded.text, QString(QChar(expected))) << b;
        EXPECT_EQ(EncodeCp932(decoded.text).value_or(QByteArray()), character ? byte : QByteArray()) << b;
    }
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
    // Kana forming two-byte UTF-8 (0xC2 0xB1 is also U+00B1) are no UTF-8, nor is a long lead byte cut short.
    for (const auto& [bytes, utf8] : {std::pair{QByteArray("\xEF\xBB\xBF[A]\r\nx=1\r\n"), true}, {u"クラス\r\n"_s.toUtf8(), true},
                                      {u"a😀"_s.toUtf8(), true}, {"plain ASCII\r\n", false}, {"", false},
                                      {EncodeCp932(u"クラス、戦士"_s).value(), false}, {"\xC2\xB1\xC3\xA9", false},
                                      {"\xE3\x41\x42", false}, {u"ク"_s.toUtf8().left(2), false}})
        EXPECT_EQ(LooksLikeUtf8(bytes), utf8) << bytes.toHex().toStdString();
}

TEST(Text, QuoteTextCutsLongTextAtEightyCharacters)
{
    EXPECT_EQ(std::pair(QuoteText(QString(80, u'x')), QuoteText(QString())), std::pair(QString(80, u'x'), QString()));
    EXPECT_EQ(QuoteText(QString(81, u'x')), QString(80, u'x') + u'…');
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

TEST(CsvRead, FieldsQuotedOrNotEncodingAndLines)
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

    const auto texts = [](const CsvText& csv) {
        QStringList out;
        for (std::size_t i = 0; i < csv.lines.size(); ++i)
            out << csv.line(i).toString();
        return out;
    };
    // CP932 whose kanji bytes would start UTF-8 sequences; CRLF, LF and a lone CR.
    const CsvText cp932 = DecodeCsv(EncodeCp932(u"漢字,1\r\n\r\nか\nき\rく"_s).value());
    EXPECT_EQ(std::pair(cp932.utf8, texts(cp932)), std::pair(false, QStringList{u"漢字,1"_s, QString(), u"か"_s, u"き"_s, u"く"_s}));
    const CsvText utf8 = DecodeCsv(u"漢字〜,1\n"_s.toUtf8());
    EXPECT_EQ(std::pair(utf8.utf8, texts(utf8)), std::pair(true, QStringList{u"漢字～,1"_s}));
    // Two-byte sequences alone may be half-width kana in CP932; a mark decides it.
    EXPECT_FALSE(DecodeCsv("\xC3\xA9").utf8);
    const CsvText marked = DecodeCsv("\xEF\xBB\xBF\xC3\xA9");
    EXPECT_EQ(std::pair(marked.utf8, marked.text), std::pair(true, u"é"_s));
    EXPECT_FALSE(DecodeCsv("\xE6\xBC\xA2\xFF").utf8); // one byte that can't be UTF-8
    EXPECT_FALSE(DecodeCsv("\xE6\xBC\xA2\xC1\xBF").utf8); // nor can an overlong two-byte form
}

// The leading hexadecimal digits: 8000 to FFFF are plain unsigned offsets; past 0x7FFFFFFF, more than eight
// significant digits or no leading digit give nothing.
TEST(HexTextToLong, ReadsLeadingHexDigitsExactly)
{
    const std::pair<const char16_t*, std::optional<std::int32_t>> cases[] = {
        {u"1A2", 418},        {u"7FFF", 32767},        {u"1A2B", 6699},        {u"1A2B3G", 107187},    {u"1a2b", 6699},
        {u"0", 0},            {u"8000", 32768},        {u"FFFF", 65535},       {u"10000", 65536},      {u"7FFFFFFF", 0x7FFFFFFF},
        {u"000000001", 1},    {u"80000000", std::nullopt}, {u"FFFFFFFF", std::nullopt}, {u"123456789", std::nullopt},
        {u"100000000", std::nullopt}, {u"", std::nullopt}, {u"xyz", std::nullopt}, {u" 12", std::nullopt},
        {u"０１", std::nullopt}}; // full-width digits are not hexadecimal
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
        {u"80000000", std::nullopt}, {u"123456789", std::nullopt}};
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
        {u".", std::nullopt}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ToInt16(text), expected) << QString::fromUtf16(text).toStdString();
}

// Names match whatever their case and the blanks around them, in the file or in the call;
// a key belongs to its own section, the first one wins, and only ';' starts a comment.
TEST(Ini, ReadsKeysOfTheirOwnSectionByName)
{
    const IniFile ini = IniFile::fromBytes("[option]\r\nMODE=abc\r\n  mode2 = spaced value  \r\n; k=3\r\n#x=1\r\nk=1\r\nk=2\r\n"
                                           "bad=\x81\r\n[B]\r\nk=4\r\n[Option]\r\nk=5\r\n");
    EXPECT_EQ(ini.badLines(), std::vector<int>{8}); // and the lines after it still read
    for (const auto& [section, key, value] : {std::tuple{u"Option"_s, u"Mode"_s, u"abc"_s}, {u"OPTION"_s, u"mode2"_s, u"spaced value"_s},
                                              {u" Option\t"_s, u" k "_s, u"1"_s}, {u"B"_s, u"k"_s, u"4"_s}, {u"option"_s, u"#x"_s, u"1"_s},
                                              {u"Option"_s, u"Missing"_s, QString()}, {u"Other"_s, u"Mode"_s, QString()}}) {
        EXPECT_EQ(ini.value(section, key), value) << section.toStdString() << "/" << key.toStdString();
        EXPECT_EQ(ini.contains(section, key), !value.isEmpty());
    }
    EXPECT_FALSE(ini.contains(u"Option"_s, u"; k"_s));
    EXPECT_EQ(ini.wholeValue(u"B\t"_s, u" k"_s), u"4"_s);
}

// A value reads back trimmed, without one pair of matching quotes around it; a lone quote reads as itself. Long ones
// are cut to 254 bytes unless read whole.
TEST(Ini, AValueLosesOnePairOfMatchingQuotesAndLongOnesComeBackCutTo254Bytes)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"\"quoted\"", u"quoted"_s}, {"'single'", u"single"_s}, {"'mixed\"", u"'mixed\""_s}, {"\"", u"\""_s},
        {"'", u"'"_s},           {"\"\"", QString()},      {" \"a b\" ", u"a b"_s},     {"\"\"\"", u"\""_s},
        {"\"a", u"\"a"_s},       {"a\"", u"a\""_s}};
    for (const auto& [value, read] : cases)
        EXPECT_EQ(IniFile::fromBytes("[A]\r\nk=" + value + "\r\n").value(u"A"_s, u"k"_s), read) << value.toStdString();
    const QString ascii(300, u'x');
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=" + Cp932(ascii) + "\r\n").value(u"S"_s, u"k"_s), ascii.left(254));
    const QString notes = u"メモ"_s.repeated(200);
    EXPECT_EQ(IniFile::fromBytes("[Text]\r\nSection1=\"" + Cp932(notes) + "\"\r\n").wholeValue(u"text"_s, u"section1"_s), notes);
    // A double-byte character is never split: 1 + 126 * 2 = 253 bytes fit, the 127th would not.
    const QString mixed = u"a"_s + QString(150, u'ア');
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=" + Cp932(mixed) + "\r\n").value(u"S"_s, u"k"_s), mixed.left(127));
}

TEST(Ini, SectionNamesAreReadByCharacterNotByByte)
{
    ProgramFolder home;
    for (const QString& name : {u"転送"_s, u"江"_s, u"従"_s, u"ゾ"_s, u"評"_s, u"望"_s, u"余り"_s}) {
        ASSERT_TRUE(Cp932(name).contains(']')) << name.toStdString(); // as a trail byte
        home.writeBytes(u"t.ini"_s, "[" + Cp932(name) + "]\r\nk=1\r\n[B]\r\nk=2\r\n");
        EXPECT_EQ(ReadIni(name, u"k"_s, home.file(u"t.ini"_s)), u"1"_s) << name.toStdString();
        ASSERT_TRUE(WriteIni(name, u"k"_s, u"3"_s, home.file(u"t.ini"_s)));
        ASSERT_TRUE(WriteIni(name, u"new"_s, u"4"_s, home.file(u"t.ini"_s)));
        EXPECT_EQ(home.readBytes(u"t.ini"_s), "[" + Cp932(name) + "]\r\nk=3\r\nnew=4\r\n[B]\r\nk=2\r\n");
    }
    // The lead byte takes the ']' with it: this header never closes.
    EXPECT_FALSE(IniFile::fromBytes("[\x93]\r\nk=1\r\n").contains(QString(QChar::ReplacementCharacter), u"k"_s));
}

// A write changes only the key's line; a new key goes after its section's last line that isn't blank, a new section at
// the end, each with the file's first line ending (CRLF for a lone CR, which could join a following LF). Keys that
// keep the value they read as leave the file alone, its time too.
TEST(Ini, WriteChangesOnlyWhatItMust)
{
    const QByteArray notes = "[Text]\r\nSection1=" + Cp932(u"メモ\\nです"_s) + "\r\ntail without break";
    struct Case {
        const char* name;
        QByteArray before; // null: no file
        QString section;
        std::vector<std::pair<QString, QString>> keys;
        QByteArray after;
    };
    const std::vector<Case> cases{
        {"replaced", "; comment\r\ngarbage\r\n\r\n[Step]\r\nSection1=3\r\nSection2 = 4\n\r\n" + notes, u"step"_s, {{u"SECTION2"_s, u"7"_s}},
         "; comment\r\ngarbage\r\n\r\n[Step]\r\nSection1=3\r\nSection2=7\n\r\n" + notes},
        {"added to its section", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2", u"A"_s, {{u"z"_s, u"3"_s}}, "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2"},
        {"a new section", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2", u" C "_s, {{u"\tw"_s, u"4"_s}}, "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n"},
        {"a new file", QByteArray(), u"ColWidth"_s, {{u"Section0"_s, u"1200"_s}}, "[ColWidth]\r\nSection0=1200\r\n"},
        {"the last line replaced", "[A]\r\nx=1\r\nlast=3", u"A"_s, {{u"last"_s, u"4"_s}}, "[A]\r\nx=1\r\nlast=4\r\n"},
        {"carriage returns", "[Option]\rMode=mac\r", u"Option"_s, {{u"CSVNotation"_s, u"16"_s}}, "[Option]\rMode=mac\rCSVNotation=16\r\n"},
        {"mixed endings", "[A]\rx=1\n\n[B]\ny=2\n", u"A"_s, {{u"z"_s, u"3"_s}}, "[A]\rx=1\nz=3\r\n\n[B]\ny=2\n"},
        {"the same values", "[A]\r\nx = 1 \r\nq=\"two\"\r\nlast=3", u"a"_s, {{u"X"_s, u"1"_s}, {u"q"_s, u"two"_s}, {u"last"_s, u"'3'"_s}},
         "[A]\r\nx = 1 \r\nq=\"two\"\r\nlast=3"},
        {"one changed, one the same", "[C]\r\nk0=100\r\nk1=80\r\n", u"C"_s, {{u"k0"_s, u"7"_s}, {u"k1"_s, u"80"_s}},
         "[C]\r\nk0=7\r\nk1=80\r\n"}};
    const QDateTime longAgo(QDate(2001, 2, 3), QTime(4, 5, 6));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramFolder home;
        const QString path = home.file(u"t.ini"_s);
        if (!c.before.isNull()) {
            home.writeBytes(u"t.ini"_s, c.before);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(longAgo, QFileDevice::FileModificationTime));
        }
        ASSERT_TRUE(WriteIniKeys(c.section, c.keys, path));
        EXPECT_EQ(home.readBytes(u"t.ini"_s), c.after);
        EXPECT_EQ(QFileInfo(path).lastModified() == longAgo, c.after == c.before);
    }
}

// What the format can't hold, read back or write is refused, saying why, the file as it was whichever key it was.
TEST(Ini, RefusalsSayWhyAndLeaveTheFileAlone)
{
    ProgramFolder home;
    const QByteArray before = "[A]\r\nx=1\r\n";
    home.writeBytes(u"t.ini"_s, before);
    QDir().mkpath(home.file(u"folder.ini"_s));
    const QString big(kMaxTextFileSize / 2, u'x');
    ASSERT_TRUE(WriteIni(u"A"_s, u"y"_s, big, home.file(u"big.ini"_s)));
    struct Case { QString file, section, key, value, says; };
    for (const Case& c : std::vector<Case>{{u"t.ini"_s, u"A"_s, u"x"_s, u"two\r\nlines"_s, u"改行"_s},
                                           {u"t.ini"_s, u"A"_s, u"x"_s, u"😀"_s, u"CP932"_s},
                                           {u"t.ini"_s, u"A"_s, u"a=b"_s, u"1"_s, u"キー名"_s},
                                           {u"t.ini"_s, u"A"_s, u";x"_s, u"1"_s, u"キー名"_s},
                                           {u"t.ini"_s, u"A"_s, u"[x"_s, u"1"_s, u"キー名"_s},
                                           {u"t.ini"_s, u"a]b"_s, u"x"_s, u"1"_s, u"キー名"_s},

                                           {u"t.ini"_s, u" "_s, u" "_s, u"1"_s, u"キー名"_s},

                                           {u"folder.ini"_s, u"A"_s, u"x"_s, u"1"_s, u"読めません"_s},
                                           {u"big.ini"_s, u"A"_s, u"z"_s, big, u"読み込めなく"_s},
                                           {u"none/t.ini"_s, u"A"_s, u"x"_s, u"1"_s, u"フォルダが見つかりません"_s}}) {
        SCOPED_TRACE(c.key.toStdString());
        const Result<void> written = WriteIniKeys(c.section, {{u"x"_s, u"2"_s}, {c.key, c.value}}, home.file(c.file));
        ASSERT_FALSE(written);
        EXPECT_TRUE(written.failure().reason().contains(c.says)) << written.failure().reason().toStdString();
    }
    EXPECT_EQ(std::pair(home.readBytes(u"t.ini"_s), ReadIniWhole(u"A"_s, u"y"_s, home.file(u"big.ini"_s))), std::pair(before, big));
    EXPECT_FALSE(QFileInfo::exists(home.file(u"none"_s)));
}

} // namespace
} // namespace zor
