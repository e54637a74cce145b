#include "cli/BattleCommand.h"
#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
#include "cli/DiffCommand.h"
#include "cli/DumpCommand.h"
#include "cli/ExportCsvCommand.h"
#include "cli/ImportCsvCommand.h"
#include "cli/SampleCommand.h"
#include "core/codec/BattleCodec.h"
#include "core/document/BattleRecords.h"
#include "core/document/CellBytes.h"
#include "core/document/Definitions.h"
#include "core/document/ReadImage.h"
#include "core/files/Numbers.h"
#include "core/files/ReadFile.h"
#include "core/files/Text.h"
#include "core/output/HeaderChecksum.h"
#include "core/sample/Sample.h"
#include "core/view/Grid.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/RomBuilder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Call;
using test::CommandRun;
using test::Cp932;
using test::ProgramFolder;

QJsonObject Json(const CommandRun& run)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.left(200).toStdString();
    return json.object();
}

CommandRun Check(const QStringList& args) { return test::Call(RunCheck, args); }

TEST(CheckCommand, JsonHoldsEveryFigureOfTheDefinitionsAndProblemsFailIt)
{
    ProgramFolder home;
    home.writeMode(u"sample"_s,
                   u"クラス.idn 戦士|僧侶|\n クラス.sna 1A2|HP|8000|MP||\n"
                   u" クラス.ini [Step]|Section1=2|[Notation]|Section2=16|[Size]|Section1=2|[Names]|Section2=クラス|[Bits]|Section3=a,,b|\n"
                   u" 個別データ.ini [Size]|Section1=3|\n 敵パラメータ.ini [Names]|Section25=クラス|"_s,
                   {u"DefaultNotation=-10"_s});
    const CommandRun run = Check({u"--home"_s, home.path(), u"--json"_s});
    EXPECT_EQ(run.status, 1) << run.out.toStdString(); // the third section, past the pairs, has no offset
    const QJsonObject json = Json(run);
    EXPECT_EQ(std::tuple(json[u"mode"_s].toString(), json[u"defaultNotation"_s].toInt(), json[u"classDataSet"_s].toInt()),
              std::tuple(u"sample"_s, -10, 1));
    const QJsonArray dataSets = json[u"dataSets"_s].toArray();
    ASSERT_EQ(dataSets.size(), 1);
    const QJsonObject set = dataSets[0].toObject();
    EXPECT_EQ(std::tuple(set[u"name"_s].toString(), set[u"idCount"_s].toInt()), std::tuple(u"クラス"_s, 3));
    EXPECT_EQ(set[u"idNames"_s].toArray(), QJsonArray({u"戦士"_s, u"僧侶"_s, u""_s}));
    // Each section's type beside its settings: a 16-bit value, an ID of クラス, flags.
    const QJsonValue none;
    const QJsonArray bits{u"a"_s, u""_s, u"b"_s, u""_s, u""_s, u""_s, u""_s, u""_s};
    EXPECT_EQ(set[u"sections"_s].toArray(),
              QJsonArray({QJsonObject({{u"offset"_s, 418}, {u"caption"_s, u"HP"_s}, {u"step"_s, 2}, {u"notation"_s, -10},
                                       {u"size"_s, 2}, {u"names"_s, none}, {u"bits"_s, none}}),
                          QJsonObject({{u"offset"_s, 32768}, {u"caption"_s, u"MP"_s}, {u"step"_s, 1}, {u"notation"_s, 16},
                                       {u"size"_s, 1}, {u"names"_s, u"クラス"_s}, {u"bits"_s, none}}),
                          QJsonObject({{u"offset"_s, none}, {u"caption"_s, u""_s}, {u"step"_s, 1}, {u"notation"_s, -10},
                                       {u"size"_s, 1}, {u"names"_s, none}, {u"bits"_s, bits}})}));
    // The individual entries and the 25 battle bytes with theirs.
    const QJsonArray battle = json[u"battle"_s].toArray();
    EXPECT_EQ(json[u"individual"_s].toArray(), QJsonArray({QJsonObject({{u"offset"_s, 0}, {u"name"_s, u"項目"_s}, {u"notation"_s, -10},
                                                                         {u"size"_s, 3}, {u"names"_s, none}, {u"bits"_s, none}})}));
    ASSERT_EQ(battle.size(), 25);
    EXPECT_EQ(std::pair(battle[0].toObject(), battle[24].toObject()),
              std::pair(QJsonObject({{u"caption"_s, u"項目1"_s}, {u"notation"_s, -10}, {u"size"_s, 1}, {u"names"_s, none}, {u"bits"_s, none}}),
                        QJsonObject({{u"caption"_s, u"項目25"_s}, {u"notation"_s, -10}, {u"size"_s, 1}, {u"names"_s, u"クラス"_s},
                                     {u"bits"_s, none}})));
    // Problems name their files relative to the program folder.
    const QJsonArray problems = json[u"problems"_s].toArray();
    EXPECT_EQ(std::tuple(problems.size(), problems[0][u"file"_s].toString(), problems[0][u"line"_s].toInt()),
              std::tuple(1, u"sample/クラス.sna"_s, 5));
    const CommandRun text = Check({u"--home"_s, home.path()});
    EXPECT_EQ(text.status, 1);
    EXPECT_TRUE(text.out.contains(u"3. オフセット 読めません"_s) && text.out.contains(u"sample/クラス.sna"_s)) << text.out.toStdString();
    for (const QString& typed : {u"表記 -10  2 バイト\n"_s, u"表記 16  名前「クラス」\n"_s, u"表記 -10  ビット a,,b,,,,,\n"_s})
        EXPECT_TRUE(text.out.contains(typed)) << typed.toStdString() << "\n" << text.out.toStdString();
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

    const CommandRun run = Check({u"--json"_s, u"--home"_s, home.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Json(run)[u"problems"_s].toArray(), ProblemsJson(loaded));
    EXPECT_TRUE(Check({u"--home"_s, home.path()}).out.contains(u"m/個別データ.sna"_s));
}

TEST(CheckCommand, SaysWhenZorIniCannotBeRead)
{
    ProgramFolder home;
    for (const QString& reason : {u"ファイルが見つかりません"_s, u"フォルダです"_s}) {
        const CommandRun text = Check({u"--home"_s, home.path()});
        EXPECT_TRUE(text.out.contains(u"\n既定の表記: ZOR.ini を読めません（%1）\n"_s.arg(reason))) << text.out.toStdString();
        EXPECT_TRUE(Json(Check({u"--home"_s, home.path(), u"--json"_s}))[u"defaultNotation"_s].isNull());
        QDir().mkpath(home.file(u"ZOR.ini"_s));
    }
}

// Written once for each suite that reads it: the image alone is 4 MB.
class SampleFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        home = std::make_unique<ProgramFolder>();
        const CommandRun run = Call(RunSample, {home->path()});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
    }
    static void TearDownTestSuite() { home.reset(); }
    static QString File(const QString& relative) { return home->file(relative); }

    static inline std::unique_ptr<ProgramFolder> home;
};

