#include "core/edit/Clipboard.h"

#include "core/document/CellBytes.h"
#include "core/edit/CellWrites.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

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

// The outcome of a write as the commands of the cell clipboard tell it.
CommitResult Told(const WriteResult& written, QString* reason)
{
    if (reason && (written.result == CommitResult::ReadOnly || written.result == CommitResult::TooLargeToUndo))
        *reason = written.reason;
    return written.result;
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
                      QString* reason, LargeStep large)
{
    // The bytes as they are before they become 0, by rows as WalkBlock visits them.
    std::vector<std::uint8_t> taken;
    std::vector<CellWrite> zeros;
    for (int row = std::min(selection.row, selection.rowSel); row <= std::max(selection.row, selection.rowSel); ++row)
        for (int col = std::min(selection.col, selection.colSel); col <= std::max(selection.col, selection.colSel); ++col) {
            taken.push_back(ByteAt(doc, tab, col, row));
            zeros.push_back({{tab, doc.CurrentDataSet, col, row}, 0});
        }
    const CommitResult result = Told(WriteCells(doc, zeros, scroll, UnchangedCells::Journalled, large), reason);
    if (result != CommitResult::Changed)
        return result; // the clipboard stays as it was
    TakeSelection(doc, selection);
    std::size_t next = 0;
    WalkBlock(doc, [&](int j, int i) { doc.ClipBytes(j, i) = taken[next++]; });
    return result;
}

CommitResult PasteCells(DocumentState& doc, int tab, int row, int col, GridSize grid, ScrollPosition scroll,
                        QString* reason, LargeStep large)
{
    if (doc.ClipSize(0) == 0 || row < 1 || col < 1)
        return CommitResult::Unchanged;
    const int rows = std::min(doc.ClipSize(1), grid.rows - row);
    const int cols = std::min(doc.ClipSize(0), grid.cols - col);
    if (rows <= 0 || cols <= 0)
        return CommitResult::Unchanged;
    std::vector<CellWrite> writes;
    writes.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j)
            writes.push_back({{tab, doc.CurrentDataSet, col + j - 1, row + i - 1}, doc.ClipBytes(j, i)});
    const CommitResult result = Told(WriteCells(doc, writes, scroll, UnchangedCells::Journalled, large), reason);
    if (result == CommitResult::Changed) {
        doc.CurrentRow = row + rows - 1;
        doc.CurrentCol = col + cols - 1;
    }
    return result;
}

} // namespace zor
