#include "core/compare/ChangeList.h"
#include "core/compare/Compare.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/Clipboard.h"
#include "core/edit/Journal.h"
#include "core/output/Rows.h"
#include "core/output/Save.h"
#include "core/sample/Sample.h"
#include "core/value/CellValue.h"
#include "core/value/ValueText.h"
#include "core/view/Grid.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/Succeeded.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// The sample folder, and the comparison of two of its images loaded as the window loads them.
class Compare : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::Succeeded(WriteSampleFolder(home.path())));
        sample = *MakeSampleImage();
    }

    DocumentState load(const QByteArray& image, const QString& name)
    {
        DocumentState doc;
        LoadDocument(doc, home.file(name), image, home.path());
        return doc;
    }

    ImageComparison compare(const QByteArray& oldImage, const QByteArray& newImage)
    {
        oldDoc = load(oldImage, u"old.rom"_s);
        newDoc = load(newImage, u"new.rom"_s);
        return CompareImages(oldDoc, oldImage, newDoc, newImage);
    }

    // The sample image with the battle stream encoded again after change has edited it.
    template <typename Change>
    QByteArray withBattle(Change change) const
    {
        std::vector<std::uint8_t> stream = SampleBattleStream().Elements();
        change(stream);
        QByteArray image = sample;
        BattleCodec codec;
        codec.SetDictionaryBase(kSampleDictionaryBase);
        codec.EncodeBattleBlocks(stream, image);
        return image;
    }

    int dataSet(const QString& name) const
    {
        for (int k = 1; k <= oldDoc.DataSetCount; ++k)
            if (oldDoc.DataSets(k).Name == name)
                return k;
        return 0;
    }

    test::ProgramFolder home;
    QByteArray sample;
    DocumentState oldDoc;
    DocumentState newDoc;
};

void Flip(QByteArray& image, std::int64_t offset) { image[static_cast<qsizetype>(offset)] ^= 0x5A; }

using Fields = std::tuple<int, int, QString, int, QString, int, QString, std::optional<std::int64_t>, int, int>;
Fields Of(const CellDifference& c)
{
    return {c.tab, c.dataSet, c.dataSetName, c.row, c.label, c.col, c.caption, c.offset, c.oldValue, c.newValue};
}

