#include "core/compare/ChangeList.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/Clipboard.h"
#include "core/edit/Journal.h"
#include "core/output/Rows.h"
#include "core/output/Save.h"
#include "core/view/Grid.h"
#include "core/sample/Sample.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/Succeeded.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// Whether a cut or paste changed cells; a refused one didn't.
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
class Changes : public ::testing::Test {
protected:
    void SetUp() override
    {
        const Result<int> written = WriteSampleFolder(home.path());
        ASSERT_TRUE(written) << written.failure().message().toStdString();
        const QByteArray image = *MakeSampleImage();
        LoadDocument(doc, home.file(SampleImageName()), image, home.path());
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

    test::ProgramFolder home;
    DocumentState doc;
    ChangeList list;
    CountingListener listener;
};

struct Place {
    int tab, dataSet, row, col;
    friend bool operator==(const Place&, const Place&) = default;
};

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
    EXPECT_EQ(std::tuple(first.kind, first.dataSetName, first.label, first.caption, first.offset, first.oldByte, first.newByte),
              std::tuple(ChangeEntry::Cell, set.Name, set.IdNames(2), set.SectionNames(1), CellOffset(doc, TabIdSection, 1, 1, 2),
                         *doc.History->BaselineByte(TabIdSection, 1, 1, 2), byte(TabIdSection, 1, 1, 2)));
    EXPECT_NE(first.oldByte, first.newByte);
    const QString line = DescribeChange(doc, first);
    EXPECT_TRUE(line.contains(u"ID 1"_s) && line.contains(FormatByte(doc, TabIdSection, 1, 1, first.oldByte) + u" → "_s +
                                                          FormatByte(doc, TabIdSection, 1, 1, first.newByte)))
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
    EXPECT_EQ(std::tuple(list.at(0).newByte, listener.updated), std::tuple((original + 6) % 256, std::vector<int>{0}));
    step(true);
    EXPECT_EQ(list.at(0).newByte, (original + 5) % 256);
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
    commit(TabIndividual, 0, 1, 2, (byte(TabIndividual, 0, 1, 2) + 9) % 256);
    commit(TabBattle, 0, 2, 1, (byte(TabBattle, 0, 2, 1) + 9) % 256);
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 1)->kind, RowResult::Done);
    list.rebuildBattle(doc);
    EXPECT_EQ(list.size(), 4);
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
            const std::uint8_t baseline = doc.History->BaselineByte(c.tab, c.dataSet, c.col, c.row).value_or(0);
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