// An .idn has no final break, which would count a nameless ID reading past the table.
TEST_F(SampleFolder, TextFilesAreCp932WithCrlfAndAFinalBreakExceptIdFiles)
{
    const QDir mode(File(SampleModeName()));
    QStringList files = mode.entryList(QDir::Files);
    EXPECT_TRUE(files.contains(u"個別データ.sna"_s) && files.contains(u"敵パラメータ.ini"_s)) << files.join(u' ').toStdString();
    files << u"../ZOR.ini"_s;
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = home->readBytes(SampleModeName() + u'/' + name);
        EXPECT_EQ(bytes.endsWith("\r\n"), !name.endsWith(u".idn"_s));
        EXPECT_EQ(std::pair(bytes.count('\n'), bytes.count('\r')), std::pair(bytes.count("\r\n"), bytes.count("\r\n")));
        EXPECT_TRUE(DecodeCp932(bytes).ok);
    }
    const TextLines battle = ToTextLines(home->readBytes(SampleModeName() + u"/敵パラメータ.sna"_s));
    EXPECT_EQ(std::pair(battle.lines.size(), battle.lines[1]), std::pair(qsizetype{50}, u"クラス"_s));
}

// Nothing the definitions name may lie on a place the codec reads or writes.
TEST_F(SampleFolder, DefinedOffsetsStayAwayFromTheCodecsPlaces)
{
    struct Range { std::int64_t first, last; };
    std::vector<Range> fixed{{kDictionaryPointerLow, kBlockBankOffset},
                             {kPointerTableOffset, kPointerTableOffset + 2 * kBlockCount - 1},
                             {kSampleDictionaryBase, kSampleDictionaryBase + 2 + kDictionarySize + kMaxReference},
                             {kRegionOffset, kEncodedImageSize - 1}};
    for (std::int32_t at : kBankByteOffsets)
        fixed.push_back({at, at});
    auto expectFree = [&](std::int64_t offset, int size) {
        for (const Range& r : fixed)
            EXPECT_FALSE(offset + size - 1 >= r.first && offset <= r.last) << std::hex << offset;
    };

    DocumentState doc;
    ProblemLog log(home->path());
    LoadDefinitions(doc, home->path(), log);
    ASSERT_TRUE(log.empty()) << log.text().toStdString();
    int cells = 0;
    for (int k = 1; k <= doc.DataSetCount; ++k)
        for (int q = 1; q <= doc.DataSets(k).SectionCount; ++q)
            for (int n = 0; n < doc.DataSets(k).IdCount; ++n, ++cells)
                expectFree(doc.DataSets(k).SectionAddresses(q) + static_cast<std::int64_t>(n) * doc.DataSets(k).SectionSettings(SettingStep, q),
                           SectionType(doc, TabIdSection, k, q).Size);
    EXPECT_GT(cells, 100);
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        EXPECT_GT(doc.DataSets(k).IdCount, 1);
        for (int n = 1; n <= doc.DataSets(k).IdCount; ++n)
            EXPECT_FALSE(doc.DataSets(k).IdNames(n).isEmpty()) << doc.DataSets(k).Name.toStdString() << " " << n;
    }

    ASSERT_GT(doc.IndividualCount, 1);
    for (int j = 1; j <= doc.IndividualCount; ++j)
        expectFree(doc.IndividualAddresses(j), SectionType(doc, TabIndividual, 0, j).Size);
}

