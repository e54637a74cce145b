#include "core/edit/Journal.h"

#include "core/document/CellBytes.h"
#include "core/edit/RowChanges.h"
#include "core/view/Conversions.h"

namespace zor {

namespace {

// CurrentDataSet, CurrentCol and CurrentRow from a record: where the view goes back to.
void LoadRecordPosition(DocumentState& doc, const JournalRecord& record)
{
    doc.CurrentDataSet = record.DataSet;
    doc.CurrentCol = record.Col;
    doc.CurrentRow = record.Row;
}

StepResult TakeStep(DocumentState& doc, JournalSide from, JournalSide to)
{
    EditHistory& history = *doc.History;
    std::optional<JournalStep> step = history.TakeNewest(from);
    if (!step)
        return {};
    const JournalRecord oldest = step->cells.front();
    if (step->row) {
        ApplyRowChange(doc, *step->row, from == JournalSide::Redo);
        LoadRecordPosition(doc, oldest);
        history.Push(to, std::move(*step));
        return {StepResult::Taken, oldest, true};
    }
    // Newest first; the counter step holds what each cell held, so that it runs the other way.
    JournalStep counter;
    counter.cells.reserve(step->cells.size());
    for (auto record = step->cells.rbegin(); record != step->cells.rend(); ++record) {
        const std::uint8_t* byte = CellByte(doc, record->Tab, record->DataSet, record->Col, record->Row);
        JournalRecord back = *record;
        back.Value = byte ? *byte : std::uint8_t{0};
        counter.cells.push_back(back);
        SetCellByte(doc, record->Tab, record->DataSet, record->Col, record->Row, record->Value);
    }
    LoadRecordPosition(doc, oldest);
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

CommitResult CommitCellText(DocumentState& doc, int tab, const QString& text, ScrollPosition scroll, QString* reason)
{
    const std::uint8_t* byte = CellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow);
    if (!byte)
        return CommitResult::Unchanged;
    if (const std::optional<QString> why = ReadOnlyReason(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow)) {
        if (reason)
            *reason = *why;
        return CommitResult::ReadOnly;
    }
    const std::optional<std::uint8_t> value = ParseCellText(text);
    if (!value)
        return CommitResult::UnreadableText;
    if (*value == *byte)
        return CommitResult::Unchanged;
    JournalStep step;
    step.cells.push_back({tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow, scroll.topRow, scroll.leftCol, *byte});
    SetCellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow, *value);
    doc.History->Push(JournalSide::Undo, std::move(step));
    return CommitResult::Changed;
}

StepResult UndoStep(DocumentState& doc) { return TakeStep(doc, JournalSide::Undo, JournalSide::Redo); }

StepResult RedoStep(DocumentState& doc) { return TakeStep(doc, JournalSide::Redo, JournalSide::Undo); }

} // namespace zor
