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

// A path whose folder takes no new file. Permissions do not stop root; a regular
// file as the folder stops everyone.
QString UnwritablePath(const ProgramFolder& home)
{
    QDir().mkpath(home.file(u"locked"_s));
    QFile::setPermissions(home.file(u"locked"_s), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFile probe(home.file(u"locked/probe"_s)); !probe.open(QIODevice::WriteOnly))
        return home.file(u"locked/t.ini"_s);
    QFile::remove(home.file(u"locked/probe"_s));
    home.writeBytes(u"plain"_s, "x");
    return home.file(u"plain/t.ini"_s);
}

TEST(Ini, ReadsNamesWhateverTheirCase)
{
    const IniFile ini = IniFile::fromBytes("[option]\r\nMODE=abc\r\n  mode2 = spaced value  \r\n");
    EXPECT_EQ((QStringList{ini.value(u"Option"_s, u"Mode"_s), ini.value(u"OPTION"_s, u"mode2"_s), ini.value(u"Option"_s, u"Missing"_s),
                           ini.value(u"Other"_s, u"Mode"_s)}),
              (QStringList{u"abc"_s, u"spaced value"_s, QString(), QString()}));
}

TEST(Ini, KeysBelongToTheirOwnSectionAndTheFirstOneWins)
{
    const IniFile ini = IniFile::fromBytes("[A]\nk=1\nk=2\n; k=3\n#x=1\n[B]\nk=4\n[A]\nk=5\n");
    EXPECT_EQ(std::pair(ini.value(u"A"_s, u"k"_s), ini.value(u"B"_s, u"k"_s)), std::pair(u"1"_s, u"4"_s));
    EXPECT_FALSE(ini.contains(u"A"_s, u"; k"_s));
    EXPECT_EQ(ini.value(u"A"_s, u"#x"_s), u"1"_s); // only ';' starts a comment
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

TEST(Ini, LoadTellsAMissingFileFromAnUnreadableOne)
{
    ProgramFolder home;
    EXPECT_EQ(ReadIni(u"Option"_s, u"Mode"_s, home.file(u"nothing.ini"_s)), QString());
    EXPECT_TRUE(IniFile::load(home.file(u"nothing.ini"_s)).failure().missing());
    QDir().mkpath(home.file(u"folder.ini"_s));
    const Result<IniFile> folder = IniFile::load(home.file(u"folder.ini"_s));
    ASSERT_FALSE(folder);
    EXPECT_FALSE(folder.failure().missing());
    EXPECT_EQ(folder.failure().reason(), u"フォルダです"_s);
    home.writeBytes(u"t.ini"_s, "[A]\r\nx=1\r\n");
    const Result<IniFile> read = IniFile::load(home.file(u"t.ini"_s));
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->contains(u"A"_s, u"x"_s));
}

TEST(Ini, LongValuesComeBackCutTo254BytesUnlessReadWhole)
{
    const QString ascii(300, u'x');
    const IniFile a = IniFile::fromBytes("[S]\r\nk=" + Cp932(ascii) + "\r\n");
    EXPECT_EQ(a.value(u"S"_s, u"k"_s), ascii.left(254));
    ProgramFolder home;
    home.writeBytes(u"n.ini"_s, "[Text]\r\nSection1=\"" + Cp932(u"メモ"_s.repeated(200)) + "\"\r\n");
    EXPECT_EQ(ReadIniWhole(u"text"_s, u"section1"_s, home.file(u"n.ini"_s)), u"メモ"_s.repeated(200));

    // A double-byte character is never split: 1 + 126 * 2 = 253 bytes fit, the 127th would not.
    const QString mixed = u"a"_s + QString(150, u'ア');
    const IniFile b = IniFile::fromBytes("[S]\r\nk=" + Cp932(mixed) + "\r\n");
    EXPECT_EQ(b.value(u"S"_s, u"k"_s), mixed.left(127));
}

TEST(Ini, WriteChangesOnlyTheKeyLineByteForByte)
{
    ProgramFolder home;
    const QByteArray before = "; comment line\r\n"
                              "garbage without equals\r\n"
                              "\r\n"
                              "[Step]\r\n"
                              "Section1=3\r\n"
                              "Section2 = 4\n"
                              "\r\n"
                              "[Text]\r\n"
                              "Section1=" + Cp932(u"メモ\\nです"_s) + "\r\n"
                              "tail without break";
    home.writeBytes(u"t.ini"_s, before);
    ASSERT_TRUE(WriteIni(u"step"_s, u"SECTION2"_s, u"7"_s, home.file(u"t.ini"_s)));
    QByteArray expected = before;
    expected.replace("Section2 = 4\n", "Section2=7\n");
    EXPECT_EQ(home.readBytes(u"t.ini"_s), expected);
    EXPECT_EQ(ReadIni(u"Text"_s, u"Section1"_s, home.file(u"t.ini"_s)), u"メモ\\nです"_s);
}