// The sample shows each kind of cell where its data calls for it, and every ID or flag it holds has a name.
TEST_F(SampleFolder, TypedCellsHoldWhatTheirTypesName)
{
    DocumentState doc;
    const QString rom = File(SampleImageName());
    LoadDocument(doc, rom, *ReadRomImage(rom), home->path());
    ASSERT_TRUE(doc.Problems.empty()) << doc.Problems.text().toStdString();
    std::set<std::tuple<int, int, bool, bool, bool>> kinds; // tab, size, signed, names, bits
    const auto check = [&](const CellRef& cell, int section) {
        const CellType& type = CellTypeOf(doc, cell);
        const std::uint32_t value = *CellValueOf(doc, cell);
        kinds.insert({cell.tab, type.Size, ShownNotation(doc, cell.tab, cell.dataSet, section) == NotationSigned,
                      type.NamesDataSet > 0, type.Bits.has_value()});
        if (type.NamesDataSet > 0)
            EXPECT_FALSE(doc.DataSets(type.NamesDataSet).IdNames(static_cast<int>(value) + 1).isEmpty()) << CellName(doc, cell.tab, cell.dataSet, cell.col, cell.row).toStdString();
        for (int bit = 0; type.Bits && bit < 8 * type.Size; ++bit)
            EXPECT_FALSE((value >> bit & 1) && (*type.Bits)[bit].isEmpty()) << CellName(doc, cell.tab, cell.dataSet, cell.col, cell.row).toStdString();
    };
    for (int k = 1; k <= doc.DataSetCount; ++k)
        for (int q = 1; q <= doc.DataSets(k).SectionCount; ++q)
            for (int n = 1; n <= doc.DataSets(k).IdCount; ++n)
                check({TabIdSection, k, q, n}, q);
    for (int j = 1; j <= doc.IndividualCount; ++j)
        check({TabIndividual, 0, 1, j}, j);
    for (int i = 1; i <= doc.BattleCount(); ++i)
        for (int j = 1; j <= kBattleRecordSize; ++j)
            if (BattleFieldOf(doc, j) == j)
                check({TabBattle, 0, j, i}, j);
    // A 16-bit value, a kind linked to names, flags, a signed 16-bit entry; in battle a 16-bit field, names and flags.
    for (const auto& kind : {std::tuple(TabIdSection, 2, false, false, false), {TabIdSection, 1, false, true, false},
                             {TabIdSection, 1, false, false, true}, {TabIndividual, 2, true, false, false},
                             {TabBattle, 2, false, false, false}, {TabBattle, 1, false, true, false}, {TabBattle, 1, false, false, true}})
        EXPECT_TRUE(kinds.contains(kind)) << std::get<0>(kind) << " " << std::get<1>(kind);
}