TEST_F(Compare, CellsOfAllThreeTabsComeInTableOrderNamedAsTheOldImageShowsThem)
{
    // Record 1: section 3, and byte 18, the high byte of the 16-bit field 17.
    QByteArray changed = withBattle([](std::vector<std::uint8_t>& stream) { stream[3] ^= 0x01, stream[18] ^= 0x01; });
    Flip(changed, 0x60000 + 2 * 8);      // クラス ID 2, HP
    Flip(changed, 0x60001 + 1 * 8);      // クラス ID 1, MP
    Flip(changed, 0x60005 + 2 * 8);      // クラス ID 2, 知力
    Flip(changed, 0x61002 + 3 * 6);      // アイテム ID 3, 重さ
    Flip(changed, 0x61004 + 3 * 6);      // アイテム ID 3, the high byte of the 16-bit 価格
    Flip(changed, 0x50020);              // 個別データ entry 2
    const ImageComparison result = compare(sample, changed);
    ASSERT_EQ(result.cells.size(), 8u);
    EXPECT_FALSE(result.identical());
    // Re-encoding the blocks changed the region and pointers, which are no other bytes.
    EXPECT_TRUE(result.otherBytes.empty()) << result.otherBytes.front().first;

    const int items = dataSet(u"アイテム"_s);
    const int classes = dataSet(u"クラス"_s);
    ASSERT_LT(items, classes);
    const auto old = [&](std::int64_t at) { return static_cast<std::uint8_t>(sample[static_cast<qsizetype>(at)]); };
    // Rows before sections within a data set.
    EXPECT_EQ(Of(result.cells[0]), Fields(TabIdSection, items, u"アイテム"_s, 4, u"大剣"_s, 3, u"重さ"_s, 0x61002 + 3 * 6,
                                          old(0x61002 + 3 * 6), old(0x61002 + 3 * 6) ^ 0x5A));
    // A 16-bit cell differs as one value.
    EXPECT_EQ(std::tuple(Of(result.cells[1]), result.cells[1].size),
              std::tuple(Fields(TabIdSection, items, u"アイテム"_s, 4, u"大剣"_s, 4, u"価格"_s, 0x61003 + 3 * 6, 450, 450 ^ 0x5A00), 2));
    EXPECT_EQ(std::tuple(result.cells[2].dataSetName, result.cells[2].row, result.cells[2].caption), std::tuple(u"クラス"_s, 2, u"MP"_s));
    EXPECT_EQ(std::tuple(result.cells[3].row, result.cells[3].label, result.cells[3].col, result.cells[3].offset),
              std::tuple(3, u"剣士"_s, 1, std::optional<std::int64_t>(0x60010)));
    EXPECT_EQ(std::tuple(result.cells[4].col, result.cells[4].caption), std::tuple(6, u"知力"_s));
    EXPECT_EQ(Of(result.cells[5]), Fields(TabIndividual, 0, QString(), 2, u"初期レベル"_s, 1, QString(), 0x50020, 1, 1 ^ 0x5A));
    // The label is the class name of the old record's first byte.
    const std::uint8_t before = oldDoc.BattleParams(3, 1);
    EXPECT_EQ(Of(result.cells[6]), Fields(TabBattle, 0, QString(), 1, oldDoc.DataSets(classes).IdNames(oldDoc.BattleParams(1, 1) + 1), 3,
                                          oldDoc.BattleSectionNames(3), std::nullopt, before, before ^ 0x01));
    EXPECT_FALSE(result.cells[6].label.isEmpty());
    // A byte inside a battle field differs as that field.
    const std::uint32_t experience = *CellValueOf(oldDoc, {TabBattle, 0, 17, 1});
    EXPECT_EQ(std::tuple(result.cells[7].col, result.cells[7].size, result.cells[7].oldValue, result.cells[7].newValue),
              std::tuple(17, 2, experience, experience ^ 0x100));
}

TEST_F(Compare, ARecordAddedChangesTheCountAndNoCell)
{
    // A copy of record 1 at the end of the last block, before its closing 0.
    const QByteArray grown = withBattle([](std::vector<std::uint8_t>& stream) {
        const std::vector<std::uint8_t> record(stream.begin() + 1, stream.begin() + 26);
        stream.insert(stream.end() - 2, record.begin(), record.end());
    });
    const ImageComparison result = compare(sample, grown);
    EXPECT_TRUE(result.cells.empty());
    EXPECT_TRUE(result.otherBytes.empty());
    ASSERT_TRUE(result.oldBattleCount && result.newBattleCount);
    EXPECT_EQ(*result.newBattleCount, *result.oldBattleCount + 1);
    const int lastBlock = *result.oldBattleCount - oldDoc.GroupStarts(kBlockCount - 1) + 1;
    EXPECT_EQ(result.blocks, (std::vector<BlockDifference>{{kBlockCount, lastBlock, lastBlock + 1}}));
    EXPECT_FALSE(result.identical());

    const ImageComparison back = compare(grown, sample);
    EXPECT_TRUE(back.cells.empty());
    EXPECT_EQ(back.oldBattleCount, *back.newBattleCount + 1);
}

