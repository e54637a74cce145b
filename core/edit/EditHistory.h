#pragma once

// The document's edit history: the undo and redo journals as steps, and the baseline,
// the bytes of every table as the image file holds them at the last read or successful
// save. The document is modified exactly when a cell differs from its baseline
// or battle records were added or deleted; a count of differing cells is kept as bytes
// are written (through ApplyCellChanges), so that asking is O(1). The journals serve undo
// and redo only; a save writes what differs from the baseline.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/document/JournalRecord.h"
#include "core/document/NdArray.h"

#include <QByteArray>

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <vector>

namespace zor {

// Records each side of the history keeps: beyond them the oldest whole steps go.
inline constexpr std::size_t kMaxHistoryRecords = std::size_t{16} * 1024 * 1024;

enum class JournalSide { Undo, Redo };

// A battle record added or deleted, as the history keeps it to take it back and do it again.
struct RowChange {
    enum class Kind { Inserted, Deleted } kind = Kind::Inserted;
    int row = 0;                                         // where it was inserted, or deleted from
    std::array<std::uint8_t, kBattleRecordSize> bytes{}; // the record
    int origin = 0;                                      // its baseline record (0 for an inserted one)
    bool blockStartsAtRow = false;                       // a block began at row, and its start stays there
};

// One undo or redo step: the records of its cells, oldest first, each holding the byte an
// undo (or redo) puts back; or a row change, whose one record is only the place the view
// goes back to.
struct JournalStep {
    std::vector<JournalRecord> cells;
    std::optional<RowChange> row;

    std::size_t records() const { return row ? 1 : cells.size(); }
};

class EditHistory {
public:
    // limit: the records each side keeps (smaller ones for tests).
    explicit EditHistory(std::size_t limit = kMaxHistoryRecords) : limit_(limit) {}

    // Records (cell changes and row changes) on each side.
    int UndoCount() const { return static_cast<int>(sides_[0].records); }
    int RedoCount() const { return static_cast<int>(sides_[1].records); }
    const std::deque<JournalStep>& Steps(JournalSide side) const { return side_(side).steps; }
    // The newest step's records; 0 when the side is empty.
    int NewestStepSize(JournalSide side) const;

    std::size_t Limit() const { return limit_; }
    // Adds a step as the newest of a side. Beyond the limit the oldest whole steps
    // go; a step larger than that can't be kept, and empties the side, since nothing older
    // could be reached past it.
    void Push(JournalSide side, JournalStep step);
    // Takes the newest step off a side; nullopt when it is empty.
    std::optional<JournalStep> TakeNewest(JournalSide side);
    // Empties a side.
    void Clear(JournalSide side);

    // The baseline is the document's tables as they are now (the image was just read).
    void TakeBaseline(const DocumentState& doc);
    // After a successful save of image: the baseline of every ID-section and individual
    // cell is its byte in image (the document's own where its offset is unusable), and
    // the battle records are the document's, each row its own baseline record.
    void TakeBaselineFromImage(const DocumentState& doc, const QByteArray& image);

    // The baseline value of a cell of doc (its bytes as the baseline holds them); nullopt
    // outside the baseline, and for every cell of an inserted battle row.
    std::optional<std::uint32_t> BaselineValue(const DocumentState& doc, const CellRef& cell) const;
    // The baseline record that battle row `row` came from, 0 for an inserted row.
    int BaselineRecordOf(int row) const;
    int BaselineBattleCount() const { return baselineBattleCount_; }
    // The baseline records no row comes from any more, ascending.
    std::vector<int> DeletedBaselineRecords() const;

    // Bookkeeping of a cell write: its value went from old to now.
    void CellWritten(const DocumentState& doc, const CellRef& cell, std::uint32_t old, std::uint32_t now);
    // After a record that came from baseline record origin (0: none) was inserted at row,
    // or the record at row deleted.
    void BattleRowInserted(const DocumentState& doc, int row, int origin);
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
    struct Side {
        std::deque<JournalStep> steps;
        std::size_t records = 0;
    };
    Side& side_(JournalSide side) { return sides_[side == JournalSide::Undo ? 0 : 1]; }
    const Side& side_(JournalSide side) const { return sides_[side == JournalSide::Undo ? 0 : 1]; }
    // Counts the differing cells anew, after a new baseline.
    void Recount(const DocumentState& doc);
    void recountBattle(const DocumentState& doc);

    std::size_t limit_;
    std::array<Side, 2> sides_;

    std::vector<NdArray<std::uint8_t, 2>> idSections_; // by data set (index 0 unused): as Tables::IdBytes
    NdArray<std::uint8_t, 1> individual_;              // as Tables::IndividualBytes
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
// a battle row that moved is compared with the baseline record it came from. A battle byte
// inside an earlier field is part of that field's change, not a change of its own.
bool CellChanged(const DocumentState& doc, int tab, int dataSet, int col, int row);

// The cells that differ from their baseline in table order: the data sets in order, each
// by rows and within a row by sections; then the individual entries; then the battle rows.
// At most `limit`. Tables without a changed cell are skipped unread, and a table's walk
// ends at its last changed cell.
std::vector<CellRef> ChangedCells(const DocumentState& doc, std::size_t limit = std::numeric_limits<std::size_t>::max());

} // namespace zor