TEST_F(SampleFolder, ImageHoldsTheRecordsCompressedWithReferences)
{
    const QByteArray image = home->readBytes(SampleImageName());
    ASSERT_EQ(image.size(), kEncodedImageSize);
    const Result<HeaderChecksum> checksum = ComputeHeaderChecksum(image);
    EXPECT_TRUE(checksum && checksum->matches());
    // That the image decodes to this stream, against the sample's dictionary, is the battle command's test.
    const NdArray<std::uint8_t, 1> stream = SampleBattleStream();
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

TEST(SampleCommand, NeverOverwritesWithoutForce)
{
    test::ProgramFolder folder;
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

using DumpCommand = SampleFolder;

TEST_F(DumpCommand, TheSampleLoadsWholeAndWithoutProblems)
{
    const QString rom = File(SampleImageName());
    const CommandRun run = Call(RunDump, {u"--home"_s, home->path(), rom, u"--json"_s});
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
    // Typed sections: their type beside the values by ID and each value's first byte.
    const QJsonValue none;
    const QJsonArray items = dataSets[0][u"sections"_s].toArray();
    const QJsonObject price = items[3].toObject();
    EXPECT_EQ(std::tuple(price[u"caption"_s].toString(), price[u"size"_s].toInt(), price[u"names"_s], price[u"bits"_s]),
              std::tuple(u"価格"_s, 2, none, none));
    EXPECT_EQ(std::tuple(price[u"values"_s][2].toInt(), price[u"bytes"_s][2].toInt(), price[u"values"_s].toArray().size()),
              std::tuple(300, 300 & 0xFF, 24));
    EXPECT_EQ(std::tuple(items[4][u"names"_s].toString(), items[4][u"size"_s].toInt(), items[4][u"values"_s][1].toInt()),
              std::tuple(u"クラス"_s, 1, 9));
    const QJsonObject elements = dataSets[2][u"sections"_s][3].toObject();
    EXPECT_EQ(std::tuple(elements[u"bits"_s].toArray(), elements[u"names"_s], elements[u"values"_s][4].toInt()),
              std::tuple(QJsonArray{u"火"_s, u"氷"_s, u"雷"_s, u"風"_s, u"聖"_s, u""_s, u""_s, u"全体"_s}, none, 0x82));
    EXPECT_EQ(classes[u"sections"_s][7][u"values"_s][0].toInt(), 0xFE); // signed values are given unsigned
    // Entries: a 16-bit value and a signed one, with their first bytes.
    const QJsonObject money = dump[u"individual"_s][0].toObject();
    EXPECT_EQ(std::tuple(money[u"offset"_s].toInt(), money[u"byte"_s].toInt(), money[u"value"_s].toInt(), money[u"size"_s].toInt(),
                         money[u"notation"_s].toInt(), money[u"names"_s], money[u"bits"_s]),
              std::tuple(0x50010, 0x10, 10000, 2, 10, none, none));
    EXPECT_EQ(std::tuple(dump[u"individual"_s][3][u"value"_s].toInt(), dump[u"individual"_s][3][u"byte"_s].toInt()), std::tuple(0xFFFE, 0xFE));

    const QJsonObject battle = dump[u"battle"_s].toObject();
    const int count = battle[u"count"_s].toInt();
    EXPECT_GE(count, 314);
    EXPECT_EQ(std::tuple(battle[u"records"_s].toArray().size(), battle[u"labels"_s].toArray().size(), battle[u"sectionNames"_s].toArray().size()),
              std::tuple(count, count, 25));
    const QJsonArray groupStarts = battle[u"groupStarts"_s].toArray();
    ASSERT_EQ(groupStarts.size(), 314);
    // The blocks' starts as the stream holds them; the last entry is never set.
    const BattleRecords records = SplitBattleStream(SampleBattleStream());
    for (int g = 0; g < 314; ++g)
        EXPECT_EQ(groupStarts[g].toInt(), g < 313 ? records.groupStarts(g + 1) : 0) << g;
    // A label is the name of the record's class.
    const QJsonArray first = battle[u"records"_s][0].toArray();
    EXPECT_EQ(battle[u"labels"_s][0].toString(), classes[u"idNames"_s][first[0].toInt()].toString());
    // Battle types by byte: the 16-bit experience at 17 and its high byte, a byte of its own at 18; values per record.
    const auto at = [&](const QString& key, int byte) { return battle[key][byte - 1]; };
    EXPECT_EQ(std::tuple(at(u"sizes"_s, 17).toInt(), at(u"sizes"_s, 18).toInt(), at(u"names"_s, 20).toString(), at(u"names"_s, 17), at(u"bits"_s, 1)),
              std::tuple(2, 1, u"アイテム"_s, none, none));
    EXPECT_EQ(at(u"bits"_s, 25).toArray(), (QJsonArray{u"逃走不可"_s, u"ボス"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s}));
    const QJsonArray values = battle[u"values"_s][0].toArray();
    ASSERT_EQ(values.size(), 25);
    EXPECT_EQ(std::tuple(values[16].toInt(), values[17].toInt(), values[0].toInt()),
              std::tuple(first[16].toInt() | first[17].toInt() << 8, first[17].toInt(), first[0].toInt()));
    EXPECT_GT(values[16].toInt(), 255);
}

TEST_F(DumpCommand, TextShowsValuesAsTheGridDoes)
{
    const CommandRun run = Call(RunDump, {u"--home"_s, home->path(), File(SampleImageName())});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n');
    // Values, never names: a 16-bit price, an ID of クラス, flags, entries of two bytes, a battle field of two.
    for (const QString& line : {u"  HP（オフセット 60000、間隔 8、符号無し10進数表記）: 0 19 22 "_s,
                                u"  価格（オフセット 61003、間隔 6、符号無し10進数表記）: 0 150 300 450 "_s,
                                u"  装備クラス（オフセット 61005、間隔 6、16進数表記）: 0x00 0x09 0x02 "_s,
                                u"  属性（オフセット 62003、間隔 4、16進数表記）: 0x00 0x01 0x01 0x02 0x82 "_s,
                                u"  初期所持金（オフセット 50010、符号無し10進数表記）: 10000"_s,
                                u"  難易度補正（オフセット 50030、符号付き10進数表記）: -2"_s,
                                u"  1. クラス（16進数表記）"_s, u"  2. レベル（符号無し10進数表記）"_s,
                                u"     1（ブロック 1）魔獣: 0x0E 14 49 9 10 6 13 10 0 0 3 0x07 0x00 0x01 0x02 0x01 990 0x03 30 "_s,
                                u"   641（ブロック 314）"_s})
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(line); }))
            << line.toStdString();
}

