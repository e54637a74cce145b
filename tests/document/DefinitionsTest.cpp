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
    void SetUp() override { home.writeZorIni(u"mode"_s, u"16"_s); }

    void load()
    {
        log = ProblemLog(home.path());
        LoadDefinitions(doc, home.path(), log);
    }

    int dataSet(const QString& name) const
    {
        for (int k = 1; k <= doc.DataSetCount; ++k)
            if (doc.DataSetNames(k) == name)
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
    EXPECT_EQ(doc.IdCounts(a), 4); // the final line break adds an unnamed ID
    EXPECT_EQ(doc.IdNames(a, 1), u"zero"_s);
    EXPECT_EQ(doc.IdNames(a, 3), u"two"_s);
    EXPECT_EQ(doc.IdNames(a, 4), QString());
    EXPECT_EQ(doc.IdCounts(b), 7); // counted past the empty line, named only before it
    EXPECT_EQ(doc.IdNames(b, 4), u"n3"_s);
    EXPECT_EQ(doc.IdNames(b, 6), QString());
    EXPECT_EQ(doc.MaxIdCount, 7);
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
    EXPECT_EQ(doc.SectionCounts(five), 5);
    EXPECT_EQ(doc.SectionAddresses(five, 5), 0x500);
    EXPECT_EQ(doc.SectionNames(five, 5), u"E"_s);
    EXPECT_EQ(doc.SectionCounts(six), 6);
    EXPECT_EQ(doc.SectionAddresses(six, 6), 0);
    EXPECT_EQ(doc.SectionNames(six, 6), QString());
    // Reading stops at the empty line where the third pair would begin; the count still comes from L = 8.
    EXPECT_EQ(doc.SectionCounts(gap), 4);
    EXPECT_EQ(doc.SectionAddresses(gap, 2), 0x20);
    EXPECT_EQ(doc.SectionNames(gap, 2), QString());
    EXPECT_EQ(doc.SectionAddresses(gap, 3), 0);
    EXPECT_EQ(doc.SectionNames(gap, 3), QString());
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
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
    EXPECT_EQ(doc.DataSetNames(1), u"a.b"_s);
    EXPECT_EQ(doc.DataSetNames(2), u"b"_s);
    EXPECT_EQ(doc.DataSetNames(3), u"C"_s);
    EXPECT_EQ(doc.DataSetNames(4), u"クラス"_s);
    EXPECT_EQ(doc.ClassDataSet, 4);
    EXPECT_EQ(doc.SectionCounts(2), 1); // B.SNA belongs to b.IDN as it would where case does not matter
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
}

TEST_F(Definitions, SettingsComeFromTheDataSetIniWithDefaults)
{
    home.writeLines(u"mode/d.idn"_s, {u"x"_s});
    home.writeLines(u"mode/d.sna"_s, {u"1"_s, u"A"_s, u"2"_s, u"B"_s, u"3"_s, u"C"_s});
    home.writeLines(u"mode/d.ini"_s, {u"[STEP]"_s, u"section1=3"_s, u"Section2=abc"_s, u"[Notation]"_s, u"Section3=-10"_s});
    load();
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 16);
    EXPECT_EQ(doc.SectionSettings(SettingStep, TabIdSection, 1, 1), 3);
    EXPECT_EQ(doc.SectionSettings(SettingStep, TabIdSection, 1, 2), 1); // letters give the default step
    EXPECT_EQ(doc.SectionSettings(SettingStep, TabIdSection, 1, 3), 1);
    EXPECT_EQ(doc.SectionSettings(SettingNotation, TabIdSection, 1, 1), 16);
    EXPECT_EQ(doc.SectionSettings(SettingNotation, TabIdSection, 1, 3), -10);
    EXPECT_EQ(doc.SectionSettings(SettingByte, TabIdSection, 1, 1), 0);

    home.writeZorIni(u"mode"_s, u"letters"_s);
    load();
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 0);
    EXPECT_EQ(doc.SectionSettings(SettingNotation, TabIdSection, 1, 1), 0);
}

