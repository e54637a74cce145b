#include "core/document/Definitions.h"

#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::ProgramFolder;

class Definitions : public ::testing::Test {
protected:
    void load()
    {
        log = ProblemLog(home.path());
        LoadDefinitions(doc, home.path(), log);
    }

    const DataSet& set(const QString& name) const
    {
        for (int k = 1; k <= doc.DataSetCount; ++k)
            if (doc.DataSets(k).Name == name)
                return doc.DataSets(k);
        ADD_FAILURE() << "no data set " << name.toStdString();
        return doc.DataSets(0);
    }

    QStringList problemFiles() const
    {
        QStringList files;
        for (const Problem& p : log.items())
            files << p.file + u':' + QString::number(p.line);
        return files;
    }

    ProgramFolder home;
    DocumentState doc;
    ProblemLog log;
};

// An .idn file has an ID for each line, one after a final line break too, named up to the
// first empty line; an .sna file a section for each two lines, read in pairs up to an empty
// line. Sections past the readable pairs have no offset: reported where the pairs stop,
// never read or written.
TEST_F(Definitions, CountsComeFromTheLineCount)
{
    home.writeMode(u"mode"_s, uR"(
        a.idn     zero|one|two|
        a.sna     100|A|200|B|300|C|400|D|500|E|
        b.sna
        six.idn   x
        six.sna   100|A|200|B|300|C|400|D|500|E||
        gap.idn   x
        gap.sna   10|P|20|||30|R|
    )"_s);
    home.writeBytes(u"mode/b.idn"_s, "n0\nn1\nn2\nn3\n\nn5\nn6");
    load();
    const DataSet& a = set(u"a"_s);
    const DataSet& b = set(u"b"_s);
    EXPECT_EQ((QStringList{a.IdNames(1), a.IdNames(3), a.IdNames(4), b.IdNames(4), b.IdNames(6)}),
              (QStringList{u"zero"_s, u"two"_s, QString(), u"n3"_s, QString()}));
    const DataSet& six = set(u"six"_s);
    const DataSet& gap = set(u"gap"_s);
    EXPECT_EQ((std::vector<int>{a.IdCount, b.IdCount, a.SectionCount, six.SectionCount, gap.SectionCount}), (std::vector<int>{4, 7, 5, 6, 4}));
    EXPECT_EQ(std::tuple(a.SectionAddresses(5), a.SectionNames(5), six.SectionAddresses(6), six.SectionNames(6)),
              std::tuple(0x500, u"E"_s, 0, QString()));
    // Reading stops at the empty line where gap's third pair would begin.
    EXPECT_EQ(std::tuple(gap.SectionAddresses(2), gap.SectionNames(2), gap.SectionAddresses(3), gap.SectionNames(3)),
              std::tuple(0x20, QString(), 0, QString()));
    EXPECT_EQ((std::vector<int>{a.SectionAddressUnusable(5), gap.SectionAddressUnusable(2), six.SectionAddressUnusable(6),
                                gap.SectionAddressUnusable(3), gap.SectionAddressUnusable(4)}),
              (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_EQ(problemFiles(), (QStringList{u"mode/gap.sna:5"_s, u"mode/six.sna:11"_s}));
    EXPECT_TRUE(log.items()[0].message.contains(u"2 個のセクション"_s)) << log.items()[0].message.toStdString();
}

TEST_F(Definitions, DataSetsAreIdnFilesSortedIgnoringCase)
{
    home.writeMode(u"mode"_s, uR"(
        b.IDN       x|
        B.SNA       1|S|
        a.b.idn     x|
        a.b.sna
        C.idn       x|
        C.sna
        クラス.idn  x|
        クラス.sna
        notes.txt   x|
        idn         x|
    )"_s);
    load();
    ASSERT_EQ(doc.DataSetCount, 4);
    EXPECT_EQ((QStringList{doc.DataSets(1).Name, doc.DataSets(2).Name, doc.DataSets(3).Name, doc.DataSets(4).Name}),
              (QStringList{u"a.b"_s, u"b"_s, u"C"_s, u"クラス"_s}));
    EXPECT_EQ(doc.ClassDataSet, 4);
    EXPECT_EQ(doc.DataSets(2).SectionCount, 1); // B.SNA belongs to b.IDN as it would where case does not matter
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
}

TEST_F(Definitions, SettingsComeFromTheDataSetIniWithDefaults)
{
    const QString files = u"d.idn x|\n d.sna 1|A|2|B|3|C|\n d.ini [STEP]|section1=3|Section2=abc|[Notation]|Section3=-10|"_s;
    home.writeMode(u"mode"_s, files);
    load();
    const DataSet& d = doc.DataSets(1);
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 16);
    // Letters give the default step; a section without a notation takes DefaultNotation.
    EXPECT_EQ((std::vector<int>{d.SectionSettings(SettingStep, 1), d.SectionSettings(SettingStep, 2), d.SectionSettings(SettingStep, 3)}),
              (std::vector<int>{3, 1, 1}));
    EXPECT_EQ(std::tuple(d.SectionSettings(SettingNotation, 1), d.SectionSettings(SettingNotation, 3)), std::tuple(16, -10));
    EXPECT_EQ(d.SectionSettings(SettingByte, 1), 0);

    home.writeMode(u"mode"_s, files, {u"DefaultNotation=letters"_s});
    load();
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 0);
    EXPECT_EQ(doc.DataSets(1).SectionSettings(SettingNotation, 1), 0);
}