TEST_F(DumpCommand, ProblemsAndUnreadableImages)
{
    home->writeBytes(u"tiny.rom"_s, "\x01");
    const CommandRun tiny = Call(RunDump, {u"--home"_s, home->path(), File(u"tiny.rom"_s), u"--json"_s});
    EXPECT_EQ(tiny.status, 1);
    const QJsonObject dump = Json(tiny);
    EXPECT_EQ(std::tuple(dump[u"problems"_s].toArray().isEmpty(), dump[u"battle"_s][u"count"_s].toInt(), dump[u"romSize"_s].toInt()),
              std::tuple(false, 0, 1));
    const CommandRun text = Call(RunDump, {u"--home"_s, home->path(), File(u"tiny.rom"_s)});
    EXPECT_TRUE(text.status == 1 && text.out.contains(u"tiny.rom: "_s)) << text.out.right(400).toStdString();
    const CommandRun folder = Call(RunDump, {u"--home"_s, home->path(), home->path()});
    EXPECT_TRUE(folder.status == 1 && folder.err.contains(u"フォルダ"_s));
}

QStringList CsvFiles(const QString& folder) { return QDir(folder).entryList({u"*.csv"_s}, QDir::Files, QDir::Name); }

// A sample folder of the test's own, for commands that write into it.
class SampleCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Call(RunSample, {home.path()}).status, 0);
        image = home.readBytes(SampleImageName());
    }

    test::ProgramFolder home;
    const QString rom = home.file(SampleImageName());
    QByteArray image;
};

