#include "cli/BattleCommand.h"
#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
#include "cli/SampleCommand.h"
#include "core/codec/BattleCodec.h"
#include "core/document/BattleRecords.h"
#include "core/document/Definitions.h"
#include "core/files/Numbers.h"
#include "core/files/ReadFile.h"
#include "core/files/Text.h"
#include "core/output/HeaderChecksum.h"
#include "core/sample/Sample.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/RomBuilder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Call;
using test::CommandRun;

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Written once for all tests of this file: the image alone is 4 MB.
class SampleFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        home = new QTemporaryDir;
        const CommandRun run = Call(RunSample, {home->path()});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete home;
        home = nullptr;
    }
    static QString File(const QString& relative) { return home->filePath(relative); }

    static QTemporaryDir* home;
};
QTemporaryDir* SampleFolder::home = nullptr;

// An .idn has no final break, which would count a nameless ID reading past the table.
TEST_F(SampleFolder, TextFilesAreCp932WithCrlfAndAFinalBreakExceptIdFiles)
{
    const QDir mode(File(SampleModeName()));
    QStringList files = mode.entryList(QDir::Files);
    EXPECT_TRUE(files.contains(u"個別データ.sna"_s) && files.contains(u"敵パラメータ.ini"_s)) << files.join(u' ').toStdString();
    files << u"../ZOR.ini"_s;
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = ReadFile(mode.filePath(name));
        EXPECT_EQ(bytes.endsWith("\r\n"), !name.endsWith(u".idn"_s));
        EXPECT_EQ(std::pair(bytes.count('\n'), bytes.count('\r')), std::pair(bytes.count("\r\n"), bytes.count("\r\n")));
        EXPECT_TRUE(DecodeCp932(bytes).ok);
    }
    const TextLines battle = ToTextLines(ReadFile(mode.filePath(u"敵パラメータ.sna"_s)));
    EXPECT_EQ(std::pair(battle.lines.size(), battle.lines[1]), std::pair(qsizetype{50}, u"クラス"_s));
}

// Nothing the definitions name may lie on a place the codec reads or writes.
TEST_F(SampleFolder, DefinedOffsetsStayAwayFromTheCodecsPlaces)
{
    struct Range {
        std::int64_t first, last;
    };
    std::vector<Range> fixed{{kDictionaryPointerLow, kBlockBankOffset},
                             {kPointerTableOffset, kPointerTableOffset + 2 * kBlockCount - 1},
                             {kSampleDictionaryBase, kSampleDictionaryBase + 2 + kDictionarySize + kMaxReference},
                             {kRegionOffset, kEncodedImageSize - 1}};
    for (std::int32_t at : kBankByteOffsets)
        fixed.push_back({at, at});
    auto expectFree = [&](std::int64_t offset) {
        for (const Range& r : fixed)
            EXPECT_FALSE(offset >= r.first && offset <= r.last) << std::hex << offset;
    };

    DocumentState doc;
    ProblemLog log(home->path());
    LoadDefinitions(doc, home->path(), log);
    ASSERT_TRUE(log.empty()) << log.text().toStdString();
    int cells = 0;
    for (int k = 1; k <= doc.DataSetCount; ++k)
        for (int q = 1; q <= doc.DataSets(k).SectionCount; ++q)
            for (int n = 0; n < doc.DataSets(k).IdCount; ++n, ++cells)
                expectFree(doc.DataSets(k).SectionAddresses(q) + static_cast<std::int64_t>(n) * doc.DataSets(k).SectionSettings(SettingStep, q));
    EXPECT_GT(cells, 100);
    // Every ID has its name.
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        EXPECT_GT(doc.DataSets(k).IdCount, 1);
        for (int n = 1; n <= doc.DataSets(k).IdCount; ++n)
            EXPECT_FALSE(doc.DataSets(k).IdNames(n).isEmpty()) << doc.DataSets(k).Name.toStdString() << " " << n;
    }

    const SectionPairs entries = ReadSectionPairs(ToTextLines(ReadFile(File(SampleModeName() + u"/個別データ.sna"_s))));
    ASSERT_FALSE(entries.pairs.empty());
    for (const SectionPair& pair : entries.pairs) {
        const std::optional<std::int32_t> offset = ParseOffset(pair.offsetText);
        ASSERT_TRUE(offset.has_value());
        expectFree(*offset);
    }
}

