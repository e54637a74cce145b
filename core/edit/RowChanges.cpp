#include "core/edit/RowChanges.h"

namespace zor {

namespace {

void InsertRecord(BattleRecords& battle, const RowChange& change)
{
    const int row = change.row;
    ++battle.count;
    for (int k = 1; k <= kBattleBlockCount; ++k)
        if (battle.groupStarts(k) > row || (battle.groupStarts(k) == row && !change.blockStartsAtRow))
            ++battle.groupStarts(k);
    battle.params.redimPreserve(kBattleRecordSize + 1, battle.count + 1);
    for (int r = battle.count - 1; r >= row; --r)
        for (int c = 1; c <= kBattleRecordSize; ++c)
            battle.params(c, r + 1) = battle.params(c, r);
    for (int c = 1; c <= kBattleRecordSize; ++c)
        battle.params(c, row) = change.bytes[static_cast<std::size_t>(c - 1)];
}

void DeleteRecord(BattleRecords& battle, int row)
{
    for (int k = 1; k <= kBattleBlockCount; ++k)
        if (battle.groupStarts(k) > row)
            --battle.groupStarts(k);
    for (int r = row; r < battle.count; ++r)
        for (int c = 1; c <= kBattleRecordSize; ++c)
            battle.params(c, r) = battle.params(c, r + 1);
    // The spare row past the last record stays zero, as a read leaves it.
    for (int c = 1; c <= kBattleRecordSize; ++c)
        battle.params(c, battle.count) = 0;
    --battle.count;
    battle.params.redimPreserve(kBattleRecordSize + 1, battle.count + 1);
}

} // namespace

void ApplyRowChange(DocumentState& doc, const RowChange& change, bool forward)
{
    if ((change.kind == RowChange::Kind::Inserted) == forward) {
        InsertRecord(doc.battle_, change);
        doc.History->BattleRowInserted(doc, change.row, change.origin);
    } else {
        DeleteRecord(doc.battle_, change.row);
        doc.History->BattleRowDeleted(doc, change.row);
    }
}

void MakeRowChange(DocumentState& doc, const RowChange& change, const JournalRecord& place)
{
    ApplyRowChange(doc, change, true);
    JournalStep step;
    step.cells.push_back(place);
    step.row = change;
    doc.History->Push(JournalSide::Undo, std::move(step));
    doc.History->Clear(JournalSide::Redo);
}

} // namespace zor