using ExportCsvCommand = SampleCopy;

TEST_F(ExportCsvCommand, TheSampleIntoTheProgramFolderOrAnother)
{
    const CommandRun run = Call(RunExportCsv, {u"--home"_s, home.path(), rom});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString(); // the sample loads without problems
    EXPECT_EQ(CsvFiles(home.path()).size(), 5);
    // Without CSVNotation every section keeps its own notation: unsigned, hexadecimal, signed.
    EXPECT_EQ(home.readBytes(u"クラス.csv"_s).split('\n').value(2), Cp932(u"戦士,19,4,6,5,11,3,0x05,-1\r"_s));
    // Wider values whole, IDs and flags as numbers.
    EXPECT_EQ(home.readBytes(u"アイテム.csv"_s).split('\n').value(2), Cp932(u"短剣,5,73,2,150,0x09\r"_s));
    EXPECT_TRUE(home.readBytes(u"個別データ.csv"_s).startsWith(Cp932(u"初期所持金,10000\r\n"_s)));

    // --out takes the files elsewhere, into folders made when missing; the notation comes from the program folder.
    test::WriteZorIni(home.path(), SampleModeName(), {u"DefaultNotation=16"_s, u"CSVNotation=16"_s});
    test::ProgramFolder other;
    const QString out = other.file(u"csv/new"_s);
    ASSERT_EQ(Call(RunExportCsv, {rom, u"--out"_s, out, u"--home"_s, home.path()}).status, 0);
    EXPECT_EQ(CsvFiles(out), CsvFiles(home.path()));
    EXPECT_TRUE(other.readBytes(u"csv/new/個別データ.csv"_s).startsWith(Cp932(u"初期所持金,2710\r\n"_s)));
    EXPECT_TRUE(home.readBytes(u"個別データ.csv"_s).startsWith(Cp932(u"初期所持金,10000\r\n"_s)));
}

TEST_F(ExportCsvCommand, WarningsAndFailures)
{
    // An image too small for the tables, and a byte not CP932 before クラス's first ID name: warnings, the export goes on.
    home.writeBytes(u"tiny.rom"_s, "\x01");
    const QString idn = SampleModeName() + u"/クラス.idn"_s;
    home.writeBytes(idn, "\xFF" + home.readBytes(idn));
    const CommandRun tiny = Call(RunExportCsv, {u"--home"_s, home.path(), home.file(u"tiny.rom"_s)});
    EXPECT_EQ(tiny.status, 0);
    EXPECT_TRUE(tiny.err.startsWith(u"警告: "_s) && tiny.err.contains(u"警告: クラス.csv:2: 読めない文字を「?」にして書きました。"_s))
        << tiny.err.toStdString();
    EXPECT_EQ(CsvFiles(home.path()).size(), 5);

    const CommandRun blocked = Call(RunExportCsv, {u"--home"_s, home.path(), u"--out"_s, home.file(u"tiny.rom/csv"_s), rom});
    EXPECT_TRUE(blocked.status == 1 && blocked.err.contains(u"保存先のフォルダ %1 を作れません"_s.arg(home.file(u"tiny.rom/csv"_s))))
        << blocked.err.toStdString();
    EXPECT_EQ(Call(RunExportCsv, {u"--home"_s, home.path(), home.path()}).status, 1); // a folder is no image
}