// One record moved into the next block: only the pointer table and the region differ, and the move is the difference.
TEST_F(Compare, ARecordMovedIntoTheNextBlockIsADifference)
{
    const QByteArray moved = withBattle([](std::vector<std::uint8_t>& stream) {
        // The last record of the first block of two or more records swaps places with its block's end.
        for (std::size_t start = 1;;) {
            std::size_t end = start;
            while (stream[end] != 0)
                end += kRecordSize;
            if (end - start >= 2 * kRecordSize) {
                std::rotate(stream.begin() + end - kRecordSize, stream.begin() + end, stream.begin() + end + 1);
                return;
            }
            start = end + 1;
        }
    });
    const ImageComparison result = compare(sample, moved);
    EXPECT_TRUE(result.cells.empty() && result.otherBytes.empty() && !result.identical());
    EXPECT_EQ(result.oldBattleCount, result.newBattleCount);
    ASSERT_EQ(result.blocks.size(), 2u);
    const auto [first, next] = std::pair(result.blocks[0], result.blocks[1]);
    EXPECT_EQ(std::tuple(next.block, first.newRecords, next.newRecords), std::tuple(first.block + 1, first.oldRecords - 1, next.oldRecords + 1));
}

TEST_F(Compare, BytesOutsideEveryTableFormRangesAndTheEncodersPlacesAreLeftOut)
{
    QByteArray changed = sample;
    // 0x50010 and 0x50011 are the bytes of a 16-bit entry: the run around them splits into two ranges.
    for (std::int64_t offset = 0x5000F; offset <= 0x50013; ++offset)
        Flip(changed, offset);
    // Just outside the pointer table and the block region, and in them.
    for (const std::int64_t offset : {std::int64_t{kPointerTableOffset - 1}, std::int64_t{kPointerTableOffset + 2 * 314},
                                      std::int64_t{kRegionOffset - 1}, std::int64_t{kEncodedImageSize - 1},
                                      std::int64_t{kBankByteOffsets[1]}, std::int64_t{kBankByteOffsets[3]}})
        Flip(changed, offset);
    const ImageComparison result = compare(sample, changed);
    ASSERT_EQ(result.cells.size(), 1u);
    EXPECT_EQ(std::tuple(result.cells[0].offset, result.cells[0].oldValue, result.cells[0].newValue), std::tuple(0x50010, 10000u, 10000u ^ 0x5A5Au));
    EXPECT_EQ(result.otherBytes, (std::vector<ByteRange>{{0x5000F, 0x5000F}, {0x50012, 0x50013},
                                                         {kPointerTableOffset - 1, kPointerTableOffset - 1},
                                                         {kPointerTableOffset + 628, kPointerTableOffset + 628},
                                                         {kRegionOffset - 1, kRegionOffset - 1}}));
    EXPECT_TRUE(result.problems.empty());

    QByteArray battleOnly = sample;
    Flip(battleOnly, kEncodedImageSize - 1);
    Flip(battleOnly, kBankByteOffsets[2]);
    EXPECT_TRUE(compare(sample, battleOnly).identical());
}

TEST_F(Compare, ALengthDifferenceCountsUpToTheLongerEnd)
{
    const QByteArray grown = sample + QByteArray(0x8000, '\0');
    const ImageComparison more = compare(sample, grown);
    EXPECT_TRUE(more.cells.empty() && !more.identical());
    EXPECT_EQ(more.otherBytes, (std::vector<ByteRange>{{0x400000, 0x407FFF}}));
    EXPECT_EQ(compare(grown, sample).otherBytes, more.otherBytes);

    // Cut before the block region: the blocks can't be decoded, so the whole cut part, the region included, is the range.
    const QByteArray shrunk = sample.left(0x300000);
    const ImageComparison less = compare(sample, shrunk);
    EXPECT_EQ(less.otherBytes, (std::vector<ByteRange>{{0x300000, kEncodedImageSize - 1}}));
    EXPECT_FALSE(less.newBattleCount);
    ASSERT_EQ(less.problems.size(), 1u);
    EXPECT_EQ(less.problems[0].file, home.file(u"new.rom"_s));

    // Cut inside the individual data: entries past the end read 0 and differ as cells.
    const ImageComparison cut = compare(sample, sample.left(0x50021));
    ASSERT_FALSE(cut.cells.empty());
    EXPECT_EQ(std::tuple(cut.cells.back().tab, cut.cells.back().offset, cut.cells.back().newValue), std::tuple(TabIndividual, 0x50040, 0));
}

