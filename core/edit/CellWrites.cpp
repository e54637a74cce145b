#include "core/edit/CellWrites.h"

#include "core/document/CellBytes.h"
#include "core/edit/CellChange.h"
#include "core/value/CellValue.h"

namespace zor {

Result<WriteResult> WriteCells(DocumentState& doc, std::span<const CellWrite> writes, std::optional<ScrollPosition> scroll,
                       UnchangedCells unchanged, LargeStep large)
{
    const bool skip = unchanged == UnchangedCells::Skipped;
    std::size_t records = 0;
    for (const CellWrite& write : writes)
        if (const std::optional<std::uint32_t> value = CellValueOf(doc, write.cell); value && (!skip || *value != write.value))
            ++records;
    if (records == 0)
        return WriteResult{};
    for (const CellWrite& write : writes) {
        const CellRef& c = write.cell;
        if (std::optional<QString> why = ReadOnlyReason(doc, c.tab, c.dataSet, c.col, c.row))
            return Failure::Of(Failure::Kind::Refused, QString(), *why);
        if (const int size = CellTypeOf(doc, c).Size; write.value > MaxUnsigned(size) && CellByte(doc, c.tab, c.dataSet, c.col, c.row))
            return Failure::Of(Failure::Kind::Refused, QString(),
                               QStringLiteral("%1は %2 バイトの値のため、%3 は入りません（%4 まで）。何も変えていません。")
                                   .arg(CellName(doc, c.tab, c.dataSet, c.col, c.row))
                                   .arg(size)
                                   .arg(write.value)
                                   .arg(MaxUnsigned(size)));
    }
    const bool kept = records <= doc.History->Limit();
    if (!kept && large == LargeStep::Refuse)
        return WriteResult{CommitResult::TooLargeToUndo, static_cast<int>(records)};
    std::vector<CellChange> changes;
    changes.reserve(records);
    JournalStep step;
    if (kept)
        step.cells.reserve(records);
    for (const CellWrite& write : writes) {
        const CellRef& c = write.cell;
        const std::optional<std::uint32_t> value = CellValueOf(doc, c);
        if (!value || (skip && *value == write.value))
            continue;
        changes.push_back({c, {*value}, {write.value}});
        const ScrollPosition view = scroll.value_or(ScrollPosition{c.row, c.col});
        if (kept)
            step.cells.push_back({c.tab, c.dataSet, c.col, c.row, view.topRow, view.leftCol, *value});
    }
    // Each cell is written once; the one function refuses a list that names one twice.
    if (!ApplyCellChanges(doc, changes))
        return Failure::Of(Failure::Kind::Refused, QString(), QStringLiteral("同じセルに二度書こうとしたため、何も変えていません。"));
    // A step the history can't keep can't be undone, and nothing before it either.
    if (kept)
        doc.History->Push(JournalSide::Undo, std::move(step));
    else
        doc.History->Clear(JournalSide::Undo);
    return WriteResult{CommitResult::Changed, static_cast<int>(records)};
}

} // namespace zor
