#pragma once

// The cell clipboard: rectangles of raw bytes, one per cell, kept in the document so
// that a block taken on one tab can be pasted on another. Cut and paste change the
// document through the undo journal, each as one step.

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

// Takes the selection (whichever way it was made) into the clipboard: ClipSize,
// ClipBytes, SelLeftCol and SelTopRow. CurrentRow and CurrentCol end on the last cell.
void CopyCells(DocumentState& doc, int tab, const CellSelection& selection);

// As copy, then every cell of the block is journalled and set to 0, as one undo step.
// A read-only cell in the block refuses the whole cut: nothing changes, the clipboard
// included; *reason (when given) names the first such cell. A block larger than the history
// keeps is refused (TooLargeToUndo, *reason the question to ask) unless large is Take.
CommitResult CutCells(DocumentState& doc, int tab, const CellSelection& selection, ScrollPosition scroll,
                      QString* reason = nullptr, LargeStep large = LargeStep::Refuse);

// Writes the clipboard with its top-left at (row, col), clipped at the grid's last row and
// column, never wrapped; every cell written is journalled, as one undo step. CurrentRow and
// CurrentCol end on the last cell written. Unchanged when the clipboard is empty or nothing
// fits; a read-only cell in the clipped block refuses the whole paste (*reason, when given,
// names the first such cell), and a block too large to undo does as the cut's.
CommitResult PasteCells(DocumentState& doc, int tab, int row, int col, GridSize grid, ScrollPosition scroll,
                        QString* reason = nullptr, LargeStep large = LargeStep::Refuse);

} // namespace zor