TEST_F(Compare, AnUndecodableBattleTableIsAProblemAndItsRecordsAreNotCompared)
{
    QByteArray broken = withBattle([](std::vector<std::uint8_t>& stream) { stream[3] ^= 0x01; });
    broken[kTablePointerBank] = 0x10; // the pointer table now lies before the image
    for (const bool brokenIsNew : {true, false}) {
        const ImageComparison result = brokenIsNew ? compare(sample, broken) : compare(broken, sample);
        SCOPED_TRACE(brokenIsNew);
        EXPECT_TRUE(result.cells.empty() && result.blocks.empty() && !result.identical());
        ASSERT_EQ(result.problems.size(), 1u);
        EXPECT_EQ(result.problems[0].file, home.file(brokenIsNew ? u"new.rom"_s : u"old.rom"_s));
        EXPECT_TRUE(result.problems[0].message.contains(u"戦闘パラメータ"_s));
        EXPECT_EQ(std::pair(bool(result.oldBattleCount), bool(result.newBattleCount)), std::pair(brokenIsNew, !brokenIsNew));
        // Without both records compared, the encoder's places are compared as bytes.
        EXPECT_EQ(result.otherBytes.front(), (ByteRange{kTablePointerBank, kTablePointerBank}));
        EXPECT_GT(result.otherBytes.back().first, kRegionOffset);
    }
    EXPECT_EQ(compare(broken, broken).problems.size(), 2u);
}

// Where the records weren't read from the encoder's places (blocks undecodable in either image, or a table moved).
TEST_F(Compare, TheEncodersPlacesCountUnlessBothImagesRecordsWereReadFromThere)
{
    // A bank byte, in the pointer table, and in the region past the sample's blocks.
    const std::vector<ByteRange> expected{{kBankByteOffsets[1], kBankByteOffsets[1]},
                                          {kPointerTableOffset + 3, kPointerTableOffset + 3},
                                          {kEncodedImageSize - 0x100, kEncodedImageSize - 0x100},
                                          {kEncodedImageSize - 1, kEncodedImageSize - 1}};
    auto withPlacesChanged = [&](QByteArray image) {
        for (const ByteRange& place : expected)
            Flip(image, place.first);
        return image;
    };

    QByteArray broken = sample;
    broken[kTablePointerBank] = 0x10; // the pointer table now lies before the image
    const ImageComparison undecoded = compare(broken, withPlacesChanged(broken));
    EXPECT_FALSE(undecoded.oldBattleCount || undecoded.newBattleCount);
    EXPECT_EQ(undecoded.otherBytes, expected);
    EXPECT_FALSE(undecoded.identical());
    EXPECT_TRUE(compare(broken, broken).identical()); // the same bytes are no difference

    // The pointer table copied to 0x1F0000 ($BE:8000) and the table pointer moved there: the records read from elsewhere.
    QByteArray moved = sample;
    moved.replace(0x1F0000, 2 * kBlockCount, sample.mid(kPointerTableOffset, 2 * kBlockCount));
    moved[kTablePointerBank] = static_cast<char>(0xBE);
    const ImageComparison elsewhere = compare(moved, withPlacesChanged(moved));
    EXPECT_TRUE(elsewhere.cells.empty());
    EXPECT_EQ(elsewhere.oldBattleCount, elsewhere.newBattleCount);
    EXPECT_EQ(elsewhere.otherBytes, expected);
    EXPECT_FALSE(elsewhere.identical());
}

