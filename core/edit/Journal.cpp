#include "core/edit/Journal.h"

#include "core/document/CellBytes.h"
#include "core/view/Conversions.h"

#include <algorithm>

namespace zor {

namespace {

StepResult TakeStep(DocumentState& doc, JournalSide from, JournalSide to, bool clearsModified)
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
        if (std::uint8_t* byte = CellByte(doc, record.Tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow))
            RestoreByte(doc, *byte, record.Value);
        history.Withdraw(from);
    }
    // Added or deleted records are a change no journal holds: they keep the document modified.
    if (clearsModified && history.Journal(from).Count == 0 && !history.RecordCountChanged())
        history.SetModified(false);
    history.SetNewestGroupSize(to, n);
    return {StepResult::Taken, record};
}

} // namespace

QString JournalFullMessage()
{
    return QStringLiteral("変更の記録がいっぱいです（%1 件）。この変更はできません。保存してからもう一度読み込むと、続けて編集できます。")
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

void RestoreByte(DocumentState& doc, std::uint8_t& target, std::uint8_t source)
{
    if (target != source)
        doc.History->SetModified(true);
    target = source;
}

CommitResult CommitCellText(DocumentState& doc, int tab, const QString& text, ScrollPosition scroll, QString* reason)
{
    std::uint8_t* byte = CellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow);
    if (!byte)
        return CommitResult::Unchanged;
    if (const std::optional<QString> why = ReadOnlyReason(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow)) {
        if (reason)
            *reason = *why;
        // Nothing changed: the editor's typing alone does not leave the document modified.
        if (doc.History->UndoCount() == 0 && !doc.History->RecordCountChanged())
            doc.History->SetModified(false);
        return CommitResult::ReadOnly;
    }
    const std::optional<std::uint8_t> value = ParseCellText(text);
    if (!value)
        return CommitResult::UnreadableText;
    if (!PushUndoRecord(doc, tab, scroll))
        return CommitResult::JournalFull;
    const std::uint8_t old = *byte;
    *byte = *value;
    if (*byte != old)
        return CommitResult::Changed;
    doc.History->Withdraw(JournalSide::Undo);
    if (doc.History->UndoCount() == 0 && !doc.History->RecordCountChanged())
        doc.History->SetModified(false);
    return CommitResult::Unchanged;
}

bool StepFits(const DocumentState& doc, bool undo)
{
    const JournalSide from = undo ? JournalSide::Undo : JournalSide::Redo;
    return doc.History->HasRoom(undo ? JournalSide::Redo : JournalSide::Undo, doc.History->NewestStepSize(from));
}

StepResult UndoStep(DocumentState& doc)
{
    return TakeStep(doc, JournalSide::Undo, JournalSide::Redo, true);
}

StepResult RedoStep(DocumentState& doc)
{
    return TakeStep(doc, JournalSide::Redo, JournalSide::Undo, false);
}

} // namespace zor
