#pragma once

// The document's edit history: the undo and redo journals with their counts, whether the
// document is modified, and whether battle records were added or deleted since the last
// read or save. Everything that changes them goes through this class.

#include "core/document/JournalRecord.h"
#include "core/document/NdArray.h"

namespace zor {

// Records a journal holds at most.
inline constexpr int kMaxJournalRecords = 32766;

enum class JournalSide { Undo, Redo };

// One journal: records 1..Count, the newest last; a step's size is on its newest record.
struct JournalList {
    int Count = 0;
    NdArray<JournalRecord, 1> Entries{1};
};

class EditHistory {
public:
    const JournalList& Journal(JournalSide side) const { return side == JournalSide::Undo ? undo_ : redo_; }
    int UndoCount() const { return undo_.Count; }
    int RedoCount() const { return redo_.Count; }
    const JournalRecord& UndoEntry(int i) const { return undo_.Entries(i); }
    const JournalRecord& RedoEntry(int i) const { return redo_.Entries(i); }

    // Whether a journal takes n more records.
    bool HasRoom(JournalSide side, int n) const { return Journal(side).Count + n <= kMaxJournalRecords; }
    // Appends a record; false, and nothing changes, when the journal is full.
    bool Push(JournalSide side, const JournalRecord& record);
    // Takes the newest record back off a journal (an edit that turned out to change nothing).
    void Withdraw(JournalSide side);
    // Ties the newest n records of a journal into one step.
    void SetNewestGroupSize(JournalSide side, int n);
    // The number of records of the newest step: its GroupSize, within 1..Count; 0 when empty.
    int NewestStepSize(JournalSide side) const;
    // Empties a journal.
    void Clear(JournalSide side);

    // After battle rows from `from` on moved by delta and row `removed` (0: none) went:
    // battle records of both journals follow their rows, and so does the view they bring
    // back; records of the removed row go. What remains of a step stays one step.
    void AdjustForBattleRows(int from, int delta, int removed);

    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    bool RecordCountChanged() const { return recordCountChanged_; }
    void SetRecordCountChanged(bool changed) { recordCountChanged_ = changed; }

private:
    JournalList& list(JournalSide side) { return side == JournalSide::Undo ? undo_ : redo_; }

    JournalList undo_;
    JournalList redo_;
    bool modified_ = false;
    bool recordCountChanged_ = false;
};

} // namespace zor