TEST_F(SampleFolder, ImageHoldsTheRecordsCompressedWithReferences)
{
    const QByteArray image = ReadFile(File(SampleImageName()));
    ASSERT_EQ(image.size(), kEncodedImageSize);
    const Result<HeaderChecksum> checksum = ComputeHeaderChecksum(image);
    EXPECT_TRUE(checksum && checksum->matches());
    BattleCodec codec;
    NdArray<std::uint8_t, 1> stream(1);
    test::DecodeStream(codec, stream, image);
    EXPECT_EQ(codec.DictionaryBase(), kSampleDictionaryBase);
    ASSERT_EQ(test::StreamBytes(stream), test::StreamBytes(SampleBattleStream()));

    const BattleRecords records = SplitBattleStream(stream);
    EXPECT_TRUE(records.count >= 300 && records.separators == kBlockCount - 1);
    DocumentState definitions;
    ProblemLog log;
    LoadDefinitions(definitions, home->path(), log);
    ASSERT_NE(definitions.ClassDataSet, 0);
    int namedClasses = 0;
    while (!definitions.DataSets(definitions.ClassDataSet).IdNames(namedClasses + 1).isEmpty())
        ++namedClasses;
    for (int i = 1; i <= records.count; ++i)
        ASSERT_TRUE(records.params(1, i) >= 1 && records.params(1, i) < namedClasses) << i;

    // Real references: the region's used part is well under the stream's size.
    const std::int32_t lastBlock = static_cast<std::uint8_t>(image[kPointerTableOffset + 2 * 313])
                                   | ((static_cast<std::uint8_t>(image[kPointerTableOffset + 2 * 313 + 1]) - 0x80) << 8);
    EXPECT_LT(lastBlock, stream.upper() / 2);
}

TEST_F(SampleFolder, BattleJsonGroupsTheRecordsByBlock)
{
    const CommandRun run = Call(RunBattle, {File(SampleImageName()), u"--json"_s});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonArray blocks = json[u"blocks"_s].toArray();
    EXPECT_EQ(json[u"dictionaryBase"_s].toInt(), kSampleDictionaryBase);
    ASSERT_EQ(blocks.size(), kBlockCount);

    // Block by block, the records and separators give the stream back.
    QByteArray joined;
    for (const QJsonValue& block : blocks) {
        EXPECT_FALSE(block.toArray().isEmpty());
        for (const QJsonValue& record : block.toArray()) {
            const QString hex = record.toString();
            ASSERT_TRUE(hex.size() == 50 && hex == hex.toUpper()) << hex.toStdString();
            joined += QByteArray::fromHex(hex.toLatin1());
        }
        joined += '\0';
    }
    const std::vector<std::uint8_t> stream = test::StreamBytes(SampleBattleStream());
    EXPECT_EQ(std::vector<std::uint8_t>(joined.begin(), joined.end()),
              std::vector<std::uint8_t>(stream.begin() + 1, stream.end() - 1));

    const CommandRun text = Call(RunBattle, {File(SampleImageName())});
    EXPECT_TRUE(text.status == 0 && text.out.contains(u"ブロック 314  レコード "_s) && text.out.contains(u"ブロック 1  レコード 1 "_s) && !text.out.contains(u"ブロック 0 "_s)) << text.out.right(200).toStdString();
}

TEST(BattleCommand, AnUndecodableOrMissingImageIsTold)
{
    test::ProgramFolder folder;
    test::RomBuilder rom;
    rom.dictionary(QByteArray(kDictionarySize, '\x01'));
    rom.blocks(std::vector<QByteArray>(kBlockCount, test::BlockAssembler(1).literal(9).bytes()));
    rom.blockPointer(12, 0x00, 0x90);
    rom.image().truncate(0x3F9000);
    folder.writeBytes(u"bad.rom"_s, rom.image());

    const CommandRun bad = Call(RunBattle, {folder.file(u"bad.rom"_s), u"--json"_s});
    EXPECT_TRUE(bad.status == 1 && bad.out.isEmpty());
    EXPECT_TRUE(bad.err.contains(u"ブロック 13 "_s) && bad.err.contains(u"0x3F9000"_s)) << bad.err.toStdString();
    const CommandRun missing = Call(RunBattle, {folder.file(u"none.rom"_s)});
    EXPECT_TRUE(missing.status == 1 && missing.err.contains(u"読めません"_s));
}

