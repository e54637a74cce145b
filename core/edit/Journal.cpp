#include "core/edit/Journal.h"

#include "core/document/CellBytes.h"
#include "core/view/Conversions.h"

#include <algorithm>

namespace zor {

namespace {

// One more record on a journal: count + 1, the array resized to 0..count + 1 keeping its contents.
JournalRecord& Push(int& count, NdArray<JournalRecord, 1>& entries)
{
    ++count;
    entries.redimPreserve(count + 1);
    return entries(count);
}

StepResult TakeStep(DocumentState& doc, int& sourceCount, NdArray<JournalRecord, 1>& source, int& destinationCount,
                    NdArray<JournalRecord, 1>& destination, bool clearsModified)
{
    if (sourceCount == 0)
        return {};
    const int n = std::max(1, std::min(source(sourceCount).GroupSize, sourceCount));
    if (!JournalHasRoom(destinationCount, n))
        return {StepResult::JournalFull, {}};
    for (int i = 0; i < n; ++i) {
        const JournalRecord record = source(sourceCount);
        PushCounterRecord(doc, destinationCount, destination, record);
        LoadRecordPosition(doc, record);
        if (std::uint8_t* byte = CellByte(doc, record.Tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow))
            RestoreByte(doc, *byte, record.Value);
        --sourceCount;
    }
    // Added or deleted records are a change no journal holds: they keep the document modified.
    if (clearsModified && sourceCount == 0 && !doc.RecordCountChanged)
        doc.Modified = false;
    destination(destinationCount).GroupSize = n;
    return {StepResult::Taken, source(sourceCount + 1)};
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
    if (!JournalHasRoom(doc.UndoCount, 1))
        return false;
    const std::uint8_t* byte = CellByte(doc, tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow);
    JournalRecord& record = Push(doc.UndoCount, doc.UndoEntries);
    record = {tab, doc.CurrentDataSet, doc.CurrentCol, doc.CurrentRow, scroll.topRow, scroll.leftCol, byte ? *byte : std::uint8_t{0}, 1};
    return true;
}

bool PushCounterRecord(DocumentState& doc, int& count, NdArray<JournalRecord, 1>& entries, const JournalRecord& source)
{
    if (!JournalHasRoom(count, 1))
        return false;
    const std::uint8_t* byte = CellByte(doc, source.Tab, source.DataSet, source.Col, source.Row);
    JournalRecord& record = Push(count, entries);
    record = source;
    record.Value = byte ? *byte : std::uint8_t{0};
    return true;
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
        doc.Modified = true;
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
        if (doc.UndoCount == 0 && !doc.RecordCountChanged)
            doc.Modified = false;
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
    --doc.UndoCount; // the record stays in the spare slot
    if (doc.UndoCount == 0 && !doc.RecordCountChanged)
        doc.Modified = false;
    return CommitResult::Unchanged;
}

bool StepFits(const DocumentState& doc, bool undo)
{
    const int count = undo ? doc.UndoCount : doc.RedoCount;
    if (count == 0)
        return true;
    const NdArray<JournalRecord, 1>& source = undo ? doc.UndoEntries : doc.RedoEntries;
    const int n = std::max(1, std::min(source(count).GroupSize, count));
    return JournalHasRoom(undo ? doc.RedoCount : doc.UndoCount, n);
}

StepResult UndoStep(DocumentState& doc)
{
    return TakeStep(doc, doc.UndoCount, doc.UndoEntries, doc.RedoCount, doc.RedoEntries, true);
}

StepResult RedoStep(DocumentState& doc)
{
    return TakeStep(doc, doc.RedoCount, doc.RedoEntries, doc.UndoCount, doc.UndoEntries, false);
}

} // namespace zor
