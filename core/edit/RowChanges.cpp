#include "core/edit/RowChanges.h"

namespace zor {

namespace {

void InsertRecord(DocumentState& doc, const RowChange& change)
{
    const int row = change.row;
    ++doc.BattleCount;
    for (int k = 1; k <= kBattleBlockCount; ++k)
        if (doc.GroupStarts(k) > row || (doc.GroupStarts(k) == row && !change.blockStartsAtRow))
            ++doc.GroupStarts(k);
    doc.BattleParams.redimPreserve(kBattleRecordSize + 1, doc.BattleCount + 1);
    for (int r = doc.BattleCount - 1; r >= row; --r)
        for (int c = 1; c <= kBattleRecordSize; ++c)
            doc.BattleParams(c, r + 1) = doc.BattleParams(c, r);
    for (int c = 1; c <= kBattleRecordSize; ++c)
        doc.BattleParams(c, row) = change.bytes[static_cast<std::size_t>(c - 1)];
    doc.History->BattleRowInserted(doc, row, change.origin);
}

void DeleteRecord(DocumentState& doc, int row)
{
    for (int k = 1; k <= kBattleBlockCount; ++k)
        if (doc.GroupStarts(k) > row)
            --doc.GroupStarts(k);
    for (int r = row; r < doc.BattleCount; ++r)
        for (int c = 1; c <= kBattleRecordSize; ++c)
            doc.BattleParams(c, r) = doc.BattleParams(c, r + 1);
    // The spare row past the last record stays zero, as a read leaves it.
    for (int c = 1; c <= kBattleRecordSize; ++c)
        doc.BattleParams(c, doc.BattleCount) = 0;
    --doc.BattleCount;
    doc.BattleParams.redimPreserve(kBattleRecordSize + 1, doc.BattleCount + 1);
    doc.History->BattleRowDeleted(doc, row);
}

} // namespace

void ApplyRowChange(DocumentState& doc, const RowChange& change, bool forward)
{
    if ((change.kind == RowChange::Kind::Inserted) == forward)
        InsertRecord(doc, change);
    else
        DeleteRecord(doc, change.row);
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
