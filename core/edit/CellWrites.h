#pragma once

// A change of many cells as one undo step: the one way a cut, a paste, a text paste,
// values for a selection and the CSV import write their cells. Everything is checked
// before the first byte changes, so a refused change leaves the document as it was.

#include "core/document/DocumentState.h"
#include "core/edit/EditHistory.h"
#include "core/edit/Journal.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace zor {

// A cell (grid coordinates, as CellByte) and the value it is to hold.
struct CellWrite {
    CellRef cell;
    std::uint32_t value = 0;
};

enum class UnchangedCells {
    Journalled, // every write is a record, as a paste has always journalled its whole block
    Skipped,    // a write that leaves its cell's value as it is gets none; no change at all makes no step
};

// Writes every cell (each at most once) and journals the writes as one undo step, each record naming its own
// cell and holding its old value, so one undo takes them all back. Refused whole, nothing
// changed, when a cell can't be written (ReadOnlyReason of the first, also for a write
// that keeps the cell's value), can't hold its value (the first such cell named) or is named twice; TooLargeToUndo when the step has more records than the
// history keeps and large is Refuse (with Take it is written and the undo journal empties).
// Writes to cells outside every table are dropped. scroll is the view an undo brings back;
// without one, each record brings back its own cell at the top left.
[[nodiscard]] Result<WriteResult> WriteCells(DocumentState& doc, std::span<const CellWrite> writes, std::optional<ScrollPosition> scroll,
                       UnchangedCells unchanged, LargeStep large = LargeStep::Refuse);

} // namespace zor
