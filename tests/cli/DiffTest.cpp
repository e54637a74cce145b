#include "cli/DiffCommand.h"
#include "cli/SampleCommand.h"
#include "core/codec/BattleCodec.h"
#include "core/sample/Sample.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Call;
using test::CommandRun;

// The sample folder, its image and a copy that a test changes.
class DiffCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Call(RunSample, {home.path()}).status, 0);
        oldRom = home.file(SampleImageName());
        newRom = home.file(u"new.rom"_s);
        image = home.readBytes(SampleImageName());
    }

    CommandRun diff(const QByteArray& changed, const QStringList& extra = {})
    {
        home.writeBytes(u"new.rom"_s, changed);
        return Call(RunDiff, QStringList{u"--home"_s, home.path(), oldRom, newRom} + extra);
    }

    static QJsonObject Json(const CommandRun& run)
    {
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(run.out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.left(200).toStdString();
        return json.object();
    }

    test::ProgramFolder home;
    QString oldRom;
    QString newRom;
    QByteArray image;
};

TEST_F(DiffCommand, IdenticalImages)
{
    const CommandRun text = diff(image);
    EXPECT_EQ(std::tuple(text.status, text.out, text.err), std::tuple(0, u"違いはありません。\n"_s, QString()));
    const CommandRun json = diff(image, {u"--json"_s});
    EXPECT_EQ(json.status, 0);
    QJsonObject report = Json(json);
    const int count = report[u"battleCount"_s][u"old"_s].toInt();
    EXPECT_GT(count, 300);
    EXPECT_EQ(report, QJsonObject({{u"old"_s, oldRom}, {u"new"_s, newRom}, {u"identical"_s, true}, {u"cells"_s, QJsonArray()},
                                   {u"battleCount"_s, QJsonObject({{u"old"_s, count}, {u"new"_s, count}})}, {u"blocks"_s, QJsonArray()},
                                   {u"otherBytes"_s, QJsonArray()}, {u"problems"_s, QJsonArray()}}));
}

TEST_F(DiffCommand, CellsInTheirNotationAndBytesOutsideTheTables)
{
    QByteArray changed = image;
    changed[0x60010] = 30;                  // クラス ID 2 剣士, HP (unsigned): 22
    changed[0x50030] = 5;                   // 難易度補正 (signed): 0xFE
    changed[0x50012] = 1;                   // between entries
    changed[0x50013] = 1;
    changed[kRegionOffset + 0x7FFF] = 1;    // written by the encoder, not listed
    const CommandRun text = diff(changed);
    EXPECT_EQ(text.status, 1) << text.err.toStdString();
    EXPECT_EQ(text.out, u"ID-セクション「クラス」 / ID 2「剣士」 / HP / 0x60010: 22 → 30\n"
                        u"個別データ / 5「難易度補正」 / 0x50030: -2 → 5\n"
                        u"どの表にもないバイト: 0x50012-0x50013\n"_s);

    const CommandRun json = diff(changed, {u"--json"_s});
    EXPECT_EQ(json.status, 1);
    // Keys in the documented order, the battle offset null, no data set outside tab 1.
    EXPECT_TRUE(json.out.startsWith(u"{\"old\":"_s)) << json.out.left(100).toStdString();
    EXPECT_TRUE(json.out.contains(u"\"identical\":false,\"cells\":[{\"table\":\"id-section\",\"dataSet\":\"クラス\",\"row\":3,"
                                  u"\"label\":\"剣士\",\"section\":1,\"caption\":\"HP\",\"offset\":393232,\"old\":22,\"new\":30},"
                                  u"{\"table\":\"individual\",\"dataSet\":null,\"row\":5,\"label\":\"難易度補正\",\"section\":1,"
                                  u"\"caption\":\"\",\"offset\":327728,\"old\":254,\"new\":5}],\"battleCount\":{\"old\":"_s))
        << json.out.toStdString();
    EXPECT_TRUE(json.out.endsWith(u",\"otherBytes\":[[327698,327699]],\"problems\":[]}\n"_s)) << json.out.toStdString();
}

