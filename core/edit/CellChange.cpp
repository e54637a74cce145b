#include "core/edit/CellChange.h"

#include "core/document/CellBytes.h"
#include "core/edit/EditHistory.h"
#include "core/value/CellValue.h"

namespace zor {

std::optional<CellContents> ContentsOf(const DocumentState& doc, const CellRef& cell)
{
    const std::optional<std::uint32_t> value = CellValueOf(doc, cell);
    if (!value)
        return std::nullopt;
    return CellContents{*value};
}

bool ApplyCellChanges(DocumentState& doc, std::span<const CellChange> changes)
{
    // The one write of a table cell: the history counts the changed cells with it.
    const auto write = [&doc](const CellRef& c, CellContents old, CellContents now) {
        (void)doc.writeCell(doc, c, now.value);
        doc.History->CellWritten(doc, c, old.value, now.value);
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const CellChange& change = changes[i];
        if (ContentsOf(doc, change.cell) != change.old || change.now.value > MaxUnsigned(CellTypeOf(doc, change.cell).Size)) {
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
