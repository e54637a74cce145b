#pragma once

// The cells that differ from the baseline, kept as the document changes: one entry per
// changed cell in table order (the data sets in order, each by rows and within a row by
// sections; then the individual entries; then the battle rows), an added battle row as
// one entry, and a baseline record no row comes from any more as one entry after them.
// The handlers tell it what they touched, so that a commit costs a binary search rather
// than a walk over the tables.

#include "core/document/DocumentState.h"
#include "core/edit/EditHistory.h"
#include "core/view/ChangedCell.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace zor {

// A line of the change list: a changed cell, or a battle record added or deleted (col 0;
// a deleted record's row is its baseline record).
struct ChangeEntry : ChangedCell {
    enum Kind { Cell, RowAdded, RowDeleted };
    Kind kind = Cell;

    friend bool operator==(const ChangeEntry&, const ChangeEntry&) = default;
};

// Told of every change to the entries, so that a view can follow them one by one.
class ChangeListListener {
public:
    virtual ~ChangeListListener() = default;
    virtual void entryInserting(int index) = 0;
    virtual void entryInserted() = 0;
    virtual void entryRemoving(int index) = 0;
    virtual void entryRemoved() = 0;
    virtual void entryUpdated(int index) = 0;
    virtual void entriesResetting() = 0;
    virtual void entriesReset() = 0;
};

class ChangeList {
public:
    void setListener(ChangeListListener* listener) { listener_ = listener; }

    // Every entry anew: after a read or a save, when the baseline moved.
    void rebuild(const DocumentState& doc);
    // The battle entries anew: after a row was added or deleted, when rows moved.
    void rebuildBattle(const DocumentState& doc);
    // The entries of the given cells (grid coordinates), after their bytes were written.
    void refresh(const DocumentState& doc, const std::vector<CellRef>& cells);

    int size() const { return static_cast<int>(entries_.size()); }
    bool empty() const { return entries_.empty(); }
    const ChangeEntry& at(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    const std::vector<ChangeEntry>& entries() const { return entries_; }
    // The cell to show for an entry: the cell itself, the first cell of an added row;
    // none for a deleted record.
    std::optional<CellRef> cellOf(int index) const;

private:
    void refreshCell(const DocumentState& doc, CellRef cell);
    void insertAt(std::size_t index, ChangeEntry entry);
    void removeAt(std::size_t index);
    void appendBattle(const DocumentState& doc, std::vector<ChangeEntry>& out) const;

    std::vector<ChangeEntry> entries_;
    ChangeListListener* listener_ = nullptr;
};

// An entry in two parts, as ChangedCellText; 追加 or 削除 for a whole record.
ChangeText DescribeChangeParts(const DocumentState& doc, const ChangeEntry& entry);

// One line for an entry: its place, ": " and its values.
QString DescribeChange(const DocumentState& doc, const ChangeEntry& entry);

// Values texts among which the widest is as wide as any entry's values can be in a
// document whose widest cell is size bytes (one per notation and byte, each digit at the
// most digits of each wider size, and 追加 and 削除), for a view that must never cut them.
QStringList WidestChangeValueCandidates(int size = 1);

// The most bytes any cell of doc's definitions takes (1 when nothing is typed).
int WidestCellSize(const DocumentState& doc);

// The cells of the newest step of a journal: what the last commit, cut, paste, undo or redo
// wrote; none for a step that added or deleted battle records.
std::vector<CellRef> NewestStepCells(const EditHistory& history, JournalSide side);

} // namespace zor
