#include "core/document/Definitions.h"

#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::ProgramFolder;

class Definitions : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.writeZorIni(u"mode"_s, u"16"_s);
        home.writeTabTables(u"mode"_s);
    }

    void load()
    {
        log = ProblemLog(home.path());
        LoadDefinitions(doc, home.path(), log);
    }

    int dataSet(const QString& name) const
    {
        for (int k = 1; k <= doc.DataSetCount; ++k)
            if (doc.DataSets(k).Name == name)
                return k;
        ADD_FAILURE() << "no data set " << name.toStdString();
        return 0;
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

TEST_F(Definitions, IdFilesCountLinesAndNameReadableOnes)
{
    home.writeLines(u"mode/a.idn"_s, {u"zero"_s, u"one"_s, u"two"_s});
    home.writeLines(u"mode/b.idn"_s, {u"n0"_s, u"n1"_s, u"n2"_s, u"n3"_s, QString(), u"n5"_s, u"n6"_s}, "\n", false);
    home.writeLines(u"mode/a.sna"_s, {});
    home.writeLines(u"mode/b.sna"_s, {});
    load();
    ASSERT_EQ(doc.DataSetCount, 2);
    const int a = dataSet(u"a"_s);
    const int b = dataSet(u"b"_s);
    EXPECT_EQ(doc.DataSets(a).IdCount, 4); // the final line break adds an unnamed ID
    EXPECT_EQ(doc.DataSets(a).IdNames(1), u"zero"_s);
    EXPECT_EQ(doc.DataSets(a).IdNames(3), u"two"_s);
    EXPECT_EQ(doc.DataSets(a).IdNames(4), QString());
    EXPECT_EQ(doc.DataSets(b).IdCount, 7); // counted past the empty line, named only before it
    EXPECT_EQ(doc.DataSets(b).IdNames(4), u"n3"_s);
    EXPECT_EQ(doc.DataSets(b).IdNames(6), QString());
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
}

TEST_F(Definitions, SectionCountComesFromTheLineCount)
{
    const QStringList fivePairs{u"100"_s, u"A"_s, u"200"_s, u"B"_s, u"300"_s, u"C"_s, u"400"_s, u"D"_s, u"500"_s, u"E"_s};
    home.writeLines(u"mode/five.idn"_s, {u"x"_s});
    home.writeLines(u"mode/five.sna"_s, fivePairs);
    home.writeLines(u"mode/six.idn"_s, {u"x"_s});
    home.writeLines(u"mode/six.sna"_s, fivePairs + QStringList{QString()});
    home.writeLines(u"mode/gap.idn"_s, {u"x"_s});
    home.writeLines(u"mode/gap.sna"_s, {u"10"_s, u"P"_s, u"20"_s, QString(), QString(), u"30"_s, u"R"_s});
    load();
    const int five = dataSet(u"five"_s);
    const int six = dataSet(u"six"_s);
    const int gap = dataSet(u"gap"_s);
    EXPECT_EQ(doc.DataSets(five).SectionCount, 5);
    EXPECT_EQ(doc.DataSets(five).SectionAddresses(5), 0x500);
    EXPECT_EQ(doc.DataSets(five).SectionNames(5), u"E"_s);
    EXPECT_EQ(doc.DataSets(six).SectionCount, 6);
    EXPECT_EQ(doc.DataSets(six).SectionAddresses(6), 0);
    EXPECT_EQ(doc.DataSets(six).SectionNames(6), QString());
    // Reading stops at the empty line where the third pair would begin; the count still comes from L = 8.
    EXPECT_EQ(doc.DataSets(gap).SectionCount, 4);
    EXPECT_EQ(doc.DataSets(gap).SectionAddresses(2), 0x20);
    EXPECT_EQ(doc.DataSets(gap).SectionNames(2), QString());
    EXPECT_EQ(doc.DataSets(gap).SectionAddresses(3), 0);
    EXPECT_EQ(doc.DataSets(gap).SectionNames(3), QString());
    // Sections past the readable pairs have no offset: reported where the pairs stop, never read or written.
    EXPECT_EQ(doc.DataSets(five).SectionAddressUnusable(5), 0);
    EXPECT_EQ(doc.DataSets(gap).SectionAddressUnusable(2), 0);
    for (const auto& [set, q] : {std::pair{six, 6}, {gap, 3}, {gap, 4}})
        EXPECT_EQ(doc.DataSets(set).SectionAddressUnusable(q), 1) << q;
    EXPECT_EQ(problemFiles(), (QStringList{u"mode/gap.sna:5"_s, u"mode/six.sna:11"_s}));
    EXPECT_TRUE(log.items()[0].message.contains(u"2 個のセクション"_s)) << log.items()[0].message.toStdString();
}

TEST_F(Definitions, DataSetsAreIdnFilesSortedIgnoringCase)
{
    home.writeLines(u"mode/b.IDN"_s, {u"x"_s});
    home.writeLines(u"mode/B.SNA"_s, {u"1"_s, u"S"_s});
    home.writeLines(u"mode/a.b.idn"_s, {u"x"_s});
    home.writeLines(u"mode/a.b.sna"_s, {});
    home.writeLines(u"mode/C.idn"_s, {u"x"_s});
    home.writeLines(u"mode/C.sna"_s, {});
    home.writeLines(u"mode/クラス.idn"_s, {u"x"_s});
    home.writeLines(u"mode/クラス.sna"_s, {});
    home.writeLines(u"mode/notes.txt"_s, {u"x"_s});
    home.writeLines(u"mode/idn"_s, {u"x"_s});
    load();
    ASSERT_EQ(doc.DataSetCount, 4);
    EXPECT_EQ(doc.DataSets(1).Name, u"a.b"_s);
    EXPECT_EQ(doc.DataSets(2).Name, u"b"_s);
    EXPECT_EQ(doc.DataSets(3).Name, u"C"_s);
    EXPECT_EQ(doc.DataSets(4).Name, u"クラス"_s);
    EXPECT_EQ(doc.ClassDataSet, 4);
    EXPECT_EQ(doc.DataSets(2).SectionCount, 1); // B.SNA belongs to b.IDN as it would where case does not matter
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
}

TEST_F(Definitions, SettingsComeFromTheDataSetIniWithDefaults)
{
    home.writeLines(u"mode/d.idn"_s, {u"x"_s});
    home.writeLines(u"mode/d.sna"_s, {u"1"_s, u"A"_s, u"2"_s, u"B"_s, u"3"_s, u"C"_s});
    home.writeLines(u"mode/d.ini"_s, {u"[STEP]"_s, u"section1=3"_s, u"Section2=abc"_s, u"[Notation]"_s, u"Section3=-10"_s});
    load();
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 16);
    EXPECT_EQ(doc.DataSets(1).SectionSettings(SettingStep, 1), 3);
    EXPECT_EQ(doc.DataSets(1).SectionSettings(SettingStep, 2), 1); // letters give the default step
    EXPECT_EQ(doc.DataSets(1).SectionSettings(SettingStep, 3), 1);
    EXPECT_EQ(doc.DataSets(1).SectionSettings(SettingNotation, 1), 16);
    EXPECT_EQ(doc.DataSets(1).SectionSettings(SettingNotation, 3), -10);
    EXPECT_EQ(doc.DataSets(1).SectionSettings(SettingByte, 1), 0);

    home.writeZorIni(u"mode"_s, u"letters"_s);
    load();
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 0);
    EXPECT_EQ(doc.DataSets(1).SectionSettings(SettingNotation, 1), 0);
}

