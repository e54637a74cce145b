#pragma once

// A change of one cell, the one kind of change every command makes to a table's cells
// (commit, cut, paste, text paste, CSV import, values for a selection, undo and redo),
// and the one function that writes it. Row insertion and deletion are the other kind
// (RowChanges.h). Only the load and the re-read after a save build tables otherwise.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"

#include <cstdint>
#include <optional>
#include <span>

namespace zor {

// What a cell holds: its value, its 1 to 4 bytes read as an unsigned number (lowest byte
// first); the cell's type says how many bytes it has.
struct CellContents {
    std::uint32_t value = 0;
    friend bool operator==(const CellContents&, const CellContents&) = default;
};

// The contents of a cell now; nullopt outside every table.
std::optional<CellContents> ContentsOf(const DocumentState& doc, const CellRef& cell);

// A cell going from its old contents to its new ones.
struct CellChange {
    CellRef cell;
    CellContents old;
    CellContents now;
};

// Writes each change's new contents, in order, and keeps the history's count of changed
// cells; nothing is journalled (the commands of the edit history journal around it; the
// CLI's import writes without a journal). Refused whole, nothing written, when a cell lies
// outside every table, doesn't hold the change's old contents when its turn comes, or
// can't hold the new ones (a value past its size).
[[nodiscard]] bool ApplyCellChanges(DocumentState& doc, std::span<const CellChange> changes);

} // namespace zor