// The sample with its CSV files exported into the program folder; one field of a file made text.
class ImportCsvCommand : public SampleCopy {
protected:
    void SetUp() override
    {
        SampleCopy::SetUp();
        ASSERT_EQ(Call(RunExportCsv, {u"--home"_s, home.path(), rom}).status, 0);
    }

    static void setField(const ProgramFolder& folder, const QString& name, int line, int field, const QString& text)
    {
        QStringList lines = DecodeCp932(folder.readBytes(name)).text.split(u"\r\n"_s);
        QStringList fields = lines[line - 1].split(u',');
        fields[field - 1] = text;
        lines[line - 1] = fields.join(u',');
        folder.writeBytes(name, test::Cp932(lines.join(u"\r\n"_s)));
    }
};

TEST_F(ImportCsvCommand, ADryRunPrintsTheChangesAndWritesNothing)
{
    // A byte, a 16-bit price and a signed 16-bit entry: values, unsigned in the JSON.
    setField(home, u"クラス.csv"_s, 3, 2, u"20"_s);
    setField(home, u"アイテム.csv"_s, 3, 5, u"40000"_s);
    setField(home, u"個別データ.csv"_s, 4, 2, u"-300"_s);
    const CommandRun run = Call(RunImportCsv, {u"--dry-run"_s, u"--json"_s, u"--home"_s, home.path(), rom});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), uR"({"changes":[{"file":"アイテム.csv","line":3,"field":5,"old":150,"new":40000},)"
                                 uR"({"file":"クラス.csv","line":3,"field":2,"old":19,"new":20},)"
                                 uR"({"file":"個別データ.csv","line":4,"field":2,"old":65534,"new":65236}],"problems":[]})"_s);
    EXPECT_TRUE(Call(RunImportCsv, {u"--dry-run"_s, u"--home"_s, home.path(), rom}).out.contains(u"個別データ「難易度補正」: -2 -> -300\n"_s));
    EXPECT_EQ(home.readBytes(SampleImageName()), image);
    EXPECT_FALSE(QFile::exists(rom + u".bak"_s));

    // A problem: exit 1, named in the JSON as in the messages, the image untouched.
    setField(home, u"魔法.csv"_s, 2, 3, u"x"_s);
    const CommandRun refused = Call(RunImportCsv, {u"--json"_s, u"--home"_s, home.path(), rom});
    EXPECT_EQ(refused.status, 1);
    const QJsonObject json = QJsonDocument::fromJson(refused.out.toUtf8()).object();
    EXPECT_EQ(json[u"changes"_s].toArray().size(), 3);
    EXPECT_TRUE(json[u"problems"_s].toArray().at(0).toString().startsWith(u"魔法.csv:2:3: 「x」は値として読めません"_s))
        << refused.out.toStdString();
    EXPECT_TRUE(refused.err.contains(u"取り込みをやめました"_s));
    EXPECT_EQ(home.readBytes(SampleImageName()), image);
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
    setField(in, u"敵パラメータ.csv"_s, 6, 4, u"77"_s);    // HP of record 5, unsigned
    setField(in, u"敵パラメータ.csv"_s, 6, 18, u"60000"_s); // its 16-bit 経験値
    in.writeBytes(u"敵パラメータ.csv"_s, in.readBytes(u"敵パラメータ.csv"_s).replace("\r\n", "\n"));
    setField(in, u"クラス.csv"_s, 3, 2, u"21"_s);

    const CommandRun run = Call(RunImportCsv, {u"--home"_s, home.path(), u"--in"_s, in.path(), rom});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(u"クラス.csv:3:2: 「クラス」の ID 1「戦士」、セクション「HP」: 19 -> 21\n"_s)) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"敵パラメータ.csv:6:4: 戦闘パラメータのレコード 5、「HP」: "_s)) << run.out.toStdString();
    EXPECT_EQ(home.readBytes(SampleImageName() + u".bak"_s), image);

    DocumentState doc;
    LoadDocument(doc, rom, *ReadRomImage(rom), home.path());
    EXPECT_EQ(doc.IdBytes(2)(1, 1), 21);
    // The blocks encoded against the image's own dictionary.
    EXPECT_EQ(std::pair(doc.BattleParams(3, 5), CellValueOf(doc, {TabBattle, 0, 17, 5})), std::pair(std::uint8_t{77}, std::optional(60000u)));
    // Read again, the files hold what the image holds now, but for the old high byte of 経験値 in its own column:
    // a byte inside a field is taken only unchanged.
    const CommandRun again = Call(RunImportCsv, {u"--home"_s, home.path(), u"--in"_s, in.path(), u"--dry-run"_s, rom});
    EXPECT_TRUE(again.out.isEmpty() && again.err.startsWith(u"問題: 1 件\n敵パラメータ.csv:6:19: 戦闘パラメータのバイト 18 は"_s))
        << again.out.toStdString() << again.err.toStdString();
    EXPECT_EQ(Call(RunImportCsv, {u"--home"_s, home.path(), home.file(u"none.rom"_s)}).status, 1);
}