TEST_F(Definitions, WithoutModeTheProgramFolderIsTheModeFolderAndAModeMayHoldTwoDots)
{
    home.writeMode(u"."_s, u"here.idn x|\n here.sna 10|A|"_s);
    home.writeBytes(u"ZOR.ini"_s, "[Option]\rDefaultNotation=10\r"); // carriage returns only, and no Mode
    load();
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
    ASSERT_EQ(doc.DataSetCount, 1);
    EXPECT_EQ(std::tuple(doc.ModeName, doc.DataSets(1).Name, doc.SettingDefaults(SettingNotation)), std::tuple(QString(), u"here"_s, 10));
    home.writeBytes(u"ZOR.ini"_s, "");
    load();
    EXPECT_TRUE(log.empty() && doc.DataSetCount == 1);

    home.writeMode(u"a..b"_s, u"t.idn x|\n t.sna 10|A|"_s);
    load();
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
    EXPECT_EQ(std::tuple(doc.ModeFolder, doc.DataSetCount), std::tuple(home.file(u"a..b"_s), 1));
}

// Each problem names its file and line, quotes at most 80 characters of the line, and the rest loads.
TEST_F(Definitions, ProblemsAreReportedWithFileAndLineAndTheRestLoads)
{
    home.writeMode(u"mode"_s, uR"(
        nosna.idn    x|
        short.idn    x|
        short.sna    10|A|20|
        shorter.idn  x|
        shorter.sna  10|A|20
        offsets.idn  x|
        offsets.sna  GHIJ|A|123456789|B|80000000|C|FFFF|D|61O01|E|0x61002|F|
        zz.idn       fine|
        zz.sna       30|Z|
        bytes.sna
        個別データ.sna  6100G|お金|$3005|レベル|
    )"_s);
    home.writeBytes(u"mode/bytes.idn"_s, QByteArray("ok\r\n\x82\r\nok\r\n", 11));
    home.writeLines(u"mode/long.idn"_s, {u"x"_s});
    home.writeLines(u"mode/long.sna"_s, {QString(10'000'000, u'F'), u"HP"_s});
    load();

    EXPECT_EQ(problemFiles(), QStringList({u"mode/long.sna:1"_s, u"mode/nosna.sna:0"_s, u"mode/offsets.sna:1"_s, u"mode/offsets.sna:3"_s,
                                           u"mode/offsets.sna:5"_s, u"mode/offsets.sna:9"_s, u"mode/short.sna:4"_s,
                                           u"mode/shorter.sna:4"_s, u"mode/bytes.idn:2"_s, u"mode/個別データ.sna:1"_s}))
        << log.text().toStdString();
    const QString quoted = log.items()[0].message;
    EXPECT_LT(quoted.size(), 200);
    EXPECT_TRUE(quoted.contains(u"「"_s + QString(80, u'F') + u"…」"_s)) << quoted.toStdString();
    EXPECT_TRUE(log.items()[5].message.contains(u"「61O01」"_s)) << log.items()[5].message.toStdString();

    EXPECT_EQ(set(u"long"_s).SectionAddressUnusable(1), 1);
    EXPECT_EQ(std::tuple(set(u"nosna"_s).SectionCount, set(u"nosna"_s).IdCount), std::tuple(0, 2));
    const DataSet& cut = set(u"short"_s);
    EXPECT_EQ(std::tuple(cut.SectionCount, cut.SectionNames(1), cut.SectionAddresses(2), cut.SectionNames(2)),
              std::tuple(2, u"A"_s, 0x20, QString()));
    EXPECT_EQ(set(u"shorter"_s).SectionCount, 1);
    const DataSet& offsets = set(u"offsets"_s);
    for (int q : {1, 2, 3, 5})
        EXPECT_EQ(std::tuple(offsets.SectionAddresses(q), offsets.SectionAddressUnusable(q)), std::tuple(0, std::uint8_t{1})) << q;
    EXPECT_EQ(offsets.SectionAddresses(4), 0xFFFF);
    EXPECT_EQ(std::tuple(offsets.SectionAddresses(6), offsets.SectionAddressUnusable(6)), std::tuple(0x61002, std::uint8_t{0}));
    EXPECT_EQ(std::tuple(set(u"zz"_s).SectionAddresses(1), set(u"zz"_s).IdNames(1)), std::tuple(0x30, u"fine"_s));
    EXPECT_EQ(set(u"bytes"_s).IdCount, 4);
    EXPECT_EQ(std::tuple(doc.IndividualAddressUnusable(1), doc.IndividualAddresses(2), doc.IndividualAddressUnusable(2)),
              std::tuple(1, 0x3005, 0));
}