TEST_F(Definitions, WithoutModeTheProgramFolderIsTheModeFolder)
{
    home.writeBytes(u"ZOR.ini"_s, "[Option]\rDefaultNotation=10\r"); // carriage returns only, and no Mode
    home.writeLines(u"here.idn"_s, {u"x"_s});
    home.writeLines(u"here.sna"_s, {u"10"_s, u"A"_s});
    load();
    EXPECT_EQ(doc.ModeName, QString());
    ASSERT_EQ(doc.DataSetCount, 1);
    EXPECT_EQ(doc.DataSetNames(1), u"here"_s);
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 10);
    EXPECT_TRUE(log.empty()) << log.text().toStdString();

    home.writeBytes(u"ZOR.ini"_s, "");
    load();
    EXPECT_EQ(doc.DataSetCount, 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(Definitions, ProblemsAreReportedWithFileAndLineAndTheRestLoads)
{
    home.writeLines(u"mode/nosna.idn"_s, {u"x"_s});
    home.writeLines(u"mode/short.idn"_s, {u"x"_s});
    home.writeLines(u"mode/short.sna"_s, {u"10"_s, u"A"_s, u"20"_s}); // ends inside the second pair
    home.writeLines(u"mode/shorter.idn"_s, {u"x"_s});
    home.writeLines(u"mode/shorter.sna"_s, {u"10"_s, u"A"_s, u"20"_s}, "\r\n", false);
    home.writeLines(u"mode/offsets.idn"_s, {u"x"_s});
    home.writeLines(u"mode/offsets.sna"_s, {u"GHIJ"_s, u"A"_s, u"123456789"_s, u"B"_s, u"80000000"_s, u"C"_s, u"FFFF"_s, u"D"_s});
    home.writeLines(u"mode/zz.idn"_s, {u"fine"_s});
    home.writeLines(u"mode/zz.sna"_s, {u"30"_s, u"Z"_s});
    home.writeBytes(u"mode/bytes.idn"_s, QByteArray("ok\r\n\x82\r\nok\r\n", 11));
    home.writeLines(u"mode/bytes.sna"_s, {});
    load();

    EXPECT_EQ(problemFiles(), QStringList({u"mode/nosna.sna:0"_s, u"mode/offsets.sna:1"_s, u"mode/offsets.sna:3"_s,
                                           u"mode/offsets.sna:5"_s, u"mode/short.sna:4"_s, u"mode/shorter.sna:4"_s,
                                           u"mode/bytes.idn:2"_s}))
        << log.text().toStdString();

    const int nosna = dataSet(u"nosna"_s);
    EXPECT_EQ(doc.SectionCounts(nosna), 0);
    EXPECT_EQ(doc.IdCounts(nosna), 2);

    const int shortSet = dataSet(u"short"_s);
    EXPECT_EQ(doc.SectionCounts(shortSet), 2);
    EXPECT_EQ(doc.SectionNames(shortSet, 1), u"A"_s);
    EXPECT_EQ(doc.SectionAddresses(shortSet, 2), 0x20);
    EXPECT_EQ(doc.SectionNames(shortSet, 2), QString());
    EXPECT_EQ(doc.SectionCounts(dataSet(u"shorter"_s)), 1);

    const int offsets = dataSet(u"offsets"_s);
    for (int q = 1; q <= 3; ++q) {
        EXPECT_EQ(doc.SectionAddresses(offsets, q), 0);
        EXPECT_EQ(doc.SectionAddressUnusable(offsets, q), 1);
    }
    EXPECT_EQ(doc.SectionAddresses(offsets, 4), 0xFFFF);
    EXPECT_EQ(doc.SectionAddressUnusable(offsets, 4), 0);

    const int zz = dataSet(u"zz"_s);
    EXPECT_EQ(doc.SectionAddresses(zz, 1), 0x30);
    EXPECT_EQ(doc.IdNames(zz, 1), u"fine"_s);
    EXPECT_EQ(doc.IdCounts(dataSet(u"bytes"_s)), 4);
}

TEST_F(Definitions, ALoadNeverKeepsAnythingOfTheModeBefore)
{
    home.writeLines(u"mode/クラス.idn"_s, {u"戦士"_s, u"魔法使い"_s});
    home.writeLines(u"mode/クラス.sna"_s, {u"100"_s, u"HP"_s});
    load();
    ASSERT_EQ(doc.ClassDataSet, 1);
    ASSERT_EQ(doc.SectionCounts(1), 1);

    home.writeZorIni(u"other"_s);
    home.writeLines(u"other/items.idn"_s, {u"x"_s});
    home.writeLines(u"other/items.sna"_s, {});
    load();
    EXPECT_EQ(doc.ClassDataSet, 0);
    ASSERT_EQ(doc.DataSetCount, 1);
    EXPECT_EQ(doc.SectionCounts(1), 0);
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 0);

    home.writeZorIni(u"missing"_s);
    load();
    EXPECT_EQ(problemFiles(), QStringList{u"missing:0"_s});
    EXPECT_EQ(doc.DataSetCount, 0);
    EXPECT_EQ(doc.DataSetNames.upper(), 1);
    EXPECT_EQ(doc.SectionCounts.upper(), 1);
    EXPECT_EQ(doc.MaxIdCount, 0);
    EXPECT_EQ(LargestSectionCount(doc), 0);
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
    EXPECT_EQ(doc.SectionCounts(dataSet(u"b"_s)), 1);
    EXPECT_EQ(doc.IdCounts(dataSet(u"b"_s)), 0);
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
    EXPECT_EQ(doc.SectionSettings(SettingStep, TabIdSection, dataSet(u"a"_s), 1), 1);

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
    QStringList utf8;
    for (const Problem& problem : log.items())
        if (problem.message == message)
            utf8 << problem.file + u':' + QString::number(problem.line);
    EXPECT_EQ(utf8, (QStringList{u"ZOR.ini:0"_s, u"mode/a.sna:0"_s, u"mode/a.idn:0"_s, u"mode/a.ini:0"_s}))
        << log.text().toStdString();
    EXPECT_EQ(settings.Mode, u"mode"_s);
    const int a = dataSet(u"a"_s);
    EXPECT_EQ(doc.IdCounts(a), 3);
    EXPECT_EQ(doc.SectionSettings(SettingStep, TabIdSection, a, 1), 2);
    EXPECT_EQ(doc.SectionSettings(SettingStep, TabIdSection, dataSet(u"b"_s), 1), 3);
}

} // namespace
} // namespace zor
