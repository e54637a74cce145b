#include "core/document/BattleRecords.h"
#include "core/edit/EditHistory.h"
#include "core/edit/Journal.h"
#include "core/output/Rows.h"
#include "core/view/TabView.h"
#include "tests/support/HandTables.h"
#include "tests/support/PutByte.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <iterator>
#include <tuple>
#include <vector>

namespace zor {
namespace {

// count records whose every byte is the record's number, in blocks starting at starts.
DocumentState Table(int count, const std::vector<int>& starts)
{
    DocumentState doc;
    test::SetBattleRecords(doc, count, [](int, int r) { return r; }, starts);
    doc.History.StartWithBaseline(doc);
    return doc;
}

// The battle tab scrolled to column 4 and row 6.
ViewState Scrolled()
{
    ViewState view;
    view.TabState(TabBattle, ItemLeftCol) = 4;
    view.TabState(TabBattle, ItemTopRow) = 6;
    return view;
}

// GroupStarts without its empty entries, and each record by its first byte (-1 when its last byte differs).
std::pair<std::vector<int>, std::vector<int>> Blocks(const DocumentState& doc)
{
    std::pair<std::vector<int>, std::vector<int>> out;
    std::copy_if(doc.GroupStarts().Elements().begin(), doc.GroupStarts().Elements().end(), std::back_inserter(out.first), [](int g) { return g; });
    for (int r = 1; r <= doc.BattleCount(); ++r)
        out.second.push_back(doc.BattleParams(1, r) == doc.BattleParams(25, r) ? doc.BattleParams(1, r) : -1);
    return out;
}

// A one-cell step on the undo journal.
void PushCell(DocumentState& doc, int row, int value)
{
    doc.History->Push(JournalSide::Undo, JournalStep{{{TabBattle, 0, 1, row, 1, 1, static_cast<std::uint8_t>(value)}}, {}});
}

TEST(Rows, RecordsAndBlockStartsFollowTheRow)
{
    struct Case { bool insert; int row; std::vector<int> starts; int cursor; };
    for (const Case& c : std::vector<Case>{{true, 5, {3, 9}, 5},  {true, 3, {3, 9}, 3},  {true, 10, {3, 8}, 10}, {true, 1, {4, 9}, 1},
                                           {false, 5, {3, 7}, 5}, {false, 3, {3, 7}, 3}, {false, 7, {3, 7}, 7}, {false, 10, {3, 8}, 9},
                                           {false, 1, {2, 7}, 1}}) {
        SCOPED_TRACE((c.insert ? "insert " : "delete ") + std::to_string(c.row));
        DocumentState doc = Table(10, {3, 8});
        std::vector<int> records = Blocks(doc).second;
        const RowResult result = *(c.insert ? InsertBattleRow(doc, Scrolled(), TabBattle, c.row) : DeleteBattleRow(doc, Scrolled(), TabBattle, c.row));
        c.insert ? void(records.insert(records.begin() + c.row - 1, c.row)) : void(records.erase(records.begin() + c.row - 1));
        EXPECT_EQ(Blocks(doc), std::make_pair(c.starts, records));
        EXPECT_EQ(std::make_tuple(result.kind, result.cursorRow, result.leftCol, result.topRow, doc.History->Modified(), doc.History->RecordCountChanged()),
                  std::make_tuple(RowResult::Done, c.cursor, 4, 6, true, true));
    }
}

TEST(Rows, RefusalsAndOtherTabsChangeNothing)
{
    // Blocks 1 and 3 and the last, block 5, hold one record each.
    for (const auto& [count, tab, row, insert, says] : std::vector<std::tuple<int, int, int, bool, const char*>>{
             {8, TabIdSection, 3, true, ""},   {8, TabIdSection, 3, false, ""},
             {8, TabIndividual, 3, true, ""},  {8, TabIndividual, 3, false, ""},
             {8, TabBattle, 9, true, ""},      {8, TabBattle, 9, false, ""},
             {0, TabBattle, 1, true, "レコードがない"}, {0, TabBattle, 1, false, "レコードがない"},
             {8, TabBattle, 1, false, "ブロック 1 "}, {8, TabBattle, 5, false, "ブロック 3 "},
             {8, TabBattle, 8, false, "ブロック 5 "}, {32767, TabBattle, 9, true, "32767"}}) {
        SCOPED_TRACE(std::to_string(tab) + (insert ? " insert " : " delete ") + std::to_string(row) + " " + says);
        DocumentState doc = Table(count, {2, 5, 6, 8});
        PushCell(doc, row, 7);
        const Result<RowResult> result = insert ? InsertBattleRow(doc, {}, tab, row) : DeleteBattleRow(doc, {}, tab, row);
        // Refused with why, or nothing to do on a row that isn't a record.
        const QString why = result ? QString() : result.failure().message();
        EXPECT_TRUE(why.isEmpty() == (*says == '\0') && why.contains(QString::fromUtf8(says))) << why.toStdString();
        EXPECT_TRUE(!result || result->kind == RowResult::Nothing);
        EXPECT_EQ(std::make_tuple(doc.History->Modified(), doc.History->RecordCountChanged()), std::make_tuple(false, false));
        EXPECT_EQ(Blocks(doc), Blocks(Table(count, {2, 5, 6, 8})));
        EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->NewestStepSize(JournalSide::Undo)), std::tuple(1, 1));
    }
    DocumentState doc = Table(32766, {});
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 32766)->kind, RowResult::Done);
    EXPECT_EQ(doc.BattleCount(), 32767);
}