TEST_F(Definitions, ALoadNeverKeepsAnythingOfTheModeBefore)
{
    home.writeMode(u"mode"_s, u"クラス.idn 戦士|魔法使い|\n クラス.sna 100|HP|"_s);
    load();
    ASSERT_EQ(doc.ClassDataSet, 1);
    ASSERT_EQ(doc.DataSets(1).SectionCount, 1);

    home.writeMode(u"other"_s, u"items.idn x|\n items.sna"_s, {});
    load();
    EXPECT_EQ(doc.ClassDataSet, 0);
    ASSERT_EQ(doc.DataSetCount, 1);
    EXPECT_EQ(doc.DataSets(1).SectionCount, 0);
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 0);

    home.writeZorIni(u"missing"_s);
    load();
    // The files of tabs 2 and 3 are missing with their folder.
    EXPECT_EQ(problemFiles(), (QStringList{u"missing:0"_s, u"missing/個別データ.sna:0"_s, u"missing/敵パラメータ.sna:0"_s}));
    EXPECT_EQ(doc.DataSetCount, 0);
    EXPECT_EQ(doc.DataSets.upper(), 1);
    EXPECT_EQ(std::tuple(doc.DataSets(1).SectionCount, doc.DataSets(1).IdCount), std::tuple(0, 0));
}

TEST_F(Definitions, TablesPastTheCellLimitAreRefused)
{
    // (32767 + 1) × (2047 + 1) cells are exactly the limit; the next table, of 2 cells, is past it.
    home.writeMode(u"mode"_s);
    home.writeTable(u"mode"_s, u"a"_s, kMaxSixteenBit, 2047);
    home.writeTable(u"mode"_s, u"b"_s, 1, 0);
    home.writeTable(u"mode"_s, u"c"_s, 1, 0);
    load();
    ASSERT_EQ(doc.DataSetCount, 3);
    EXPECT_EQ(std::tuple(doc.DataSets(1).IdCount, doc.DataSets(1).SectionCount), std::tuple(int{kMaxSixteenBit}, 2047));
    const DataSet& refused = doc.DataSets(2);
    EXPECT_EQ(std::tuple(refused.Name, refused.IdCount, refused.SectionCount), std::tuple(u"b"_s, 0, 0));
    EXPECT_TRUE(refused.IdNames.empty() && refused.SectionNames.empty());
    EXPECT_EQ(problemFiles(), (QStringList{u"mode/b.idn:0"_s, u"mode/c.idn:0"_s}));
    EXPECT_TRUE(log.items()[0].message.contains(u"上限"_s)) << log.items()[0].message.toStdString();

    // Without the large table both small ones fit.
    home.writeTable(u"mode"_s, u"a"_s, 1, 1);
    load();
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
    EXPECT_EQ(doc.DataSets(2).IdCount, 1);
}

