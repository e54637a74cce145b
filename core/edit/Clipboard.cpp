#include "core/edit/Clipboard.h"

#include "core/document/CellBytes.h"

#include <algorithm>
#include <cstdlib>

namespace zor {

namespace {

// The byte of cell (col, row) of the shown table; a cell outside it reads as 0 and takes nothing.
std::uint8_t ByteAt(const DocumentState& doc, int tab, int col, int row)
{
    const std::uint8_t* byte = CellByte(doc, tab, doc.CurrentDataSet, col, row);
    return byte ? *byte : std::uint8_t{0};
}

void TakeSelection(DocumentState& doc, const CellSelection& s)
{
    doc.ClipSize.redim(1);
    doc.ClipSize(0) = std::abs(s.colSel - s.col) + 1;
    doc.ClipSize(1) = std::abs(s.rowSel - s.row) + 1;
    doc.SelLeftCol = std::min(s.col, s.colSel);
    doc.SelTopRow = std::min(s.row, s.rowSel);
    doc.ClipBytes.redim(doc.ClipSize(0) + 1, doc.ClipSize(1) + 1);
}

// The first read-only cell of the block of columns left..right and rows top..bottom, by rows.
std::optional<QString> FirstReadOnlyCell(const DocumentState& doc, int tab, int left, int top, int right, int bottom)
{
    if (tab == TabBattle)
        return std::nullopt; // every battle cell can be written
    for (int row = top; row <= bottom; ++row)
        for (int col = left; col <= right; ++col)
            if (std::optional<QString> reason = ReadOnlyReason(doc, tab, doc.CurrentDataSet, col, row))
                return reason;
    return std::nullopt;
}

// Refuses a change with the reason of a read-only cell.
CommitResult RefuseReadOnly(const QString& why, QString* reason)
{
    if (reason)
        *reason = why;
    return CommitResult::ReadOnly;
}

// Visits the selection's block row by row, left to right, with the cursor on each cell.
template <typename Visit>
void WalkBlock(DocumentState& doc, Visit visit)
{
    for (int i = 1; i <= doc.ClipSize(1); ++i) {
        doc.CurrentRow = doc.SelTopRow + i - 1;
        for (int j = 1; j <= doc.ClipSize(0); ++j) {
            doc.CurrentCol = doc.SelLeftCol + j - 1;
            visit(j, i);
        }
    }
}

} // namespace

void CopyCells(DocumentState& doc, int tab, const CellSelection& selection)
{
    TakeSelection(doc, selection);
    WalkBlock(doc, [&](int j, int i) { doc.ClipBytes(j, i) = ByteAt(doc, tab, doc.CurrentCol, doc.CurrentRow); });
}

CommitResult CutCells(DocumentState& doc, int tab, const CellSelection& selection, ScrollPosition scroll,
                      QString* reason)
{
    const int cells = (std::abs(selection.colSel - selection.col) + 1) * (std::abs(selection.rowSel - selection.row) + 1);
    if (!doc.History->HasRoom(JournalSide::Undo, cells))
        return CommitResult::JournalFull;
    if (const std::optional<QString> why =
            FirstReadOnlyCell(doc, tab, std::min(selection.col, selection.colSel), std::min(selection.row, selection.rowSel),
                              std::max(selection.col, selection.colSel), std::max(selection.row, selection.rowSel)))
        return RefuseReadOnly(*why, reason);
    TakeSelection(doc, selection);
    int n = 0;
    WalkBlock(doc, [&](int j, int i) {
        doc.ClipBytes(j, i) = ByteAt(doc, tab, doc.CurrentCol, doc.CurrentRow);
        PushUndoRecord(doc, tab, scroll);
        ++n;
        SetCellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow, 0);
    });
    doc.History->SetNewestGroupSize(JournalSide::Undo, n);
    return CommitResult::Changed;
}

CommitResult PasteCells(DocumentState& doc, int tab, int row, int col, GridSize grid, ScrollPosition scroll,
                        QString* reason)
{
    if (doc.ClipSize(0) == 0 || row < 1 || col < 1)
        return CommitResult::Unchanged;
    const int rows = std::min(doc.ClipSize(1), grid.rows - row);
    const int cols = std::min(doc.ClipSize(0), grid.cols - col);
    if (rows <= 0 || cols <= 0)
        return CommitResult::Unchanged;
    if (!doc.History->HasRoom(JournalSide::Undo, rows * cols))
        return CommitResult::JournalFull;
    if (const std::optional<QString> why = FirstReadOnlyCell(doc, tab, col, row, col + cols - 1, row + rows - 1))
        return RefuseReadOnly(*why, reason);
    for (int i = 1; i <= rows; ++i) {
        doc.CurrentRow = row + i - 1;
        for (int j = 1; j <= cols; ++j) {
            doc.CurrentCol = col + j - 1;
            PushUndoRecord(doc, tab, scroll);
            SetCellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow, doc.ClipBytes(j, i));
        }
    }
    doc.History->SetNewestGroupSize(JournalSide::Undo, rows * cols);
    return CommitResult::Changed;
}

} // namespace zor