TEST_F(Definitions, WithoutModeTheProgramFolderIsTheModeFolder)
{
    home.writeBytes(u"ZOR.ini"_s, "[Option]\rDefaultNotation=10\r"); // carriage returns only, and no Mode
    home.writeLines(u"here.idn"_s, {u"x"_s});
    home.writeLines(u"here.sna"_s, {u"10"_s, u"A"_s});
    home.writeTabTables(u"."_s);
    load();
    EXPECT_EQ(doc.ModeName, QString());
    ASSERT_EQ(doc.DataSetCount, 1);
    EXPECT_EQ(doc.DataSets(1).Name, u"here"_s);
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 10);
    EXPECT_TRUE(log.empty()) << log.text().toStdString();

    home.writeBytes(u"ZOR.ini"_s, "");
    load();
    EXPECT_EQ(doc.DataSetCount, 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(Definitions, AModeNameMayHoldTwoDots)
{
    home.writeZorIni(u"a..b"_s);
    home.writeTabTables(u"a..b"_s);
    home.writeTable(u"a..b"_s, u"t"_s, 1, 1);
    load();
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
    EXPECT_EQ(doc.ModeFolder, home.file(u"a..b"_s));
    EXPECT_EQ(doc.DataSetCount, 1);
}

TEST_F(Definitions, ProblemsAreReportedWithFileAndLineAndTheRestLoads)
{
    home.writeLines(u"mode/nosna.idn"_s, {u"x"_s});
    home.writeLines(u"mode/short.idn"_s, {u"x"_s});
    home.writeLines(u"mode/short.sna"_s, {u"10"_s, u"A"_s, u"20"_s}); // ends inside the second pair
    home.writeLines(u"mode/shorter.idn"_s, {u"x"_s});
    home.writeLines(u"mode/shorter.sna"_s, {u"10"_s, u"A"_s, u"20"_s}, "\r\n", false);
    home.writeLines(u"mode/offsets.idn"_s, {u"x"_s});
    home.writeLines(u"mode/offsets.sna"_s, {u"GHIJ"_s, u"A"_s, u"123456789"_s, u"B"_s, u"80000000"_s, u"C"_s, u"FFFF"_s,
                                            u"D"_s, u"61O01"_s, u"E"_s, u"0x61002"_s, u"F"_s});
    home.writeLines(u"mode/zz.idn"_s, {u"fine"_s});
    home.writeLines(u"mode/zz.sna"_s, {u"30"_s, u"Z"_s});
    home.writeBytes(u"mode/bytes.idn"_s, QByteArray("ok\r\n\x82\r\nok\r\n", 11));
    home.writeLines(u"mode/bytes.sna"_s, {});
    load();

    EXPECT_EQ(problemFiles(), QStringList({u"mode/nosna.sna:0"_s, u"mode/offsets.sna:1"_s, u"mode/offsets.sna:3"_s,
                                           u"mode/offsets.sna:5"_s, u"mode/offsets.sna:9"_s, u"mode/short.sna:4"_s, u"mode/shorter.sna:4"_s,
                                           u"mode/bytes.idn:2"_s}))
        << log.text().toStdString();

    const int nosna = dataSet(u"nosna"_s);
    EXPECT_EQ(doc.DataSets(nosna).SectionCount, 0);
    EXPECT_EQ(doc.DataSets(nosna).IdCount, 2);

    const int shortSet = dataSet(u"short"_s);
    EXPECT_EQ(doc.DataSets(shortSet).SectionCount, 2);
    EXPECT_EQ(doc.DataSets(shortSet).SectionNames(1), u"A"_s);
    EXPECT_EQ(doc.DataSets(shortSet).SectionAddresses(2), 0x20);
    EXPECT_EQ(doc.DataSets(shortSet).SectionNames(2), QString());
    EXPECT_EQ(doc.DataSets(dataSet(u"shorter"_s)).SectionCount, 1);

    const int offsets = dataSet(u"offsets"_s);
    for (int q : {1, 2, 3, 5}) {
        EXPECT_EQ(doc.DataSets(offsets).SectionAddresses(q), 0);
        EXPECT_EQ(doc.DataSets(offsets).SectionAddressUnusable(q), 1);
    }
    EXPECT_EQ(doc.DataSets(offsets).SectionAddresses(4), 0xFFFF);
    EXPECT_EQ(doc.DataSets(offsets).SectionAddresses(6), 0x61002);
    EXPECT_EQ(doc.DataSets(offsets).SectionAddressUnusable(6), 0);
    EXPECT_TRUE(log.items()[4].message.contains(u"「61O01」"_s)) << log.items()[4].message.toStdString();

    const int zz = dataSet(u"zz"_s);
    EXPECT_EQ(doc.DataSets(zz).SectionAddresses(1), 0x30);
    EXPECT_EQ(doc.DataSets(zz).IdNames(1), u"fine"_s);
    EXPECT_EQ(doc.DataSets(dataSet(u"bytes"_s)).IdCount, 4);
}

TEST_F(Definitions, IndividualOffsetsAreReadWhole)
{
    home.writeLines(u"mode/個別データ.sna"_s, {u"6100G"_s, u"お金"_s, u"$3005"_s, u"レベル"_s});
    load();
    EXPECT_EQ(problemFiles(), QStringList{u"mode/個別データ.sna:1"_s});
    EXPECT_EQ(doc.IndividualAddressUnusable(1), 1);
    EXPECT_EQ(doc.IndividualAddresses(2), 0x3005);
    EXPECT_EQ(doc.IndividualAddressUnusable(2), 0);
}

TEST_F(Definitions, ALoadNeverKeepsAnythingOfTheModeBefore)
{
    home.writeLines(u"mode/クラス.idn"_s, {u"戦士"_s, u"魔法使い"_s});
    home.writeLines(u"mode/クラス.sna"_s, {u"100"_s, u"HP"_s});
    load();
    ASSERT_EQ(doc.ClassDataSet, 1);
    ASSERT_EQ(doc.DataSets(1).SectionCount, 1);

    home.writeZorIni(u"other"_s);
    home.writeLines(u"other/items.idn"_s, {u"x"_s});
    home.writeLines(u"other/items.sna"_s, {});
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
    EXPECT_EQ(doc.DataSets(1).SectionCount, 0);
    EXPECT_EQ(doc.DataSets(1).IdCount, 0);
}

TEST_F(Definitions, TablesPastTheCellLimitAreRefused)
{
    // (32767 + 1) × (2047 + 1) cells are exactly the limit; the next table, of 2 cells, is past it.
    home.writeTable(u"mode"_s, u"a"_s, kMaxSixteenBit, 2047);
    home.writeTable(u"mode"_s, u"b"_s, 1, 0);
    home.writeTable(u"mode"_s, u"c"_s, 1, 0);
    load();
    ASSERT_EQ(doc.DataSetCount, 3);
    EXPECT_EQ(doc.DataSets(1).IdCount, kMaxSixteenBit);
    EXPECT_EQ(doc.DataSets(1).SectionCount, 2047);
    const DataSet& refused = doc.DataSets(2);
    EXPECT_EQ(refused.Name, u"b"_s);
    EXPECT_EQ(refused.IdCount, 0);
    EXPECT_EQ(refused.SectionCount, 0);
    EXPECT_TRUE(refused.IdNames.empty());
    EXPECT_TRUE(refused.SectionNames.empty());
    EXPECT_EQ(problemFiles(), (QStringList{u"mode/b.idn:0"_s, u"mode/c.idn:0"_s}));
    EXPECT_TRUE(log.items()[0].message.contains(u"上限"_s)) << log.items()[0].message.toStdString();

    // Without the large table both small ones fit.
    home.writeTable(u"mode"_s, u"a"_s, 1, 1);
    load();
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
    EXPECT_EQ(doc.DataSets(2).IdCount, 1);
}

TEST_F(Definitions, AProblemQuotesAtMostEightyCharactersOfALine)
{
    home.writeLines(u"mode/a.idn"_s, {u"x"_s});
    home.writeLines(u"mode/a.sna"_s, {QString(10'000'000, u'F'), u"HP"_s});
    load();
    ASSERT_EQ(problemFiles(), QStringList{u"mode/a.sna:1"_s});
    const QString message = log.items()[0].message;
    EXPECT_LT(message.size(), 200);
    EXPECT_TRUE(message.contains(u"「"_s + QString(80, u'F') + u"…」"_s)) << message.toStdString();
    EXPECT_EQ(doc.DataSets(1).SectionAddressUnusable(1), 1);
}

// A pipe as ZOR.ini or .sna and a device as .idn are refused at once, each a problem.
TEST_F(Definitions, FilesThatAreNotRegularAreProblemsNotWaitedOn)
{
    home.writeLines(u"mode/a.idn"_s, {u"x"_s});
    home.writeLines(u"mode/b.sna"_s, {u"10"_s, u"B"_s});
    auto pipe = [&](const QString& name) {
        QFile::remove(home.file(name));
        ASSERT_EQ(mkfifo(QFile::encodeName(home.file(name)).constData(), 0644), 0) << name.toStdString();
    };
    pipe(u"ZOR.ini"_s);
    pipe(u"mode/a.sna"_s);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, home.file(u"mode/b.idn"_s)));
    log = ProblemLog(home.path());
    const ZorSettings settings = ReadZorSettings(home.path(), log);
    EXPECT_EQ(settings.Mode, QString());
    LoadDefinitions(doc, home.path(), ZorSettings{u"mode"_s, 16, QString()}, log);
    EXPECT_EQ(problemFiles(), (QStringList{u"ZOR.ini:0"_s, u"mode/a.sna:0"_s, u"mode/b.idn:0"_s}));
    for (const Problem& problem : log.items())
        EXPECT_TRUE(problem.message.contains(u"通常のファイルではありません"_s)) << problem.message.toStdString();
    EXPECT_EQ(doc.DataSets(dataSet(u"b"_s)).SectionCount, 1);
    EXPECT_EQ(doc.DataSets(dataSet(u"b"_s)).IdCount, 0);
}