TEST_F(Compare, TheGapsOfSteppedSectionsAreOtherBytes)
{
    // Two sections of four IDs, four bytes apart: 0x70000, 0x70004 … and 0x70001, 0x70005 …; 乙 one byte, then two.
    const QString mode = SampleModeName() + u'/';
    test::WriteCompactFile(home.path(), mode + u"段.idn"_s, u"零|一|二|三"_s);
    test::WriteCompactFile(home.path(), mode + u"段.sna"_s, u"70000|甲|70001|乙|"_s);
    QByteArray changed = sample;
    for (const std::int64_t offset : {0x70002, 0x70003, 0x70004, 0x7000D, 0x7000E, 0x70010})
        Flip(changed, offset);
    using Cell = std::tuple<QString, QString, std::optional<std::int64_t>, int>;
    const auto cells = [](const ImageComparison& result) {
        std::vector<Cell> named;
        for (const CellDifference& c : result.cells)
            named.emplace_back(c.label, c.caption, c.offset, c.size);
        return named;
    };
    for (const auto& [ini, expected, others] :
         {std::tuple(u"[Step]|Section1=4|Section2=4|"_s, std::vector{Cell(u"一"_s, u"甲"_s, 0x70004, 1), Cell(u"三"_s, u"乙"_s, 0x7000D, 1)},
                     std::vector<ByteRange>{{0x70002, 0x70003}, {0x7000E, 0x7000E}, {0x70010, 0x70010}}),
          // Every byte of a wider cell belongs to the table.
          std::tuple(u"[Step]|Section1=4|Section2=4|[Size]|Section2=2|"_s,
                     std::vector{Cell(u"零"_s, u"乙"_s, 0x70001, 2), Cell(u"一"_s, u"甲"_s, 0x70004, 1), Cell(u"三"_s, u"乙"_s, 0x7000D, 2)},
                     std::vector<ByteRange>{{0x70003, 0x70003}, {0x70010, 0x70010}})}) {
        SCOPED_TRACE(ini.toStdString());
        test::WriteCompactFile(home.path(), mode + u"段.ini"_s, ini);
        const ImageComparison result = compare(sample, changed);
        ASSERT_EQ(oldDoc.DataSets(dataSet(u"段"_s)).IdCount, 4);
        EXPECT_EQ(cells(result), expected);
        EXPECT_EQ(result.otherBytes, others);
    }
    // The same for an individual entry two bytes wide.
    test::WriteCompactFile(home.path(), mode + u"個別データ.sna"_s, u"50030|補正|"_s);
    test::WriteCompactFile(home.path(), mode + u"個別データ.ini"_s, u"[Size]|Section1=2|"_s);
    QByteArray entry = sample;
    Flip(entry, 0x50031);
    Flip(entry, 0x50032);
    const ImageComparison result = compare(sample, entry);
    EXPECT_EQ(std::tuple(result.cells.size(), result.otherBytes), std::tuple(std::size_t{1}, std::vector<ByteRange>{{0x50032, 0x50032}}));
}

bool Changed(const Result<ClipboardWrite>& done) { return done && done->write.result == CommitResult::Changed; }

// Follows the listener's calls with a count of its own, as a view's model would.
class CountingListener : public ChangeListListener {
public:
    void entryInserting(int index) override { pending = index; }
    void entryInserted() override { ++count; }
    void entryRemoving(int index) override { pending = index; }
    void entryRemoved() override { --count; }
    void entryUpdated(int index) override { updated.push_back(index); }
    void entriesResetting() override {}
    void entriesReset() override { count = list->size(); }

    const ChangeList* list = nullptr;
    int count = 0;
    int pending = -1;
    std::vector<int> updated;
};

// The sample folder loaded as the window loads it, with a change list that follows it.
class Changes : public Compare {
protected:
    void SetUp() override
    {
        Compare::SetUp();
        LoadDocument(doc, home.file(SampleImageName()), sample, home.path());
        ASSERT_GE(doc.DataSetCount, 2);
        ASSERT_GT(doc.BattleCount(), 10);
        listener.list = &list;
        list.setListener(&listener);
        list.rebuild(doc);
    }