TEST(Ini, WriteAddsKeysAtTheEndOfTheirSectionAndNewSectionsAtTheEnd)
{
    ProgramFolder home;
    home.writeBytes(u"t.ini"_s, "[A]\r\nx=1\r\n\r\n[B]\r\ny=2");
    ASSERT_TRUE(WriteIni(u"A"_s, u"z"_s, u"3"_s, home.file(u"t.ini"_s)));
    ASSERT_TRUE(WriteIni(u"C"_s, u"w"_s, u"4"_s, home.file(u"t.ini"_s)));
    EXPECT_EQ(home.readBytes(u"t.ini"_s), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n");
    // A new file has CRLF.
    ASSERT_TRUE(WriteIni(u"ColWidth"_s, u"Section0"_s, u"1200"_s, home.file(u"new.ini"_s)));
    EXPECT_EQ(home.readBytes(u"new.ini"_s), "[ColWidth]\r\nSection0=1200\r\n");
}

TEST(Ini, WritingWhatAKeyReadsAsSavesNothing)
{
    ProgramFolder home;
    const QString path = home.file(u"t.ini"_s);
    const QByteArray before = "[A]\r\nx = 1 \r\nq=\"two\"\r\nlast=3";
    home.writeBytes(u"t.ini"_s, before);
    const QDateTime longAgo(QDate(2001, 2, 3), QTime(4, 5, 6));
    if (QFile file(path); file.open(QIODevice::ReadWrite)) {
        ASSERT_TRUE(file.setFileTime(longAgo, QFileDevice::FileModificationTime));
    }
    EXPECT_TRUE(WriteIni(u"a"_s, u"X"_s, u"1"_s, path));
    EXPECT_TRUE(WriteIniKeys(u"A"_s, {{u"q"_s, u"two"_s}, {u"last"_s, u"'3'"_s}}, path));
    EXPECT_EQ(home.readBytes(u"t.ini"_s), before);
    EXPECT_EQ(QFileInfo(path).lastModified(), longAgo);

    // A replaced last line gets a line break.
    ASSERT_TRUE(WriteIni(u"A"_s, u"last"_s, u"4"_s, path));
    EXPECT_EQ(home.readBytes(u"t.ini"_s), "[A]\r\nx = 1 \r\nq=\"two\"\r\nlast=4\r\n");
}

TEST(Ini, WriteIniKeysSetsAllOrNothing)
{
    ProgramFolder home;
    const QString path = home.file(u"t.ini"_s);
    home.writeBytes(u"t.ini"_s, "[ColWidth]\r\nSection0=100\r\n\r\n[Step]\r\nSection1=2\r\n");
    ASSERT_TRUE(WriteIniKeys(u"ColWidth"_s, {{u"Section0"_s, u"120"_s}, {u"Section1"_s, u"80"_s}}, path));
    const QByteArray after = "[ColWidth]\r\nSection0=120\r\nSection1=80\r\n\r\n[Step]\r\nSection1=2\r\n";
    const Result<void> refused = WriteIniKeys(u"ColWidth"_s, {{u"Section0"_s, u"1"_s}, {u"Section1"_s, u"😀"_s}}, path);
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.failure().reason().contains(u"CP932"_s)) << refused.failure().reason().toStdString();
    EXPECT_EQ(home.readBytes(u"t.ini"_s), after);
    // A key that keeps its value after one that changes: the change is saved all the same.
    ASSERT_TRUE(WriteIniKeys(u"ColWidth"_s, {{u"Section0"_s, u"7"_s}, {u"Section1"_s, u"80"_s}}, path));
    EXPECT_EQ(ReadIni(u"ColWidth"_s, u"Section0"_s, path), u"7"_s);
}

TEST(Ini, CarriageReturnOnlyFilesReadAndKeepTheirEndings)
{
    ProgramFolder home;
    home.writeBytes(u"cr.ini"_s, "[Option]\rMode=mac\rDefaultNotation=10\r");
    EXPECT_EQ(std::pair(ReadIni(u"Option"_s, u"Mode"_s, home.file(u"cr.ini"_s)), ReadIni(u"Option"_s, u"DefaultNotation"_s, home.file(u"cr.ini"_s))),
              std::pair(u"mac"_s, u"10"_s));
    ASSERT_TRUE(WriteIni(u"Option"_s, u"CSVNotation"_s, u"16"_s, home.file(u"cr.ini"_s)));
    // A new line ends with CRLF: a lone CR could join the LF of a line after it.
    EXPECT_EQ(home.readBytes(u"cr.ini"_s), "[Option]\rMode=mac\rDefaultNotation=10\rCSVNotation=16\r\n");

    home.writeBytes(u"mixed.ini"_s, "[A]\rx=1\n\n[B]\ny=2\n");
    ASSERT_TRUE(WriteIni(u"A"_s, u"z"_s, u"3"_s, home.file(u"mixed.ini"_s)));
    EXPECT_EQ(home.readBytes(u"mixed.ini"_s), "[A]\rx=1\nz=3\r\n\n[B]\ny=2\n");
    EXPECT_EQ(ToTextLines(home.readBytes(u"mixed.ini"_s)).lines,
              (QStringList{u"[A]"_s, u"x=1"_s, u"z=3"_s, QString(), u"[B]"_s, u"y=2"_s}));
}

