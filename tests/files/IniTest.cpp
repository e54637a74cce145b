#include "core/files/Ini.h"

#include "tests/support/ModeFolder.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Cp932;
using test::ProgramFolder;

TEST(Ini, ReadsNamesWhateverTheirCase)
{
    const IniFile ini = IniFile::fromBytes("[option]\r\nMODE=abc\r\n  mode2 = spaced value  \r\n");
    EXPECT_EQ(ini.value(u"Option"_s, u"Mode"_s), u"abc"_s);
    EXPECT_EQ(ini.value(u"OPTION"_s, u"mode2"_s), u"spaced value"_s);
    EXPECT_EQ(ini.value(u"Option"_s, u"Missing"_s), QString());
    EXPECT_EQ(ini.value(u"Other"_s, u"Mode"_s), QString());
}

TEST(Ini, KeysBelongToTheirOwnSectionAndTheFirstOneWins)
{
    const IniFile ini = IniFile::fromBytes("[A]\nk=1\nk=2\n; k=3\n[B]\nk=4\nq=\"quoted\"\n[A]\nk=5\n");
    EXPECT_EQ(ini.value(u"A"_s, u"k"_s), u"1"_s);
    EXPECT_EQ(ini.value(u"B"_s, u"k"_s), u"4"_s);
    EXPECT_EQ(ini.value(u"B"_s, u"q"_s), u"quoted"_s);
    EXPECT_FALSE(ini.contains(u"A"_s, u"; k"_s));
}

TEST(Ini, MissingFileReadsEmpty)
{
    ProgramFolder home;
    EXPECT_EQ(ReadIni(u"Option"_s, u"Mode"_s, home.file(u"nothing.ini"_s)), QString());
}

TEST(Ini, LongValuesComeBackCutTo254Bytes)
{
    const QString ascii(300, u'x');
    const IniFile a = IniFile::fromBytes("[S]\r\nk=" + Cp932(ascii) + "\r\n");
    EXPECT_EQ(a.value(u"S"_s, u"k"_s), ascii.left(254));

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
    ASSERT_NE(WriteIni(u"step"_s, u"SECTION2"_s, u"7"_s, home.file(u"t.ini"_s)), 0);
    QByteArray expected = before;
    expected.replace("Section2 = 4\n", "Section2=7\n");
    EXPECT_EQ(home.readBytes(u"t.ini"_s), expected);
    EXPECT_EQ(ReadIni(u"Text"_s, u"Section1"_s, home.file(u"t.ini"_s)), u"メモ\\nです"_s);
}

TEST(Ini, WriteAddsKeysAtTheEndOfTheirSectionAndNewSectionsAtTheEnd)
{
    ProgramFolder home;
    home.writeBytes(u"t.ini"_s, "[A]\r\nx=1\r\n\r\n[B]\r\ny=2");
    ASSERT_NE(WriteIni(u"A"_s, u"z"_s, u"3"_s, home.file(u"t.ini"_s)), 0);
    ASSERT_NE(WriteIni(u"C"_s, u"w"_s, u"4"_s, home.file(u"t.ini"_s)), 0);
    EXPECT_EQ(home.readBytes(u"t.ini"_s), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n");
}

TEST(Ini, WriteCreatesTheFileWithCrlf)
{
    ProgramFolder home;
    ASSERT_NE(WriteIni(u"ColWidth"_s, u"Section0"_s, u"1200"_s, home.file(u"new.ini"_s)), 0);
    EXPECT_EQ(home.readBytes(u"new.ini"_s), "[ColWidth]\r\nSection0=1200\r\n");
}

TEST(Ini, CarriageReturnOnlyFilesReadAndKeepTheirEndings)
{
    ProgramFolder home;
    home.writeBytes(u"cr.ini"_s, "[Option]\rMode=mac\rDefaultNotation=10\r");
    EXPECT_EQ(ReadIni(u"Option"_s, u"Mode"_s, home.file(u"cr.ini"_s)), u"mac"_s);
    EXPECT_EQ(ReadIni(u"Option"_s, u"DefaultNotation"_s, home.file(u"cr.ini"_s)), u"10"_s);
    ASSERT_NE(WriteIni(u"Option"_s, u"CSVNotation"_s, u"16"_s, home.file(u"cr.ini"_s)), 0);
    EXPECT_EQ(home.readBytes(u"cr.ini"_s), "[Option]\rMode=mac\rDefaultNotation=10\rCSVNotation=16\r");
}

TEST(Ini, RefusesWhatTheFormatCannotHoldAndLeavesTheFileAlone)
{
    ProgramFolder home;
    const QByteArray before = "[A]\r\nx=1\r\n";
    home.writeBytes(u"t.ini"_s, before);
    EXPECT_EQ(WriteIni(u"A"_s, u"x"_s, u"two\r\nlines"_s, home.file(u"t.ini"_s)), 0);
    EXPECT_EQ(WriteIni(u"A"_s, u"x"_s, u"😀"_s, home.file(u"t.ini"_s)), 0);
    EXPECT_EQ(WriteIni(u"A"_s, u"a=b"_s, u"1"_s, home.file(u"t.ini"_s)), 0);
    EXPECT_EQ(home.readBytes(u"t.ini"_s), before);
}

TEST(Ini, ReportsLinesThatAreNotCp932)
{
    const IniFile ini = IniFile::fromBytes(QByteArray("[A]\r\nx=\x81\r\ny=2\r\n", 15));
    EXPECT_EQ(ini.badLines(), std::vector<int>{2});
    EXPECT_EQ(ini.value(u"A"_s, u"y"_s), u"2"_s);
}

} // namespace
} // namespace zor