    // The edit of a cell as the window commits it, then the list told of it.
    void commit(int tab, int dataSet, int col, int row, int value)
    {
        const Result<WriteResult> written = CommitCellText(doc, {tab, dataSet, col, row}, QString::number(value), {row, col});
        ASSERT_TRUE(written) << written.failure().message().toStdString();
        if (written->result == CommitResult::Changed)
            list.refresh(doc, NewestStepCells(*doc.History, JournalSide::Undo));
    }

    void step(bool undo)
    {
        const StepResult taken = undo ? UndoStep(doc) : RedoStep(doc);
        if (taken.kind != StepResult::Taken)
            return;
        if (taken.rows)
            list.rebuildBattle(doc);
        else
            list.refresh(doc, NewestStepCells(*doc.History, undo ? JournalSide::Redo : JournalSide::Undo));
    }

    std::vector<ChangeEntry> rebuilt() const
    {
        ChangeList fresh;
        fresh.rebuild(doc);
        return fresh.entries();
    }

    std::uint8_t byte(int tab, int dataSet, int col, int row) const { return *CellByte(doc, tab, dataSet, col, row); }

    DocumentState doc;
    ChangeList list;
    CountingListener listener;
};

struct Place { int tab, dataSet, row, col; friend bool operator==(const Place&, const Place&) = default; };

std::vector<Place> Places(const ChangeList& list)
{
    std::vector<Place> places;
    for (const ChangeEntry& entry : list.entries())
        places.push_back({entry.tab, entry.dataSet, entry.row, entry.col});
    return places;
}

TEST_F(Changes, EntriesFollowTableOrderWhateverTheOrderOfTheEdits)
{
    for (const CellRef& c : {CellRef{TabBattle, 0, 3, 2}, {TabIndividual, 0, 1, 1}, {TabIdSection, 2, 1, 1}, {TabIdSection, 1, 2, 3},
                             {TabIdSection, 1, 1, 3}, {TabIdSection, 1, 1, 2}, {TabBattle, 0, 1, 2}})
        commit(c.tab, c.dataSet, c.col, c.row, (byte(c.tab, c.dataSet, c.col, c.row) + 1) % 256);

    const std::vector<Place> expected{{TabIdSection, 1, 2, 1}, {TabIdSection, 1, 3, 1}, {TabIdSection, 1, 3, 2},
                                      {TabIdSection, 2, 1, 1}, {TabIndividual, 0, 1, 1}, {TabBattle, 0, 2, 1},
                                      {TabBattle, 0, 2, 3}};
    EXPECT_EQ(Places(list), expected);
    EXPECT_EQ(list.entries(), rebuilt());
    EXPECT_EQ(listener.count, list.size());

    // An ID-section cell named as the grid shows it, old the baseline byte.
    const ChangeEntry& first = list.at(0);
    const DataSet& set = doc.DataSets(1);
    EXPECT_EQ(std::tuple(first.kind, first.dataSetName, first.label, first.caption, first.offset, first.oldValue, first.newValue),
              std::tuple(ChangeEntry::Cell, set.Name, set.IdNames(2), set.SectionNames(1), CellOffset(doc, TabIdSection, 1, 1, 2),
                         *doc.History->BaselineValue(doc, {TabIdSection, 1, 1, 2}), byte(TabIdSection, 1, 1, 2)));
    EXPECT_NE(first.oldValue, first.newValue);
    const QString line = DescribeChange(doc, first);
    EXPECT_TRUE(line.contains(u"ID 1"_s) && line.contains(FormatByte(doc, TabIdSection, 1, 1, first.oldValue) + u" → "_s +
                                                          FormatByte(doc, TabIdSection, 1, 1, first.newValue)))
        << line.toStdString();

    // Battle cells have no offset; the reveal goes to the cell itself.
    EXPECT_FALSE(list.at(5).offset);
    EXPECT_TRUE(DescribeChange(doc, list.at(5)).contains(u"戦闘パラメータ"_s));
    EXPECT_EQ(list.cellOf(4), (CellRef{TabIndividual, 0, 1, 1}));
    EXPECT_EQ(list.cellOf(2), (CellRef{TabIdSection, 1, 2, 3}));
    EXPECT_FALSE(list.cellOf(list.size()));
}