// Each record's block, 0 outside the table.
std::vector<int> BlockNumbers(const DocumentState& doc)
{
    std::vector<int> out;
    for (int r = 0; r <= doc.BattleCount() + 1; ++r)
        out.push_back(BattleBlockOf(doc, r));
    return out;
}

TEST(Rows, BlockNumbersCountFromOneAndFollowRowCommands)
{
    DocumentState doc = Table(10, {3, 8});
    EXPECT_EQ(BlockNumbers(doc), (std::vector<int>{0, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 0}));
    // A copy inserted at a block's first record joins that block; a deleted first record hands the start on.
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 3)->kind, RowResult::Done);
    EXPECT_EQ(BlockNumbers(doc), (std::vector<int>{0, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3, 3, 0}));
    ASSERT_EQ(DeleteBattleRow(doc, {}, TabBattle, 9)->kind, RowResult::Done);
    ASSERT_EQ(DeleteBattleRow(doc, {}, TabBattle, 1)->kind, RowResult::Done);
    EXPECT_EQ(BlockNumbers(doc), (std::vector<int>{0, 1, 2, 2, 2, 2, 2, 2, 3, 3, 0}));
    // Every one of the 314 blocks in use: the last record is in block 314.
    std::vector<int> starts;
    for (int k = 2; k <= 314; ++k)
        starts.push_back(k);
    const DocumentState full = Table(314, starts);
    EXPECT_EQ(std::make_tuple(BattleBlockOf(full, 1), BattleBlockOf(full, 2), BattleBlockOf(full, 314)), std::make_tuple(1, 2, 314));
}

