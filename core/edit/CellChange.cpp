#include "core/edit/CellChange.h"

#include "core/document/CellBytes.h"
#include "core/edit/EditHistory.h"

namespace zor {

std::optional<CellContents> ContentsOf(const DocumentState& doc, const CellRef& cell)
{
    const std::uint8_t* byte = CellByte(doc, cell.tab, cell.dataSet, cell.col, cell.row);
    if (!byte)
        return std::nullopt;
    return CellContents{*byte};
}

bool ApplyCellChanges(DocumentState& doc, std::span<const CellChange> changes)
{
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const CellChange& change = changes[i];
        if (ContentsOf(doc, change.cell) != change.old) {
            // Back to how it was: the changes already written, newest first.
            while (i-- > 0) {
                const CellRef& c = changes[i].cell;
                (void)SetCellByte(doc, c.tab, c.dataSet, c.col, c.row, changes[i].old.byte);
            }
            return false;
        }
        const CellRef& c = change.cell;
        (void)SetCellByte(doc, c.tab, c.dataSet, c.col, c.row, change.now.byte);
    }
    return true;
}

} // namespace zor