TEST_F(Changes, AnEditBackToTheBaselineOrItsUndoRemovesTheEntry)
{
    const std::uint8_t original = byte(TabIdSection, 1, 2, 2);
    commit(TabIdSection, 1, 2, 2, (original + 5) % 256);
    commit(TabIdSection, 1, 2, 2, (original + 6) % 256);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(std::tuple(list.at(0).newValue, listener.updated), std::tuple((original + 6) % 256, std::vector<int>{0}));
    step(true);
    EXPECT_EQ(list.at(0).newValue, (original + 5) % 256);
    step(true);
    EXPECT_TRUE(list.empty() && listener.count == 0);
    step(false);
    EXPECT_EQ(list.size(), 1);
    // Typing the file's byte back is the same as an undo.
    commit(TabIdSection, 1, 2, 2, original);
    EXPECT_TRUE(list.empty() && listener.count == 0);
}

TEST_F(Changes, AddedAndDeletedBattleRowsAreOneEntryEach)
{
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 3)->kind, RowResult::Done);
    list.rebuildBattle(doc);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(std::tuple(list.at(0).kind, list.at(0).row, list.cellOf(0)), std::tuple(ChangeEntry::RowAdded, 3, std::optional(CellRef{TabBattle, 0, 1, 3})));
    EXPECT_TRUE(DescribeChange(doc, list.at(0)).contains(u"追加"_s));

    // An edit in the added row leaves it one entry; one below it is a cell of its own.
    commit(TabBattle, 0, 4, 3, (byte(TabBattle, 0, 4, 3) + 1) % 256);
    commit(TabBattle, 0, 4, 4, (byte(TabBattle, 0, 4, 4) + 1) % 256);
    EXPECT_EQ(Places(list), (std::vector<Place>{{TabBattle, 0, 3, 0}, {TabBattle, 0, 4, 4}}));

    // The first row below them that is not alone in its block goes.
    commit(TabIdSection, 1, 1, 1, (byte(TabIdSection, 1, 1, 1) + 1) % 256);
    int row = 5;
    int record = 0;
    for (; row <= doc.BattleCount(); ++row) {
        record = doc.History->BaselineRecordOf(row);
        if (DeleteBattleRow(doc, {}, TabBattle, row)->kind == RowResult::Done)
            break;
    }
    ASSERT_LE(row, doc.BattleCount());
    ASSERT_EQ(record, row - 1);
    list.rebuildBattle(doc);
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list.at(0).tab, TabIdSection);
    const ChangeEntry& deleted = list.at(3);
    EXPECT_EQ(std::tuple(deleted.kind, deleted.row, list.cellOf(3)), std::tuple(ChangeEntry::RowDeleted, record, std::optional<CellRef>()));
    EXPECT_TRUE(DescribeChange(doc, deleted).contains(u"削除"_s));
    EXPECT_EQ(list.entries(), rebuilt());
    EXPECT_EQ(listener.count, list.size());
}

TEST_F(Changes, ARebuildAfterASaveIsEmpty)
{
    commit(TabIdSection, 2, 1, 2, (byte(TabIdSection, 2, 1, 2) + 9) % 256);
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 1)->kind, RowResult::Done);
    ASSERT_TRUE(test::Succeeded(SaveDocument(doc)));
    list.rebuild(doc);
    EXPECT_TRUE(list.empty() && listener.count == 0);
    // An undo after the save differs from the new baseline.
    step(true);
    EXPECT_EQ(list.size(), 1);
    EXPECT_EQ(list.entries(), rebuilt());
}

