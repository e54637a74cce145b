#pragma once

// The document's edit history: the undo and redo journals with their counts, and the
// baseline, the bytes of every table as the image file holds them at the last read or
// successful save. The document is modified exactly when a cell differs from its baseline
// or battle records were added or deleted; a count of differing cells is kept as bytes
// are written (through SetCellByte), so that asking is O(1). The journals serve undo
// and redo only; a save writes what differs from the baseline.

#include "core/document/JournalRecord.h"
#include "core/document/NdArray.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace zor {

// Records a journal holds at most.
inline constexpr int kMaxJournalRecords = 32766;

struct DocumentState;

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

    // The baseline is the document's tables as they are now (the image was just read).
    void TakeBaseline(const DocumentState& doc);
    // After a successful save of image: the baseline of every ID-section and individual
    // cell is its byte in image (the document's own where its offset is unusable), and
    // the battle records are the document's, each row its own baseline record.
    void TakeBaselineFromImage(const DocumentState& doc, const QByteArray& image);
    // Counts the differing cells anew, for code that wrote bytes past SetCellByte.
    void Recount(const DocumentState& doc);

    // The baseline byte of a cell in grid coordinates (as CellByte); nullopt outside the
    // baseline, and for every cell of an inserted battle row.
    std::optional<std::uint8_t> BaselineByte(int tab, int dataSet, int col, int row) const;
    // The baseline record that battle row `row` came from, 0 for an inserted row.
    int BaselineRecordOf(int row) const;
    int BaselineBattleCount() const { return baselineBattleCount_; }
    // The baseline records no row comes from any more, ascending.
    std::vector<int> DeletedBaselineRecords() const;

    // Bookkeeping of a byte write: cell (tab, dataSet, col, row) went from old to now.
    void CellWritten(int tab, int dataSet, int col, int row, std::uint8_t old, std::uint8_t now);
    // After InsertBattleRow put a new row at `row` / DeleteBattleRow removed row `row`.
    void BattleRowInserted(const DocumentState& doc, int row);
    void BattleRowDeleted(const DocumentState& doc, int row);

    // Cells that differ from their baseline (every cell of an inserted battle row counts).
    int ChangedCellCount() const { return idSectionChanged_ + individualChanged_ + battleChanged_; }
    int ChangedCellCount(int tab, int dataSet = 0) const;
    // Whether battle rows were added or deleted: the rows are no longer the baseline's, one to one.
    bool RecordCountChanged() const { return recordListChanged_; }
    // Whether the battle blocks must be encoded again: a record or the record list changed.
    bool BattleChanged() const { return battleChanged_ > 0 || recordListChanged_; }
    bool Modified() const { return ChangedCellCount() > 0 || recordListChanged_; }

private:
    JournalList& list(JournalSide side) { return side == JournalSide::Undo ? undo_ : redo_; }
    void recountBattle(const DocumentState& doc);

    JournalList undo_;
    JournalList redo_;

    std::vector<NdArray<std::uint8_t, 2>> idSections_; // by data set (index 0 unused): (section, ID number)
    NdArray<std::uint8_t, 1> individual_;
    NdArray<std::uint8_t, 2> battle_;                  // (section, baseline record)
    int baselineBattleCount_ = 0;
    std::vector<int> origin_{0};                       // by battle row: its baseline record, 0 when inserted

    std::vector<int> idSectionChangedBySet_{0};
    int idSectionChanged_ = 0;
    int individualChanged_ = 0;
    int battleChanged_ = 0;
    bool recordListChanged_ = false;
};

// Whether a cell differs from its baseline; every cell of an inserted battle row does, and
// a battle row that moved is compared with the baseline record it came from.
bool CellChanged(const DocumentState& doc, int tab, int dataSet, int col, int row);

// Writes a cell's byte (grid coordinates, as CellByte) and keeps the count of changed
// cells; false when there is no such cell. Every edit of a table byte goes through here.
bool SetCellByte(DocumentState& doc, int tab, int dataSet, int col, int row, std::uint8_t value);

// A cell in grid coordinates: on tab 2 col is 1, on tabs 2 and 3 dataSet is 0.
struct CellRef {
    int tab = 0;
    int dataSet = 0;
    int col = 0;
    int row = 0;
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

// The cells that differ from their baseline in table order: the data sets in order, each
// by rows and within a row by sections; then the individual entries; then the battle rows.
// At most `limit`. Tables without a changed cell are skipped unread, and a table's walk
// ends at its last changed cell.
std::vector<CellRef> ChangedCells(const DocumentState& doc, std::size_t limit = std::numeric_limits<std::size_t>::max());

} // namespace zor