// A settings file that is there but can't be read is a problem; a missing one is not.
TEST_F(Definitions, UnreadableSettingsAreProblemsMissingOnesAreNot)
{
    home.writeLines(u"mode/a.idn"_s, {u"x"_s});
    home.writeLines(u"mode/a.sna"_s, {u"10"_s, u"A"_s});
    home.writeLines(u"mode/b.idn"_s, {u"x"_s});
    home.writeLines(u"mode/b.sna"_s, {u"10"_s, u"B"_s});
    ASSERT_TRUE(QDir(home.path()).mkpath(u"mode/a.ini"_s));
    load();
    EXPECT_EQ(problemFiles(), QStringList{u"mode/a.ini:0"_s});
    EXPECT_TRUE(log.items()[0].message.contains(u"フォルダです"_s)) << log.text().toStdString();
    EXPECT_EQ(doc.DataSets(dataSet(u"a"_s)).SectionSettings(SettingStep, 1), 1);
    // Only the data set whose .ini can't be read has cells whose place is unknown.
    EXPECT_TRUE(doc.DataSets(dataSet(u"a"_s)).SettingsUnreadable);
    EXPECT_FALSE(doc.DataSets(dataSet(u"b"_s)).SettingsUnreadable);

    QFile::remove(home.file(u"ZOR.ini"_s));
    ASSERT_TRUE(QDir(home.path()).mkdir(u"ZOR.ini"_s));
    log = ProblemLog(home.path());
    EXPECT_EQ(ReadZorSettings(home.path(), log).Mode, QString());
    EXPECT_EQ(problemFiles(), QStringList{u"ZOR.ini:0"_s});
}