TEST_F(Changes, FollowingTheEditsGivesTheListARebuildGives)
{
    std::mt19937 random(20261207);
    CellClipboard clip;
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    // Few cells and values, so that edits meet and go back to the baseline.
    const auto cell = [&]() -> CellRef {
        switch (pick(1, 4)) {
        case 1:
        case 2:
            return {TabIdSection, pick(1, 2), pick(1, 2), pick(1, 4)};
        case 3:
            return {TabIndividual, 0, 1, pick(1, 3)};
        default:
            return {TabBattle, 0, pick(1, 3), pick(1, 4)};
        }
    };
    for (int i = 0; i < 400; ++i) {
        switch (pick(1, 10)) {
        case 1:
        case 2:
            step(true);
            break;
        case 3:
            step(false);
            break;
        case 4: {
            const TableRef table{TabIdSection, pick(1, 2)};
            const GridSize grid{doc.DataSets(table.dataSet).IdCount + 1, doc.DataSets(table.dataSet).SectionCount + 1};
            CopyCells(clip, doc, table, {pick(1, 4), pick(1, 2), pick(1, 4), pick(1, 2)});
            if (Changed(PasteCells(clip, doc, table, pick(1, 4), pick(1, 2), grid, {})))
                list.refresh(doc, NewestStepCells(*doc.History, JournalSide::Undo));
            break;
        }
        case 5:
            if (Changed(CutCells(clip, doc, {TabBattle, 0}, {pick(1, 4), pick(1, 3), pick(1, 4), pick(1, 3)}, {})))
                list.refresh(doc, NewestStepCells(*doc.History, JournalSide::Undo));
            break;
        case 6: {
            const Result<RowResult> rows = pick(1, 2) == 1 ? InsertBattleRow(doc, {}, TabBattle, pick(1, 4)) : DeleteBattleRow(doc, {}, TabBattle, pick(1, 4));
            if (rows && rows->kind == RowResult::Done)
                list.rebuildBattle(doc);
            break;
        }
        default: {
            const CellRef c = cell();
            const std::uint8_t baseline = doc.History->BaselineValue(doc, {c.tab, c.dataSet, c.col, c.row}).value_or(0);
            commit(c.tab, c.dataSet, c.col, c.row, pick(1, 3) == 1 ? baseline : (baseline + pick(1, 2)) % 256);
            break;
        }
        }
        ASSERT_EQ(list.entries(), rebuilt()) << "after step " << i;
        ASSERT_EQ(listener.count, list.size()) << "after step " << i;
    }
    EXPECT_FALSE(list.empty());
}

} // namespace
} // namespace zor

namespace zor {
namespace {

// The pane's value column is measured from candidates: every value a cell of the document's
// widest size can hold must be at most as long as one of them, and untyped documents keep the byte's set.
TEST(ChangeListWidth, CandidatesCoverEveryValueOfTheWidestCell)
{
    DocumentState doc;
    EXPECT_EQ(WidestCellSize(doc), 1);
    doc.IndividualTypes.redim(2);
    doc.IndividualTypes(2).Size = 3;
    EXPECT_EQ(WidestCellSize(doc), 3);
    EXPECT_EQ(WidestChangeValueCandidates(1).size(), 2 + 3 * 256);
    for (int size = 1; size <= 4; ++size) {
        qsizetype longest = 0;
        for (const QString& candidate : WidestChangeValueCandidates(size))
            longest = std::max(longest, candidate.size());
        for (const int notation : {NotationHex, NotationUnsigned, NotationSigned})
            for (const std::uint32_t value : {MaxUnsigned(size), MaxUnsigned(size) / 2 + 1}) {
                const QString text = FormatValue(notation, value, size);
                EXPECT_LE(ChangeValues(text, text).size(), longest) << size << " " << text.toStdString();
            }
    }
}

} // namespace
} // namespace zor