// A pipe as ZOR.ini or .sna and a device as .idn are refused at once, a folder as .ini is
// no settings file: each is a problem, a missing .ini is not.
TEST_F(Definitions, FilesThatAreNotRegularAreProblemsNotWaitedOn)
{
    home.writeMode(u"mode"_s, u"a.idn x|\n b.sna 10|B|\n c.idn x|\n c.sna 10|C|\n d.idn x|\n d.sna 10|D|"_s);
    for (const QString& name : {u"ZOR.ini"_s, u"mode/a.sna"_s}) {
        QFile::remove(home.file(name));
        ASSERT_EQ(mkfifo(QFile::encodeName(home.file(name)).constData(), 0644), 0) << name.toStdString();
    }
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, home.file(u"mode/b.idn"_s)));
    ASSERT_TRUE(QDir(home.path()).mkpath(u"mode/c.ini"_s));
    log = ProblemLog(home.path());
    EXPECT_EQ(ReadZorSettings(home.path(), log).Mode, QString());
    LoadDefinitions(doc, home.path(), ZorSettings{u"mode"_s, 16, QString()}, log);
    EXPECT_EQ(problemFiles(), (QStringList{u"ZOR.ini:0"_s, u"mode/a.sna:0"_s, u"mode/b.idn:0"_s, u"mode/c.ini:0"_s}));
    const QString why[] = {u"通常のファイルではありません"_s, u"通常のファイルではありません"_s, u"通常のファイルではありません"_s, u"フォルダです"_s};
    for (std::size_t i = 0; i < log.items().size() && i < 4; ++i)
        EXPECT_TRUE(log.items()[i].message.contains(why[i])) << log.items()[i].message.toStdString();
    EXPECT_EQ(std::tuple(set(u"b"_s).SectionCount, set(u"b"_s).IdCount), std::tuple(1, 0));
    EXPECT_EQ(set(u"c"_s).SectionSettings(SettingStep, 1), 1);
    // Only the data set whose .ini can't be read has cells whose place is unknown.
    EXPECT_TRUE(set(u"c"_s).SettingsUnreadable && !set(u"d"_s).SettingsUnreadable);
}

// Files saved as UTF-8 are said so once each, and still read as CP932.
TEST_F(Definitions, Utf8FilesAreProblemsReportedOnce)
{
    home.writeMode(u"mode"_s, u"b.idn 戦士|\n b.sna 10|体力|"_s);
    home.writeBytes(u"ZOR.ini"_s, "\xEF\xBB\xBF\r\n[Option]\r\nMode=mode\r\n");
    home.writeBytes(u"mode/a.idn"_s, u"戦士\r\n僧侶\r\n魔法使い"_s.toUtf8());
    home.writeBytes(u"mode/a.sna"_s, u"10\r\n体力\r\n"_s.toUtf8());
    home.writeBytes(u"mode/a.ini"_s, u"; 設定\r\n[Step]\r\nSection1=2\r\n"_s.toUtf8());
    home.writeBytes(u"mode/b.ini"_s, "[Step]\r\nSection1=3\r\n\xC2\xB1\r\n"); // ASCII and two half-width kana
    log = ProblemLog(home.path());
    const ZorSettings settings = ReadZorSettings(home.path(), log);
    LoadDefinitions(doc, home.path(), settings, log);
    // Nothing more about the lines that UTF-8 garbles.
    EXPECT_EQ(problemFiles(), (QStringList{u"ZOR.ini:0"_s, u"mode/a.sna:0"_s, u"mode/a.idn:0"_s, u"mode/a.ini:0"_s}))
        << log.text().toStdString();
    for (const Problem& problem : log.items())
        EXPECT_EQ(problem.message, u"UTF-8 で保存されているようです。Shift-JIS で保存してください"_s);
    EXPECT_EQ(settings.Mode, u"mode"_s);
    EXPECT_EQ(std::tuple(set(u"a"_s).IdCount, set(u"a"_s).SectionSettings(SettingStep, 1)), std::tuple(3, std::int16_t{2}));
    EXPECT_EQ(set(u"b"_s).SectionSettings(SettingStep, 1), 3);
}

} // namespace
} // namespace zor
