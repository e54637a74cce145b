#include "core/edit/Journal.h"

#include "core/document/CellBytes.h"
#include "core/edit/CellChange.h"
#include "core/edit/CellWrites.h"
#include "core/edit/RowChanges.h"
#include "core/files/Text.h"
#include "core/view/CellInput.h"

namespace zor {

namespace {

StepResult TakeStep(DocumentState& doc, JournalSide from, JournalSide to)
{
    EditHistory& history = *doc.History;
    std::optional<JournalStep> step = history.TakeNewest(from);
    if (!step)
        return {};
    const JournalRecord oldest = step->cells.front();
    if (step->row) {
        ApplyRowChange(doc, *step->row, from == JournalSide::Redo);
        history.Push(to, std::move(*step));
        return {StepResult::Taken, oldest, true};
    }
    // Newest first; the counter step holds what each cell held, so that it runs the other way.
    JournalStep counter;
    counter.cells.reserve(step->cells.size());
    std::vector<CellChange> changes;
    changes.reserve(step->cells.size());
    for (auto record = step->cells.rbegin(); record != step->cells.rend(); ++record) {
        const CellRef cell{record->Tab, record->DataSet, record->Col, record->Row};
        const CellContents now = ContentsOf(doc, cell).value_or(CellContents{});
        JournalRecord back = *record;
        back.Value = now.value;
        counter.cells.push_back(back);
        changes.push_back({cell, now, {record->Value}});
    }
    // A step's cells are each named once, as WriteCells made it.
    if (!ApplyCellChanges(doc, changes)) {
        history.Push(from, std::move(*step));
        return {};
    }
    history.Push(to, std::move(counter));
    return {StepResult::Taken, oldest, false};
}

} // namespace

QString TooLargeToUndoQuestion(int records, std::size_t limit)
{
    return QStringLiteral("この変更は %1 個のセルを変えます。元に戻せるのは %2 個までなので、この変更と、それより前の変更は元に戻せなくなります。"
                          "変更しますか？")
        .arg(records)
        .arg(limit);
}

Result<WriteResult> CommitCellText(DocumentState& doc, const CellRef& cell, const QString& text, ScrollPosition scroll,
                                   BareDigits hexColumns)
{
    if (!ContentsOf(doc, cell))
        return WriteResult{};
    if (const std::optional<QString> why = ReadOnlyReason(doc, cell.tab, cell.dataSet, cell.col, cell.row))
        return Failure::Of(Failure::Kind::Refused, QString(), *why);
    const std::optional<std::uint32_t> value = ReadingOf(doc, cell, hexColumns).read(text);
    if (!value)
        return Failure::Of(Failure::Kind::BadText, QString(), QStringLiteral("「%1」は値として読めません。").arg(QuoteText(text)));
    return CommitCellValue(doc, cell, *value, scroll);
}

Result<WriteResult> CommitCellValue(DocumentState& doc, const CellRef& cell, std::uint32_t value, ScrollPosition scroll)
{
    const CellWrite write{cell, value};
    // One record is never too large to keep; a history that keeps none drops it as it would any.
    return WriteCells(doc, {&write, 1}, scroll, UnchangedCells::Skipped, LargeStep::Take);
}

StepResult UndoStep(DocumentState& doc) { return TakeStep(doc, JournalSide::Undo, JournalSide::Redo); }

StepResult RedoStep(DocumentState& doc) { return TakeStep(doc, JournalSide::Redo, JournalSide::Undo); }

} // namespace zor