// Without read permission, which root ignores: read by a child that has given up root.
TEST_F(Definitions, SettingsWithoutReadPermissionAreProblems)
{
    home.writeLines(u"mode/a.idn"_s, {u"x"_s});
    home.writeLines(u"mode/a.sna"_s, {u"10"_s, u"A"_s});
    home.writeLines(u"mode/a.ini"_s, {u"[Step]"_s, u"Section1=2"_s});
    QFile::setPermissions(home.file(u"mode/a.ini"_s), QFileDevice::WriteOwner);
    QFile::setPermissions(home.file(u"ZOR.ini"_s), QFileDevice::WriteOwner);
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                          | QFileDevice::ExeOther;
    QFile::setPermissions(home.path(), everyone);
    QFile::setPermissions(home.file(u"mode"_s), everyone);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        ProblemLog problems(home.path());
        const ZorSettings settings = ReadZorSettings(home.path(), problems);
        LoadDefinitions(doc, home.path(), ZorSettings{u"mode"_s, 16, QString()}, problems);
        bool ok = settings.Mode.isEmpty() && problems.items().size() == 2;
        for (const Problem& problem : problems.items())
            ok = ok && problem.message.contains(u"読み取りが許可されていません"_s);
        ok = ok && problems.items()[0].file == u"ZOR.ini"_s && problems.items()[1].file == u"mode/a.ini"_s;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Files saved as UTF-8 are said so once each, and still read as CP932.
TEST_F(Definitions, Utf8FilesAreProblemsReportedOnce)
{
    const QString message = u"UTF-8 で保存されているようです。Shift-JIS で保存してください"_s;
    home.writeBytes(u"ZOR.ini"_s, "\xEF\xBB\xBF\r\n[Option]\r\nMode=mode\r\n");
    home.writeBytes(u"mode/a.idn"_s, u"戦士\r\n僧侶\r\n魔法使い"_s.toUtf8());
    home.writeBytes(u"mode/a.sna"_s, u"10\r\n体力\r\n"_s.toUtf8());
    home.writeBytes(u"mode/a.ini"_s, u"; 設定\r\n[Step]\r\nSection1=2\r\n"_s.toUtf8());
    home.writeLines(u"mode/b.idn"_s, {u"戦士"_s}); // CP932
    home.writeLines(u"mode/b.sna"_s, {u"10"_s, u"体力"_s});
    home.writeBytes(u"mode/b.ini"_s, "[Step]\r\nSection1=3\r\n\xC2\xB1\r\n"); // ASCII and two half-width kana
    const ZorSettings settings = [&] {
        log = ProblemLog(home.path());
        return ReadZorSettings(home.path(), log);
    }();
    LoadDefinitions(doc, home.path(), settings, log);
    // Nothing more about the lines that UTF-8 garbles.
    EXPECT_EQ(problemFiles(), (QStringList{u"ZOR.ini:0"_s, u"mode/a.sna:0"_s, u"mode/a.idn:0"_s, u"mode/a.ini:0"_s}))
        << log.text().toStdString();
    for (const Problem& problem : log.items())
        EXPECT_EQ(problem.message, message);
    EXPECT_EQ(settings.Mode, u"mode"_s);
    const int a = dataSet(u"a"_s);
    EXPECT_EQ(doc.DataSets(a).IdCount, 3);
    EXPECT_EQ(doc.DataSets(a).SectionSettings(SettingStep, 1), 2);
    EXPECT_EQ(doc.DataSets(dataSet(u"b"_s)).SectionSettings(SettingStep, 1), 3);
}

} // namespace
} // namespace zor
