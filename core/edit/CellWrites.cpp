#include "core/edit/CellWrites.h"

#include "core/document/CellBytes.h"

namespace zor {

WriteResult WriteCells(DocumentState& doc, std::span<const CellWrite> writes, std::optional<ScrollPosition> scroll,
                       UnchangedCells unchanged)
{
    const bool skip = unchanged == UnchangedCells::Skipped;
    const auto byteOf = [&](const CellRef& c) { return CellByte(doc, c.tab, c.dataSet, c.col, c.row); };
    int records = 0;
    for (const CellWrite& write : writes)
        if (const std::uint8_t* byte = byteOf(write.cell); byte && (!skip || *byte != write.value))
            ++records;
    if (records == 0)
        return {};
    EditHistory& history = *doc.History;
    if (!history.HasRoom(JournalSide::Undo, records))
        return {CommitResult::JournalFull, records, JournalFullMessage(records)};
    for (const CellWrite& write : writes) {
        const CellRef& c = write.cell;
        if (std::optional<QString> why = ReadOnlyReason(doc, c.tab, c.dataSet, c.col, c.row))
            return {CommitResult::ReadOnly, records, *why};
    }
    for (const CellWrite& write : writes) {
        const CellRef& c = write.cell;
        const std::uint8_t* byte = byteOf(c);
        if (!byte || (skip && *byte == write.value))
            continue;
        const ScrollPosition view = scroll.value_or(ScrollPosition{c.row, c.col});
        history.Push(JournalSide::Undo, {c.tab, c.dataSet, c.col, c.row, view.topRow, view.leftCol, *byte, 1});
        SetCellByte(doc, c.tab, c.dataSet, c.col, c.row, write.value);
    }
    history.SetNewestGroupSize(JournalSide::Undo, records);
    return {CommitResult::Changed, records, QString()};
}

} // namespace zor
