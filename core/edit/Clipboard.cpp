#include "core/edit/Clipboard.h"

#include "core/edit/CellChange.h"
#include "core/edit/CellWrites.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace zor {

namespace {

// The value of a cell; a cell outside the table reads as 0 and takes nothing.
std::uint32_t ValueAt(const DocumentState& doc, const CellRef& cell)
{
    return ContentsOf(doc, cell).value_or(CellContents{}).value;
}

// The block's cells row by row, left to right, as the clipboard holds them.
template <typename Visit>
CellRef WalkBlock(const CellClipboard& clip, TableRef table, Visit visit)
{
    for (int i = 1; i <= clip.rows(); ++i)
        for (int j = 1; j <= clip.cols(); ++j)
            visit(j, i, table.at(clip.leftCol() + j - 1, clip.topRow() + i - 1));
    return table.at(clip.leftCol() + clip.cols() - 1, clip.topRow() + clip.rows() - 1);
}

} // namespace

void CellClipboard::take(const CellSelection& s)
{
    ClipSize.redim(1);
    ClipSize(0) = std::abs(s.colSel - s.col) + 1;
    ClipSize(1) = std::abs(s.rowSel - s.row) + 1;
    SelLeftCol = std::min(s.col, s.colSel);
    SelTopRow = std::min(s.row, s.rowSel);
    ClipValues.redim(ClipSize(0) + 1, ClipSize(1) + 1);
}

CellRef CopyCells(CellClipboard& clip, const DocumentState& doc, TableRef table, const CellSelection& selection)
{
    clip.take(selection);
    return WalkBlock(clip, table, [&](int j, int i, const CellRef& cell) { clip.set(j, i, ValueAt(doc, cell)); });
}

Result<ClipboardWrite> CutCells(CellClipboard& clip, DocumentState& doc, TableRef table, const CellSelection& selection,
                                ScrollPosition scroll, LargeStep large)
{
    // The values as they are before they become 0, by rows as WalkBlock visits them.
    std::vector<std::uint32_t> taken;
    std::vector<CellWrite> zeros;
    for (int row = std::min(selection.row, selection.rowSel); row <= std::max(selection.row, selection.rowSel); ++row)
        for (int col = std::min(selection.col, selection.colSel); col <= std::max(selection.col, selection.colSel); ++col) {
            taken.push_back(ValueAt(doc, table.at(col, row)));
            zeros.push_back({table.at(col, row), 0});
        }
    const Result<WriteResult> written = WriteCells(doc, zeros, scroll, UnchangedCells::Journalled, large);
    if (!written)
        return written.failure(); // the clipboard stays as it was
    ClipboardWrite result{*written, {}};
    if (written->result != CommitResult::Changed)
        return result;
    clip.take(selection);
    std::size_t next = 0;
    result.last = WalkBlock(clip, table, [&](int j, int i, const CellRef&) { clip.set(j, i, taken[next++]); });
    return result;
}

Result<ClipboardWrite> PasteCells(const CellClipboard& clip, DocumentState& doc, TableRef table, int row, int col, GridSize grid,
                                  ScrollPosition scroll, LargeStep large)
{
    if (clip.empty() || row < 1 || col < 1)
        return ClipboardWrite{};
    const int rows = std::min(clip.rows(), grid.rows - row);
    const int cols = std::min(clip.cols(), grid.cols - col);
    if (rows <= 0 || cols <= 0)
        return ClipboardWrite{};
    std::vector<CellWrite> writes;
    writes.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j)
            writes.push_back({table.at(col + j - 1, row + i - 1), clip.at(j, i)});
    const Result<WriteResult> written = WriteCells(doc, writes, scroll, UnchangedCells::Journalled, large);
    if (!written)
        return written.failure();
    return ClipboardWrite{*written, table.at(col + cols - 1, row + rows - 1)};
}

} // namespace zor