TEST(Ini, BlanksAroundNamesInACallDontCount)
{
    IniFile ini = IniFile::fromBytes("[S]\r\nk=1\r\n");
    EXPECT_EQ(std::pair(ini.value(u" S"_s, u"k"_s), ini.wholeValue(u"S\t"_s, u" k "_s)), std::pair(u"1"_s, u"1"_s));
    EXPECT_TRUE(ini.contains(u"\tS "_s, u"k\t"_s));
    for (const auto& [section, key, value] : {std::tuple{u"S "_s, u"k"_s, u"2"_s}, {u" S"_s, u" new "_s, u"3"_s}, {u" T "_s, u"\tk"_s, u"4"_s}})
        EXPECT_EQ(ini.set(section, key, value), true) << key.toStdString();
    EXPECT_EQ(ini.bytes(), "[S]\r\nk=2\r\nnew=3\r\n[T]\r\nk=4\r\n");
    EXPECT_EQ(ini.value(u"S"_s, u"k"_s), u"2"_s);
    EXPECT_EQ(ini.set(u" "_s, u" "_s, u"1"_s).failure().kind, Failure::Kind::BadText);
}

TEST(Ini, RefusesWhatTheFormatCannotHoldAndLeavesTheFileAlone)
{
    ProgramFolder home;
    const QByteArray before = "[A]\r\nx=1\r\n";
    home.writeBytes(u"t.ini"_s, before);
    EXPECT_FALSE(WriteIni(u"A"_s, u"x"_s, u"two\r\nlines"_s, home.file(u"t.ini"_s)));
    EXPECT_FALSE(WriteIni(u"A"_s, u"x"_s, u"😀"_s, home.file(u"t.ini"_s)));
    EXPECT_FALSE(WriteIni(u"A"_s, u"a=b"_s, u"1"_s, home.file(u"t.ini"_s)));
    // Names that would never be found again.
    for (const auto& [section, key] : {std::pair(u"A"_s, u";x"_s), {u"A"_s, u"[x"_s}, {u"a]b"_s, u"x"_s}})
        EXPECT_FALSE(WriteIni(section, key, u"1"_s, home.file(u"t.ini"_s))) << key.toStdString();
    EXPECT_EQ(home.readBytes(u"t.ini"_s), before);
}

TEST(Ini, FailedWritesSayWhy)
{
    ProgramFolder home;
    home.writeBytes(u"t.ini"_s, "[A]\r\nx=1\r\n");
    const auto reason = [](const Result<void>& written) { return written ? QString() : written.failure().reason(); };
    const QString lineBreak = reason(WriteIni(u"A"_s, u"x"_s, u"a\nb"_s, home.file(u"t.ini"_s)));
    EXPECT_TRUE(lineBreak.contains(u"改行"_s)) << lineBreak.toStdString();
    // Something there that cannot be read as a file is not replaced.
    QDir().mkpath(home.file(u"folder.ini"_s));
    const QString unreadable = reason(WriteIni(u"A"_s, u"x"_s, u"1"_s, home.file(u"folder.ini"_s)));
    EXPECT_TRUE(unreadable.contains(u"読めません"_s)) << unreadable.toStdString();

    // A file that would grow past what a read takes is not written.
    const QString big(kMaxTextFileSize / 2, u'x');
    EXPECT_TRUE(WriteIni(u"A"_s, u"y"_s, big, home.file(u"t.ini"_s)));
    const QString tooLarge = reason(WriteIni(u"A"_s, u"z"_s, big, home.file(u"t.ini"_s)));
    EXPECT_TRUE(tooLarge.contains(u"読み込めなく"_s)) << tooLarge.toStdString();
    EXPECT_EQ(ReadIniWhole(u"A"_s, u"y"_s, home.file(u"t.ini"_s)), big);

    const QString locked = UnwritablePath(home);
    EXPECT_FALSE(reason(WriteIniKeys(u"A"_s, {{u"x"_s, u"1"_s}}, locked)).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(locked));
}

TEST(Ini, ReportsLinesThatAreNotCp932)
{
    const IniFile ini = IniFile::fromBytes(QByteArray("[A]\r\nx=\x81\r\ny=2\r\n", 15));
    EXPECT_EQ(ini.badLines(), std::vector<int>{2});
    EXPECT_EQ(ini.value(u"A"_s, u"y"_s), u"2"_s);
}

} // namespace
} // namespace zor