TEST(CommandLine, AnUnknownCommandIsNamedBeforeTheUsage)
{
    const CommandRun frob = Call(RunCommandLine, {u"frob"_s});
    EXPECT_TRUE(frob.status == 2 && frob.out.isEmpty());
    EXPECT_TRUE(frob.err.startsWith(u"不明なコマンドです: frob\n使い方: zor-cli check"_s)) << frob.err.toStdString();
    // No command, or help with more after it: the usage alone.
    for (const QStringList& args : {QStringList{}, QStringList{u"--help"_s, u"check"_s}}) {
        const CommandRun usage = Call(RunCommandLine, args);
        EXPECT_TRUE(usage.status == 2 && usage.err.startsWith(u"使い方: "_s)) << usage.err.toStdString();
    }
}

// A command given too little, too much or an option it doesn't know says its own usage alone.
TEST(CommandLine, EachCommandAnswersAMisuseWithItsOwnUsage)
{
    for (const char* line : {"check --frob", "check --home", "dump", "dump --json", "dump a b", "dump a --home", "diff", "diff a",
                             "diff a b c", "diff a b --out d", "diff a b --home", "export-csv", "export-csv --json a", "export-csv a --out",
                             "export-csv a a", "import-csv", "import-csv --in a", "import-csv --out d a", "import-csv a a",
                             "import-csv --force a", "battle", "battle --json", "battle a b", "battle a --all", "sample", "sample a b",
                             "sample --force", "sample --all a"}) {
        const QStringList args = QString::fromLatin1(line).split(u' ');
        const CommandRun run = Call(RunCommandLine, args);
        EXPECT_TRUE(run.status == 2 && run.out.isEmpty() && run.err.startsWith(u"使い方: zor-cli "_s + args[0] + u' ')
                    && run.err.count(u'\n') == 1)
            << line << ": " << run.err.toStdString();
    }
}

// A folder that holds any file the sample would write is left alone unless --force; one
// that can't be made is told.
TEST(SampleCommand, NeverOverwritesWithoutForce)
{
    test::ProgramFolder folder;
    folder.writeBytes(u"plain"_s, "x");
    const CommandRun blocked = Call(RunSample, {folder.file(u"plain/sub"_s)});
    EXPECT_TRUE(blocked.status == 1 && !blocked.err.isEmpty());
    folder.writeBytes(u"sample.rom"_s, "mine");
    const CommandRun refused = Call(RunSample, {folder.path()});
    EXPECT_TRUE(refused.status == 1 && refused.err.contains(u"sample.rom"_s) && refused.err.contains(u"--force"_s)) << refused.err.toStdString();
    EXPECT_EQ(folder.readBytes(u"sample.rom"_s), "mine");
    EXPECT_FALSE(QFile::exists(folder.file(u"ZOR.ini"_s)));

    folder.writeBytes(u"ZOR.ini"_s, "[Option]\r\nMode=mine\r\n");
    const CommandRun first = Call(RunSample, {folder.path()});
    EXPECT_TRUE(first.status == 1 && first.err.contains(u"ZOR.ini"_s) && !first.err.contains(u"sample.rom"_s)) << first.err.toStdString();
    EXPECT_EQ(folder.readBytes(u"ZOR.ini"_s), "[Option]\r\nMode=mine\r\n");

    const CommandRun forced = Call(RunSample, {u"--force"_s, folder.path()});
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_EQ(folder.readBytes(u"sample.rom"_s).size(), kEncodedImageSize);
    EXPECT_TRUE(folder.readBytes(u"ZOR.ini"_s).contains("DefaultNotation=16"));
}

// The window's sample: only what is missing is written, so the user's edits stay.
TEST(SampleCompletion, WritesOnlyWhatIsMissing)
{
    test::ProgramFolder folder;
    EXPECT_EQ(CompleteSampleFolder(folder.path()), int(MakeSampleFolder()->size()));
    folder.writeBytes(u"ZOR.ini"_s, "[Option]\r\nMode=mine\r\n");
    QFile::remove(folder.file(SampleImageName()));
    EXPECT_EQ(CompleteSampleFolder(folder.path()), 1);
    EXPECT_EQ(folder.readBytes(u"ZOR.ini"_s), "[Option]\r\nMode=mine\r\n");
    EXPECT_EQ(folder.readBytes(SampleImageName()).size(), kEncodedImageSize);
    EXPECT_EQ(CompleteSampleFolder(folder.path()), 0);

    folder.writeBytes(u"plain"_s, "x");
    const Result<int> blocked = CompleteSampleFolder(folder.file(u"plain/sub"_s));
    ASSERT_FALSE(blocked);
    EXPECT_TRUE(blocked.failure().message().contains(u"plain"_s)) << blocked.failure().message().toStdString();
}

} // namespace
} // namespace zor
