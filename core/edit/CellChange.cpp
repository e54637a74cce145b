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
    // The one write of a table byte: the history counts the changed cells with it.
    const auto write = [&doc](const CellRef& c, CellContents old, CellContents now) {
        *doc.cellByte(doc, c.tab, c.dataSet, c.col, c.row) = now.byte;
        doc.History->CellWritten(c.tab, c.dataSet, c.col, c.row, old.byte, now.byte);
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const CellChange& change = changes[i];
        if (ContentsOf(doc, change.cell) != change.old) {
            // Back to how it was: the changes already written, newest first.
            while (i-- > 0)
                write(changes[i].cell, changes[i].now, changes[i].old);
            return false;
        }
        write(change.cell, change.old, change.now);
    }
    return true;
}

} // namespace zor
