#include "cli/DumpCommand.h"
#include "cli/SampleCommand.h"
#include "core/sample/Sample.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Call;
using test::CommandRun;

QJsonObject Json(const CommandRun& run)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.left(200).toStdString();
    return json.object();
}

TEST(DumpCommand, TheSampleLoadsWholeAndWithoutProblems)
{
    test::ProgramFolder home;
    ASSERT_EQ(Call(RunSample, {home.path()}).status, 0);
    const QString rom = home.file(SampleImageName());
    const CommandRun run = Call(RunDump, {u"--home"_s, home.path(), rom, u"--json"_s});
    ASSERT_EQ(run.status, 0) << run.err.toStdString() << run.out.right(300).toStdString();
    const QJsonObject dump = Json(run);
    EXPECT_EQ(std::tuple(dump[u"mode"_s].toString(), dump[u"romSize"_s].toInt(), dump[u"problems"_s].toArray().isEmpty()),
              std::tuple(SampleModeName(), 0x400000, true));

    // Every section holds one byte per ID; the sample's class HP is 16 + 3 × ID from ID 1 on.
    const QJsonArray dataSets = dump[u"dataSets"_s].toArray();
    ASSERT_EQ(dataSets.size(), 3);
    for (const QJsonValue& set : dataSets)
        for (const QJsonValue& section : set[u"sections"_s].toArray())
            EXPECT_EQ(section[u"bytes"_s].toArray().size(), set[u"idCount"_s].toInt());
    const QJsonObject classes = dataSets[1].toObject();
    ASSERT_EQ(classes[u"name"_s].toString(), u"クラス"_s);
    const QJsonObject hp = classes[u"sections"_s][0].toObject();
    EXPECT_EQ(std::tuple(hp[u"offset"_s].toInt(), hp[u"step"_s].toInt(), hp[u"bytes"_s][2].toInt()), std::tuple(0x60000, 8, 16 + 3 * 2));
    const QJsonObject money = dump[u"individual"_s][0].toObject();
    EXPECT_EQ(std::tuple(money[u"offset"_s].toInt(), money[u"byte"_s].toInt(), money[u"notation"_s].toInt()), std::tuple(0x50010, 0x10, 16));

    const QJsonObject battle = dump[u"battle"_s].toObject();
    const int count = battle[u"count"_s].toInt();
    EXPECT_GE(count, 314);
    EXPECT_EQ(std::tuple(battle[u"records"_s].toArray().size(), battle[u"labels"_s].toArray().size(), battle[u"sectionNames"_s].toArray().size()),
              std::tuple(count, count, 25));
    const QJsonArray groupStarts = battle[u"groupStarts"_s].toArray();
    ASSERT_EQ(groupStarts.size(), 314);
    // Blocks hold one to three records, in order; the last entry is never set.
    for (int g = 1; g < 313; ++g) {
        const int step = groupStarts[g].toInt() - groupStarts[g - 1].toInt();
        EXPECT_TRUE(step >= 1 && step <= 3) << g;
    }
    EXPECT_EQ(groupStarts[313].toInt(), 0);
    // A label is the name of the record's class.
    const QJsonArray first = battle[u"records"_s][0].toArray();
    EXPECT_EQ(battle[u"labels"_s][0].toString(), classes[u"idNames"_s][first[0].toInt()].toString());
}

// The text shows each value in its section's notation, as the grid does, and names it.
TEST(DumpCommand, TextShowsValuesAsTheGridDoes)
{
    test::ProgramFolder home;
    ASSERT_EQ(Call(RunSample, {home.path()}).status, 0);
    const CommandRun run = Call(RunDump, {u"--home"_s, home.path(), home.file(SampleImageName())});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n');
    for (const QString& line : {u"  HP（オフセット 60000、間隔 8、符号無し10進数表記）: 0 19 22 "_s,
                                u"  価格（上位）（オフセット 61004、間隔 6、16進数表記）: 0x00 0x00 0x01 "_s,
                                u"  初期所持金（下位）（オフセット 50010、16進数表記）: 0x10"_s,
                                u"  難易度補正（オフセット 50030、符号付き10進数表記）: -2"_s,
                                u"  1. クラス（16進数表記）"_s, u"  2. レベル（符号無し10進数表記）"_s,
                                u"     1（ブロック 1）"_s, u"   641（ブロック 314）"_s})
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(line); }))
            << line.toStdString();
}

TEST(DumpCommand, ProblemsAndUnreadableImages)
{
    test::ProgramFolder home;
    ASSERT_EQ(Call(RunSample, {home.path()}).status, 0);
    home.writeBytes(u"tiny.rom"_s, "\x01");
    const CommandRun tiny = Call(RunDump, {u"--home"_s, home.path(), home.file(u"tiny.rom"_s), u"--json"_s});
    EXPECT_EQ(tiny.status, 1);
    const QJsonObject dump = Json(tiny);
    EXPECT_EQ(std::tuple(dump[u"problems"_s].toArray().isEmpty(), dump[u"battle"_s][u"count"_s].toInt(), dump[u"romSize"_s].toInt()),
              std::tuple(false, 0, 1));
    const CommandRun text = Call(RunDump, {u"--home"_s, home.path(), home.file(u"tiny.rom"_s)});
    EXPECT_TRUE(text.status == 1 && text.out.contains(u"tiny.rom: "_s)) << text.out.right(400).toStdString();
    const CommandRun folder = Call(RunDump, {u"--home"_s, home.path(), home.path()});
    EXPECT_TRUE(folder.status == 1 && folder.err.contains(u"フォルダ"_s));
}

} // namespace
} // namespace zor