// Any run of cell edits, row commands and undos undoes back to the table read, unmodified,
// and redoes back to where it ended: a row step brings its record back at its place in its
// block, and cell steps older than it apply to the rows as they were when they were made.
TEST(Rows, RowStepsUndoAndRedoAmongCellSteps)
{
    const auto snapshot = [](const DocumentState& doc) {
        return std::tuple(doc.BattleCount(), doc.BattleParams().Elements(), doc.GroupStarts().Elements());
    };
    std::mt19937 random(23);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        DocumentState doc = Table(10, {3, 4, 8}); // block 2 holds record 3 alone
        const auto read = snapshot(doc);
        for (int op = 0; op < 14; ++op) {
            const int row = 1 + static_cast<int>(random() % static_cast<unsigned>(doc.BattleCount()));
            const int records = doc.History->UndoCount();
            switch (random() % 4) {
            case 0:
            case 1: {
                const bool insert = random() % 2;
                const Result<RowResult> done = insert ? InsertBattleRow(doc, {}, TabBattle, row) : DeleteBattleRow(doc, {}, TabBattle, row);
                if (done && done->kind == RowResult::Done) {
                    EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->RedoCount()), std::tuple(records + 1, 0));
                }
                break;
            }
            case 2:
                (void)CommitCellText(doc, {TabBattle, 0, 1 + static_cast<int>(random() % 25), row},
                                     QString::number(1 + random() % 255), {});
                break;
            default:
                UndoStep(doc);
                break;
            }
        }
        const auto end = snapshot(doc);
        int steps = 0;
        while (UndoStep(doc).kind == StepResult::Taken)
            ++steps;
        EXPECT_EQ(snapshot(doc), read);
        EXPECT_FALSE(doc.History->Modified());
        for (int i = 0; i < steps; ++i)
            ASSERT_EQ(RedoStep(doc).kind, StepResult::Taken);
        EXPECT_EQ(snapshot(doc), end);
    }
}

TEST(Rows, EachRowKeepsTheBaselineRecordItCameFrom)
{
    DocumentState doc = Table(10, {3, 8}); // record r holds r in every byte
    const EditHistory& history = *doc.History;
    const auto marked = [&](int row) {
        std::vector<int> cols;
        for (int c = 1; c <= 25; ++c)
            if (CellChanged(doc, TabBattle, 0, c, row))
                cols.push_back(c);
        return cols;
    };
    std::vector<int> all(25);
    std::iota(all.begin(), all.end(), 1);

    // A change on record 5, then a row inserted above it: the mark moves with its record.
    test::PutByte(doc, {TabBattle, 0, 7, 5}, 0x55);
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 4)->kind, RowResult::Done);
    EXPECT_EQ(std::tuple(history.BaselineRecordOf(4), history.BaselineRecordOf(5), history.BaselineRecordOf(6)), std::tuple(0, 4, 5));
    // The inserted row is marked in every cell, though it copies record 4.
    EXPECT_EQ(std::tuple(marked(4), marked(5), marked(6)), std::tuple(all, std::vector<int>{}, std::vector<int>{7}));
    EXPECT_EQ(std::tuple(history.BaselineByte(TabBattle, 0, 7, 6), history.BaselineByte(TabBattle, 0, 7, 4)),
              std::tuple(std::optional<std::uint8_t>(5), std::optional<std::uint8_t>()));
    EXPECT_EQ(std::tuple(history.ChangedCellCount(), history.RecordCountChanged()), std::tuple(26, true));

    // The moved record's byte set back: its mark goes, the inserted row's stay.
    test::PutByte(doc, {TabBattle, 0, 7, 6}, 5);
    EXPECT_EQ(std::tuple(marked(6), history.ChangedCellCount()), std::tuple(std::vector<int>{}, 25));
    // Deleting a baseline record names it; deleting the inserted row brings back the list read.
    ASSERT_EQ(DeleteBattleRow(doc, {}, TabBattle, 2)->kind, RowResult::Done);
    EXPECT_EQ(std::tuple(history.DeletedBaselineRecords(), history.BaselineRecordOf(2)), std::tuple(std::vector<int>{2}, 3));
    ASSERT_EQ(DeleteBattleRow(doc, {}, TabBattle, 3)->kind, RowResult::Done);
    EXPECT_EQ(history.ChangedCellCount(), 0);
    EXPECT_TRUE(history.Modified()); // record 2 is still gone
    // Counted as the edits went, the same as counted anew cell by cell.
    int anew = 0;
    for (int r = 1; r <= doc.BattleCount(); ++r)
        for (int c = 1; c <= kBattleRecordSize; ++c)
            anew += CellChanged(doc, TabBattle, 0, c, r);
    EXPECT_EQ(anew, history.ChangedCellCount());
}

} // namespace
} // namespace zor
