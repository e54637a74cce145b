#include "core/edit/Journal.h"

#include "core/document/CellBytes.h"
#include "core/view/Conversions.h"

#include <algorithm>

namespace zor {

namespace {

StepResult TakeStep(DocumentState& doc, JournalSide from, JournalSide to)
{
    EditHistory& history = *doc.History;
    const int n = history.NewestStepSize(from);
    if (n == 0)
        return {};
    if (!history.HasRoom(to, n))
        return {StepResult::JournalFull, {}};
    JournalRecord record;
    for (int i = 0; i < n; ++i) {
        record = history.Journal(from).Entries(history.Journal(from).Count);
        PushCounterRecord(doc, to, record);
        LoadRecordPosition(doc, record);
        SetCellByte(doc, record.Tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow, record.Value);
        history.Withdraw(from);
    }
    history.SetNewestGroupSize(to, n);
    return {StepResult::Taken, record};
}

} // namespace

QString JournalFullMessage()
{
    return QStringLiteral("変更の記録がいっぱいです（%1 件）。この変更はできません。保存してからもう一度読み込むと、続けて編集できます。")
        .arg(kMaxJournalRecords);
}

QString JournalFullMessage(int records)
{
    return QStringLiteral("この変更は %1 件のセルを変えるため、変更の記録（%2 件まで）に入りきりません。この変更はできません。"
                          "保存してからもう一度読み込むと、続けて編集できます。")
        .arg(records)
        .arg(kMaxJournalRecords);
}

bool JournalHasRoom(int count, int n) { return count + n <= kMaxJournalRecords; }

bool PushUndoRecord(DocumentState& doc, int tab, ScrollPosition scroll)
{
    const std::uint8_t* byte = CellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow);
    return doc.History->Push(JournalSide::Undo, {tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow, scroll.topRow,
                                                 scroll.leftCol, byte ? *byte : std::uint8_t{0}, 1});
}

bool PushCounterRecord(DocumentState& doc, JournalSide side, const JournalRecord& source)
{
    const std::uint8_t* byte = CellByte(doc, source.Tab, source.DataSet, source.Col, source.Row);
    JournalRecord record = source;
    record.Value = byte ? *byte : std::uint8_t{0};
    return doc.History->Push(side, record);
}

void LoadRecordPosition(DocumentState& doc, const JournalRecord& record)
{
    doc.CurrentDataSet = record.DataSet;
    doc.CurrentCol = record.Col;
    doc.CurrentRow = record.Row;
}

CommitResult CommitCellText(DocumentState& doc, int tab, const QString& text, ScrollPosition scroll, QString* reason)
{
    std::uint8_t* byte = CellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow);
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
    if (!PushUndoRecord(doc, tab, scroll))
        return CommitResult::JournalFull;
    const std::uint8_t old = *byte;
    SetCellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow, *value);
    if (*value != old)
        return CommitResult::Changed;
    doc.History->Withdraw(JournalSide::Undo);
    return CommitResult::Unchanged;
}

bool StepFits(const DocumentState& doc, bool undo)
{
    const JournalSide from = undo ? JournalSide::Undo : JournalSide::Redo;
    return doc.History->HasRoom(undo ? JournalSide::Redo : JournalSide::Undo, doc.History->NewestStepSize(from));
}

StepResult UndoStep(DocumentState& doc)
{
    return TakeStep(doc, JournalSide::Undo, JournalSide::Redo);
}

StepResult RedoStep(DocumentState& doc)
{
    return TakeStep(doc, JournalSide::Redo, JournalSide::Undo);
}

} // namespace zor
