#include "cli/CheckCommand.h"

#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/RomBuilder.h"

#include "core/document/ReadImage.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::ProgramFolder;

test::CommandRun Check(const QStringList& args) { return test::Call(RunCheck, args); }

TEST(CheckCommand, JsonHoldsEveryFigureOfTheDefinitions)
{
    ProgramFolder home;
    home.writeZorIni(u"sample"_s, u"-10"_s);
    home.writeTabTables(u"sample"_s);
    home.writeLines(u"sample/クラス.idn"_s, {u"戦士"_s, u"僧侶"_s});
    home.writeLines(u"sample/クラス.sna"_s, {u"1A2"_s, u"HP"_s, u"8000"_s, u"MP"_s, QString()});
    home.writeLines(u"sample/クラス.ini"_s, {u"[Step]"_s, u"Section1=2"_s, u"[Notation]"_s, u"Section2=16"_s});

    const test::CommandRun run = Check({u"--home"_s, home.path(), u"--json"_s});
    EXPECT_EQ(run.status, 1) << run.out.toStdString(); // the third section, past the pairs, has no offset
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(json[u"mode"_s].toString(), u"sample"_s);
    EXPECT_EQ(json[u"defaultNotation"_s].toInt(), -10);
    EXPECT_EQ(json[u"classDataSet"_s].toInt(), 1);
    const QJsonArray dataSets = json[u"dataSets"_s].toArray();
    ASSERT_EQ(dataSets.size(), 1);
    const QJsonObject set = dataSets[0].toObject();
    EXPECT_EQ(set[u"name"_s].toString(), u"クラス"_s);
    EXPECT_EQ(set[u"idCount"_s].toInt(), 3);
    EXPECT_EQ(set[u"idNames"_s].toArray(), QJsonArray({u"戦士"_s, u"僧侶"_s, u""_s}));
    const QJsonArray sections = set[u"sections"_s].toArray();
    ASSERT_EQ(sections.size(), 3);
    EXPECT_EQ(sections[0].toObject(),
              QJsonObject({{u"offset"_s, 418}, {u"caption"_s, u"HP"_s}, {u"step"_s, 2}, {u"notation"_s, -10}}));
    EXPECT_EQ(sections[1].toObject(),
              QJsonObject({{u"offset"_s, 32768}, {u"caption"_s, u"MP"_s}, {u"step"_s, 1}, {u"notation"_s, 16}}));
    EXPECT_EQ(sections[2].toObject(),
              QJsonObject({{u"offset"_s, QJsonValue()}, {u"caption"_s, u""_s}, {u"step"_s, 1}, {u"notation"_s, -10}}));
    const QJsonArray problems = json[u"problems"_s].toArray();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0].toObject()[u"file"_s].toString(), u"sample/クラス.sna"_s);
    EXPECT_EQ(problems[0].toObject()[u"line"_s].toInt(), 5);
    EXPECT_TRUE(Check({u"--home"_s, home.path()}).out.contains(u"3. オフセット 読めません"_s));
}

TEST(CheckCommand, ProblemsMakeItFailWithRelativeFileNames)
{
    ProgramFolder home;
    home.writeZorIni(u"m"_s);
    home.writeTabTables(u"m"_s);
    home.writeLines(u"m/a.idn"_s, {u"x"_s});

    const test::CommandRun json = Check({u"--json"_s, u"--home"_s, home.path()});
    EXPECT_EQ(json.status, 1);
    const QJsonArray problems = QJsonDocument::fromJson(json.out.toUtf8()).object()[u"problems"_s].toArray();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0].toObject()[u"file"_s].toString(), u"m/a.sna"_s);
    EXPECT_EQ(problems[0].toObject()[u"line"_s].toInt(), 0);

    const test::CommandRun text = Check({u"--home"_s, home.path()});
    EXPECT_EQ(text.status, 1);
    EXPECT_TRUE(text.out.contains(u"m/a.sna"_s)) << text.out.toStdString();
}

TEST(CheckCommand, ReportsATablePastTheCellLimit)
{
    ProgramFolder home;
    home.writeZorIni(u"m"_s);
    home.writeTabTables(u"m"_s);
    home.writeTable(u"m"_s, u"huge"_s, kMaxSixteenBit, 2048);
    const test::CommandRun run = Check({u"--json"_s, u"--home"_s, home.path()});
    EXPECT_EQ(run.status, 1);
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonObject set = json[u"dataSets"_s].toArray()[0].toObject();
    EXPECT_EQ(set[u"name"_s].toString(), u"huge"_s);
    EXPECT_EQ(set[u"idCount"_s].toInt(), 0);
    EXPECT_TRUE(set[u"sections"_s].toArray().isEmpty());
    const QJsonArray problems = json[u"problems"_s].toArray();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_EQ(problems[0].toObject()[u"file"_s].toString(), u"m/huge.idn"_s);
    EXPECT_TRUE(problems[0].toObject()[u"message"_s].toString().contains(u"上限"_s));
}

TEST(CheckCommand, ReportsTheDefinitionProblemsTheLoadReports)
{
    // No 個別データ.sna, a bad 敵パラメータ.ini line, an image that holds every cell and the battle blocks.
    ProgramFolder home;
    home.writeZorIni(u"m"_s);
    home.writeTable(u"m"_s, u"a"_s, 2, 1);
    home.writeBattleCaptions(u"m"_s, u"項目"_s, 27);
    home.writeBytes(u"m/敵パラメータ.ini"_s, "[Notation]\r\nSection1=\x81\r\n");
    test::RomBuilder rom;
    rom.encode(test::StreamOf(std::vector<test::Block>(kBlockCount, test::Block{test::Record(kBattleRecordSize, 1)})));
    DocumentState doc;
    BattleCodec codec;
    ProblemLog loaded(home.path());
    LoadDocument(doc, home.file(u"game.rom"_s), rom.image(), home.path(), codec, loaded);
    ASSERT_EQ(loaded.items().size(), 3) << loaded.text().toStdString();

    const test::CommandRun run = Check({u"--json"_s, u"--home"_s, home.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(QJsonDocument::fromJson(run.out.toUtf8()).object()[u"problems"_s].toArray(), ProblemsJson(loaded));
    EXPECT_TRUE(Check({u"--home"_s, home.path()}).out.contains(u"m/個別データ.sna"_s));
}

// The default notation of a ZOR.ini that couldn't be read is no number, and the text says why.
TEST(CheckCommand, SaysWhenZorIniCannotBeRead)
{
    ProgramFolder home;
    for (const QString& reason : {u"ファイルが見つかりません"_s, u"フォルダです"_s}) {
        const test::CommandRun text = Check({u"--home"_s, home.path()});
        EXPECT_TRUE(text.out.contains(u"\n既定の表記: ZOR.ini を読めません（%1）\n"_s.arg(reason))) << text.out.toStdString();
        const test::CommandRun json = Check({u"--home"_s, home.path(), u"--json"_s});
        EXPECT_TRUE(QJsonDocument::fromJson(json.out.toUtf8()).object()[u"defaultNotation"_s].isNull()) << json.out.toStdString();
        QDir().mkpath(home.file(u"ZOR.ini"_s));
    }
}

TEST(CheckCommand, RejectsUnknownOptions)
{
    const test::CommandRun run = Check({u"--frobnicate"_s});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(u"zor-cli check"_s));
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(Check({u"--home"_s}).status, 2);
}

} // namespace
} // namespace zor
