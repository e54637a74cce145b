#include "core/files/Ini.h"
#include "core/files/ReadFile.h"

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

// A value reads back trimmed and without one pair of matching quotes around it; a lone
// quote is no pair, and reads as itself.
TEST(Ini, AValueLosesOnePairOfMatchingQuotes)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"\"quoted\"", u"quoted"_s}, {"'single'", u"single"_s}, {"'mixed\"", u"'mixed\""_s}, {"\"", u"\""_s},
        {"'", u"'"_s},           {"\"\"", QString()},      {" \"a b\" ", u"a b"_s},     {"\"\"\"", u"\""_s},
        {"\"a", u"\"a"_s},       {"a\"", u"a\""_s},
    };
    for (const auto& [value, read] : cases)
        EXPECT_EQ(IniFile::fromBytes("[A]\r\nk=" + value + "\r\n").value(u"A"_s, u"k"_s), read) << value.toStdString();
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

TEST(Ini, LongValuesComeBackCutTo254BytesUnlessReadWhole)
{
    const QString ascii(300, u'x');
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=" + Cp932(ascii) + "\r\n").value(u"S"_s, u"k"_s), ascii.left(254));
    const QString notes = u"メモ"_s.repeated(200);
    EXPECT_EQ(IniFile::fromBytes("[Text]\r\nSection1=\"" + Cp932(notes) + "\"\r\n").wholeValue(u"text"_s, u"section1"_s), notes);
    // A double-byte character is never split: 1 + 126 * 2 = 253 bytes fit, the 127th would not.
    const QString mixed = u"a"_s + QString(150, u'ア');
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=" + Cp932(mixed) + "\r\n").value(u"S"_s, u"k"_s), mixed.left(127));
}

// A write changes only the key's line, byte for byte; a new key goes after its section's
// last line that isn't blank, a new section at the end, each with the file's first line
// ending (CRLF for a lone CR, which could join the LF of a line after it). Keys that keep
// the value they read as leave the file alone, its time too.
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
         "[C]\r\nk0=7\r\nk1=80\r\n"},
    };
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

// What the format can't hold, what can't be read back or written: refused, saying why,
// and the file is left as it was, whichever key of several was the one.
TEST(Ini, RefusalsSayWhyAndLeaveTheFileAlone)
{
    ProgramFolder home;
    const QByteArray before = "[A]\r\nx=1\r\n";
    home.writeBytes(u"t.ini"_s, before);
    QDir().mkpath(home.file(u"folder.ini"_s));
    const QString big(kMaxTextFileSize / 2, u'x');
    ASSERT_TRUE(WriteIni(u"A"_s, u"y"_s, big, home.file(u"big.ini"_s)));
    struct Case {
        QString file, section, key, value, says;
    };
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
    EXPECT_EQ(home.readBytes(u"t.ini"_s), before);
    EXPECT_EQ(ReadIniWhole(u"A"_s, u"y"_s, home.file(u"big.ini"_s)), big);
    EXPECT_FALSE(QFileInfo::exists(home.file(u"none"_s)));
}

} // namespace
} // namespace zor
