#pragma once

// The cell clipboard: a rectangle of cell values, one per cell, taken on one tab and pasted
// on any, kept by its owner apart from the document, so that it outlives a load. Cut and
// paste change the document through the undo journal, each as one step.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/edit/Journal.h"

namespace zor {

// The grid's selection: the cursor cell and the opposite corner, in grid coordinates.
struct CellSelection {
    int row = 0;
    int col = 0;
    int rowSel = 0;
    int colSel = 0;
};

// The grid's size, the fixed row and column included.
struct GridSize {
    int rows = 1;
    int cols = 1;
};

class CellClipboard {
public:
    bool empty() const { return ClipSize(0) == 0; }
    int cols() const { return ClipSize(0); }
    int rows() const { return ClipSize(1); }
    // The value of block cell (j, i), both from 1.
    std::uint32_t at(int j, int i) const { return ClipValues(j, i); }
    // The top-left cell the block was taken from.
    int leftCol() const { return SelLeftCol; }
    int topRow() const { return SelTopRow; }

    // Takes the selection's block: its size and place, every value 0 until set.
    void take(const CellSelection& selection);
    void set(int j, int i, std::uint32_t value) { ClipValues(j, i) = value; }

private:
    NdArray<std::uint32_t, 2> ClipValues;
    NdArray<int, 1> ClipSize{1};
    int SelLeftCol = 0;
    int SelTopRow = 0;
};

// Takes the selection (whichever way it was made) of a table into the clipboard. Returns the
// block's last cell, where the cursor ends.
CellRef CopyCells(CellClipboard& clip, const DocumentState& doc, TableRef table, const CellSelection& selection);

// The outcome of a cut or a paste: the write, and the cell the cursor ends on when it changed.
struct ClipboardWrite {
    WriteResult write;
    CellRef last;
};

// As copy, then every cell of the block is journalled and set to 0, as one undo step.
// A read-only cell in the block refuses the whole cut: nothing changes, the clipboard
// included; the reason names the first such cell. A block larger than the history keeps
// is not taken (TooLargeToUndo) unless large is Take.
[[nodiscard]] Result<ClipboardWrite> CutCells(CellClipboard& clip, DocumentState& doc, TableRef table, const CellSelection& selection,
                                              ScrollPosition scroll, LargeStep large = LargeStep::Refuse);

// Writes the clipboard with its top-left at (row, col), clipped at the grid's last row and
// column, never wrapped; every cell written is journalled, as one undo step; the cursor ends
// on the last cell written. Unchanged when the clipboard is empty or nothing fits; a
// read-only cell in the clipped block refuses the whole paste (the reason names the first
// such cell), as does a value too large for its target cell; a block too large to undo
// does as the cut's.
[[nodiscard]] Result<ClipboardWrite> PasteCells(const CellClipboard& clip, DocumentState& doc, TableRef table, int row, int col,
                                                GridSize grid, ScrollPosition scroll, LargeStep large = LargeStep::Refuse);

} // namespace zor
