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

QJsonObject Json(const test::CommandRun& run) { return QJsonDocument::fromJson(run.out.toUtf8()).object(); }

TEST(CheckCommand, JsonHoldsEveryFigureOfTheDefinitionsAndProblemsFailIt)
{
    ProgramFolder home;
    home.writeMode(u"sample"_s, u"クラス.idn 戦士|僧侶|\n クラス.sna 1A2|HP|8000|MP||\n クラス.ini [Step]|Section1=2|[Notation]|Section2=16|"_s,
                   {u"DefaultNotation=-10"_s});
    const test::CommandRun run = Check({u"--home"_s, home.path(), u"--json"_s});
    EXPECT_EQ(run.status, 1) << run.out.toStdString(); // the third section, past the pairs, has no offset
    const QJsonObject json = Json(run);
    EXPECT_EQ(json[u"mode"_s].toString(), u"sample"_s);
    EXPECT_EQ(json[u"defaultNotation"_s].toInt(), -10);
    EXPECT_EQ(json[u"classDataSet"_s].toInt(), 1);
    const QJsonArray dataSets = json[u"dataSets"_s].toArray();
    ASSERT_EQ(dataSets.size(), 1);
    const QJsonObject set = dataSets[0].toObject();
    EXPECT_EQ(set[u"name"_s].toString(), u"クラス"_s);
    EXPECT_EQ(set[u"idCount"_s].toInt(), 3);
    EXPECT_EQ(set[u"idNames"_s].toArray(), QJsonArray({u"戦士"_s, u"僧侶"_s, u""_s}));
    EXPECT_EQ(set[u"sections"_s].toArray(),
              QJsonArray({QJsonObject({{u"offset"_s, 418}, {u"caption"_s, u"HP"_s}, {u"step"_s, 2}, {u"notation"_s, -10}}),
                          QJsonObject({{u"offset"_s, 32768}, {u"caption"_s, u"MP"_s}, {u"step"_s, 1}, {u"notation"_s, 16}}),
                          QJsonObject({{u"offset"_s, QJsonValue()}, {u"caption"_s, u""_s}, {u"step"_s, 1}, {u"notation"_s, -10}})}));
    // Problems name their files relative to the program folder.
    EXPECT_EQ(json[u"problems"_s].toArray().size(), 1);
    EXPECT_EQ(json[u"problems"_s][0][u"file"_s].toString(), u"sample/クラス.sna"_s);
    EXPECT_EQ(json[u"problems"_s][0][u"line"_s].toInt(), 5);
    const test::CommandRun text = Check({u"--home"_s, home.path()});
    EXPECT_EQ(text.status, 1);
    EXPECT_TRUE(text.out.contains(u"3. オフセット 読めません"_s) && text.out.contains(u"sample/クラス.sna"_s)) << text.out.toStdString();
}

TEST(CheckCommand, ReportsTheDefinitionProblemsTheLoadReports)
{
    // No 個別データ.sna, 27 captions, a bad 敵パラメータ.ini line, an image that holds every cell and the battle blocks.
    ProgramFolder home;
    home.writeMode(u"m"_s, u"個別データ.sna -\n 敵パラメータ.sna "_s + test::BattleCaptions(u"項目"_s, 27), {});
    home.writeTable(u"m"_s, u"a"_s, 2, 1);
    home.writeBytes(u"m/敵パラメータ.ini"_s, "[Notation]\r\nSection1=\x81\r\n");
    test::RomBuilder rom;
    rom.encode(test::StreamOf(std::vector<test::Block>(kBlockCount, test::Block{test::Record(kBattleRecordSize, 1)})));
    DocumentState doc;
    LoadDocument(doc, home.file(u"game.rom"_s), rom.image(), home.path());
    const ProblemLog& loaded = doc.Problems;
    ASSERT_EQ(loaded.items().size(), 3) << loaded.text().toStdString();

    const test::CommandRun run = Check({u"--json"_s, u"--home"_s, home.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Json(run)[u"problems"_s].toArray(), ProblemsJson(loaded));
    EXPECT_TRUE(Check({u"--home"_s, home.path()}).out.contains(u"m/個別データ.sna"_s));
}

// The default notation of a ZOR.ini that couldn't be read is no number, and the text says why.
TEST(CheckCommand, SaysWhenZorIniCannotBeRead)
{
    ProgramFolder home;
    for (const QString& reason : {u"ファイルが見つかりません"_s, u"フォルダです"_s}) {
        const test::CommandRun text = Check({u"--home"_s, home.path()});
        EXPECT_TRUE(text.out.contains(u"\n既定の表記: ZOR.ini を読めません（%1）\n"_s.arg(reason))) << text.out.toStdString();
        EXPECT_TRUE(Json(Check({u"--home"_s, home.path(), u"--json"_s}))[u"defaultNotation"_s].isNull());
        QDir().mkpath(home.file(u"ZOR.ini"_s));
    }
}

} // namespace
} // namespace zor