TEST_F(DiffCommand, BattleCellsCountsAndAnUndecodableTable)
{
    // The second byte of record 1 changed in the stream, and a record more at its end.
    std::vector<std::uint8_t> stream = SampleBattleStream().Elements();
    stream[2] ^= 0x01;
    const std::vector<std::uint8_t> record(stream.begin() + 1, stream.begin() + 26);
    stream.insert(stream.end() - 2, record.begin(), record.end());
    QByteArray changed = image;
    BattleCodec codec;
    codec.SetDictionaryBase(kSampleDictionaryBase);
    codec.EncodeBattleBlocks(stream, changed);

    const CommandRun text = diff(changed);
    EXPECT_EQ(text.status, 1);
    const QStringList lines = text.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << text.out.toStdString();
    // Table, record, caption and no offset.
    EXPECT_TRUE(lines[0].startsWith(u"戦闘パラメータ / レコード 1「"_s) && lines[0].count(u" / "_s) == 2
                && lines[0].section(u" / "_s, 2).startsWith(u"レベル: "_s)) << lines[0].toStdString();
    const QJsonObject report = Json(diff(changed, {u"--json"_s}));
    const QJsonObject cell = report[u"cells"_s][0].toObject();
    EXPECT_EQ(std::tuple(cell[u"table"_s].toString(), cell[u"offset"_s].isNull(), cell[u"dataSet"_s].isNull(), cell[u"section"_s].toInt()),
              std::tuple(u"battle"_s, true, true, 2));
    const int count = report[u"battleCount"_s][u"old"_s].toInt();
    EXPECT_EQ(report[u"battleCount"_s][u"new"_s].toInt(), count + 1);
    EXPECT_EQ(lines[1], u"戦闘パラメータのレコード数: %1 -> %2"_s.arg(count).arg(count + 1));
    ASSERT_EQ(report[u"blocks"_s].toArray().size(), 1);
    const QJsonObject lastBlock = report[u"blocks"_s][0].toObject();
    const int before = lastBlock[u"old"_s].toInt();
    EXPECT_EQ(lastBlock, QJsonObject({{u"block"_s, kBlockCount}, {u"old"_s, before}, {u"new"_s, before + 1}}));
    EXPECT_EQ(lines[2], u"戦闘パラメータのブロック 314 のレコード数: %1 -> %2"_s.arg(before).arg(before + 1));

    // Blocks that can't be decoded: a warning and a problem, the records not compared.
    changed[kTablePointerBank] = 0x10;
    const CommandRun broken = diff(changed, {u"--json"_s});
    EXPECT_EQ(broken.status, 1);
    const QJsonObject brokenReport = Json(broken);
    // A count that couldn't be read is no number.
    EXPECT_TRUE(brokenReport[u"cells"_s].toArray().isEmpty() && brokenReport[u"blocks"_s].toArray().isEmpty());
    EXPECT_TRUE(brokenReport[u"battleCount"_s][u"new"_s].isNull()) << broken.out.toStdString();
    EXPECT_TRUE(diff(changed).out.contains(u"戦闘パラメータのレコード数: %1 -> 読めません\n"_s.arg(count)));
    const QJsonArray problems = brokenReport[u"problems"_s].toArray();
    ASSERT_EQ(problems.size(), 2); // the load's and the comparison's
    for (const QJsonValue& problem : problems)
        EXPECT_TRUE(problem.toString().startsWith(u"new.rom: 戦闘パラメータ"_s)) << problem.toString().toStdString();
    EXPECT_TRUE(broken.err.contains(u"警告: 2 件の問題がありました。"_s)) << broken.err.toStdString();
}

TEST_F(DiffCommand, DefinitionProblemsWarnOnceAndLeaveTheStatus)
{
    // A data set without its .sna: both loads report it, the diff once.
    test::WriteCompactFile(home.path(), SampleModeName() + u"/欠け.idn"_s, u"零|"_s);
    const CommandRun json = diff(image, {u"--json"_s});
    EXPECT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonArray problems = Json(json)[u"problems"_s].toArray();
    ASSERT_EQ(problems.size(), 1) << json.out.toStdString();
    EXPECT_TRUE(problems[0].toString().contains(u"欠け"_s)) << problems[0].toString().toStdString();
    EXPECT_TRUE(json.err.contains(problems[0].toString())) << json.err.toStdString();
}

TEST_F(DiffCommand, UnreadableImages)
{
    home.writeBytes(u"new.rom"_s, image);
    for (const QStringList& args : {QStringList{u"--home"_s, home.path(), home.file(u"missing.rom"_s), newRom},
                                    QStringList{u"--home"_s, home.path(), oldRom, home.path()}}) {
        const CommandRun run = Call(RunDiff, args);
        EXPECT_TRUE(run.status == 2 && run.out.isEmpty() && run.err.contains(u"を読み込めません"_s)) << run.err.toStdString();
    }
}

} // namespace
} // namespace zor
