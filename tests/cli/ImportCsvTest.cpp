#include "cli/ExportCsvCommand.h"
#include "cli/ImportCsvCommand.h"
#include "cli/SampleCommand.h"
#include "core/document/ReadImage.h"
#include "core/files/Text.h"
#include "core/sample/Sample.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Call;
using test::CommandRun;

// The sample with its CSV files exported into the program folder; one field of a file made text.
class ImportCsvCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Call(RunSample, {home.path()}).status, 0);
        rom = home.file(SampleImageName());
        ASSERT_EQ(Call(RunExportCsv, {u"--home"_s, home.path(), rom}).status, 0);
        original = home.readBytes(SampleImageName());
    }

    void setField(const QString& name, int line, int field, const QString& text) const
    {
        QStringList lines = DecodeCp932(home.readBytes(name)).text.split(u"\r\n"_s);
        QStringList fields = lines[line - 1].split(u',');
        fields[field - 1] = text;
        lines[line - 1] = fields.join(u',');
        home.writeBytes(name, test::Cp932(lines.join(u"\r\n"_s)));
    }

    test::ProgramFolder home;
    QString rom;
    QByteArray original;
};

TEST_F(ImportCsvCommand, ADryRunPrintsTheChangesAndWritesNothing)
{
    setField(u"クラス.csv"_s, 3, 2, u"20"_s);
    const CommandRun run = Call(RunImportCsv, {u"--dry-run"_s, u"--json"_s, u"--home"_s, home.path(), rom});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), uR"({"changes":[{"file":"クラス.csv","line":3,"field":2,"old":19,"new":20}],"problems":[]})"_s);
    EXPECT_EQ(home.readBytes(SampleImageName()), original);
    EXPECT_FALSE(QFile::exists(rom + u".bak"_s));

    // A problem: exit 1, named in the JSON as in the messages, the image untouched.
    setField(u"魔法.csv"_s, 2, 3, u"x"_s);
    const CommandRun refused = Call(RunImportCsv, {u"--json"_s, u"--home"_s, home.path(), rom});
    EXPECT_EQ(refused.status, 1);
    const QJsonObject json = QJsonDocument::fromJson(refused.out.toUtf8()).object();
    EXPECT_EQ(json[u"changes"_s].toArray().size(), 1);
    EXPECT_TRUE(json[u"problems"_s].toArray().at(0).toString().startsWith(u"魔法.csv:2:3: 「x」は値として読めません"_s))
        << refused.out.toStdString();
    EXPECT_TRUE(refused.err.contains(u"取り込みをやめました"_s));
    EXPECT_EQ(home.readBytes(SampleImageName()), original);
    EXPECT_FALSE(QFile::exists(rom + u".bak"_s));
}

TEST_F(ImportCsvCommand, AnImportWritesTheImageAsTheSaveDoesFromAnotherFolder)
{
    // The files moved elsewhere; a cell of a data set and a battle byte, which encodes the blocks again.
    test::ProgramFolder in;
    for (const QString& name : {u"アイテム.csv"_s, u"クラス.csv"_s, u"魔法.csv"_s, u"個別データ.csv"_s, u"敵パラメータ.csv"_s}) {
        in.writeBytes(name, home.readBytes(name));
        QFile::remove(home.file(name));
    }
    in.writeBytes(u"敵パラメータ.csv"_s, in.readBytes(u"敵パラメータ.csv"_s).replace("\r\n", "\n"));
    QStringList battle = DecodeCp932(in.readBytes(u"敵パラメータ.csv"_s)).text.split(u'\n');
    QStringList record = battle[5].split(u',');
    record[3] = u"77"_s; // HP of record 5, unsigned
    battle[5] = record.join(u',');
    in.writeBytes(u"敵パラメータ.csv"_s, test::Cp932(battle.join(u'\n')));
    QStringList classes = DecodeCp932(in.readBytes(u"クラス.csv"_s)).text.split(u"\r\n"_s);
    classes[2].replace(u"戦士,19,"_s, u"戦士,21,"_s);
    in.writeBytes(u"クラス.csv"_s, test::Cp932(classes.join(u"\r\n"_s)));

    const CommandRun run = Call(RunImportCsv, {u"--home"_s, home.path(), u"--in"_s, in.path(), rom});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(u"クラス.csv:3:2: 「クラス」の ID 1「戦士」、セクション「HP」: 19 -> 21\n"_s)) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"敵パラメータ.csv:6:4: 戦闘パラメータのレコード 5、「HP」: "_s)) << run.out.toStdString();
    EXPECT_EQ(home.readBytes(SampleImageName() + u".bak"_s), original);

    DocumentState doc;
    LoadDocument(doc, rom, *ReadRomImage(rom), home.path());
    EXPECT_EQ(doc.IdBytes(2)(1, 1), 21);
    EXPECT_EQ(doc.BattleParams(3, 5), 77); // the blocks encoded against the image's own dictionary
    // Read again, the files hold what the image holds now.
    const CommandRun again = Call(RunImportCsv, {u"--home"_s, home.path(), u"--in"_s, in.path(), u"--dry-run"_s, rom});
    EXPECT_EQ(again.out, u"変更はありません。\n"_s) << again.out.toStdString();
}

TEST_F(ImportCsvCommand, AMissingImageFails)
{
    EXPECT_EQ(Call(RunImportCsv, {u"--home"_s, home.path(), home.file(u"none.rom"_s)}).status, 1);
}

} // namespace
} // namespace zor