// The sample's image against a copy that a test changes.
class DiffCommand : public SampleCopy {
protected:
    CommandRun diff(const QByteArray& changed, const QStringList& extra = {})
    {
        home.writeBytes(u"new.rom"_s, changed);
        return Call(RunDiff, QStringList{u"--home"_s, home.path(), rom, newRom} + extra);
    }

    const QString newRom = home.file(u"new.rom"_s);
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
    EXPECT_EQ(report, QJsonObject({{u"old"_s, rom}, {u"new"_s, newRom}, {u"identical"_s, true}, {u"cells"_s, QJsonArray()},
                                   {u"battleCount"_s, QJsonObject({{u"old"_s, count}, {u"new"_s, count}})}, {u"blocks"_s, QJsonArray()},
                                   {u"otherBytes"_s, QJsonArray()}, {u"problems"_s, QJsonArray()}}));
}

TEST_F(DiffCommand, CellsInTheirNotationAndBytesOutsideTheTables)
{
    QByteArray changed = image;
    changed[0x60010] = 30;                  // クラス ID 2 剣士, HP (unsigned): 22
    changed[0x50030] = 5;                   // 難易度補正 (signed, 16-bit): 0xFFFE
    changed[0x50012] = 1;                   // between entries
    changed[0x50013] = 1;
    changed[kRegionOffset + 0x7FFF] = 1;    // written by the encoder, not listed
    const CommandRun text = diff(changed);
    EXPECT_EQ(text.status, 1) << text.err.toStdString();
    EXPECT_EQ(text.out, u"ID-セクション「クラス」 / ID 2「剣士」 / HP / 0x60010: 22 → 30\n"
                        u"個別データ / 4「難易度補正」 / 0x50030: -2 → -251\n"
                        u"どの表にもないバイト: 0x50012-0x50013\n"_s);

    const CommandRun json = diff(changed, {u"--json"_s});
    EXPECT_EQ(json.status, 1);
    // Keys in the documented order, the battle offset null, no data set outside tab 1.
    EXPECT_TRUE(json.out.startsWith(u"{\"old\":"_s)) << json.out.left(100).toStdString();
    EXPECT_TRUE(json.out.contains(u"\"identical\":false,\"cells\":[{\"table\":\"id-section\",\"dataSet\":\"クラス\",\"row\":3,"
                                  u"\"label\":\"剣士\",\"section\":1,\"caption\":\"HP\",\"offset\":393232,\"size\":1,\"old\":22,\"new\":30},"
                                  u"{\"table\":\"individual\",\"dataSet\":null,\"row\":4,\"label\":\"難易度補正\",\"section\":1,"
                                  u"\"caption\":\"\",\"offset\":327728,\"size\":2,\"old\":65534,\"new\":65285}],\"battleCount\":{\"old\":"_s))
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
                                    QStringList{u"--home"_s, home.path(), rom, home.path()}}) {
        const CommandRun run = Call(RunDiff, args);
        EXPECT_TRUE(run.status == 2 && run.out.isEmpty() && run.err.contains(u"を読み込めません"_s)) << run.err.toStdString();
    }
}

} // namespace
} // namespace zor
