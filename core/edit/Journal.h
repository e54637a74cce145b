#pragma once

// The undo and redo journals: one JournalRecord per changed cell, the records of one
// step tied by the GroupSize of its newest record. A journal that is full refuses the
// change rather than drop its oldest records.

#include "core/document/DocumentState.h"
#include "core/edit/EditHistory.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace zor {

// Where the grid was scrolled when a record was made; undo and redo bring it back.
struct ScrollPosition {
    int topRow = 1;
    int leftCol = 1;
};

// Why a change was refused.
QString JournalFullMessage();
// Why a change of many cells was refused: its records would not fit, naming how many it needs.
QString JournalFullMessage(int records);

// Whether a journal holding count records takes n more.
bool JournalHasRoom(int count, int n);

// Appends a record of the edit cell (tab, CurrentDataSet, CurrentCol, CurrentRow) holding
// its current byte, with GroupSize 1. False, and nothing changes, when the journal is full.
bool PushUndoRecord(DocumentState& doc, int tab, ScrollPosition scroll);

// Appends to a journal a copy of source whose Value is the byte its cell holds now
// (in the record's own data set). False when the journal is full.
bool PushCounterRecord(DocumentState& doc, JournalSide side, const JournalRecord& source);

// CurrentDataSet, CurrentCol and CurrentRow from a record.
void LoadRecordPosition(DocumentState& doc, const JournalRecord& record);

// The outcome of a change of cells: ReadOnly when it touched a cell that can't be written
// (see ReadOnlyReason), which refuses the whole change; Refused when the command's own
// check refused it (it says why).
enum class CommitResult { Unchanged, Changed, JournalFull, ReadOnly, UnreadableText, Refused };

// Stores text as the byte of the edit cell and journals it. A text that gives the byte
// the cell holds withdraws its record. A full journal, a read-only cell or a text that
// has none of the editor's forms (ParseCellText) refuses the edit: the cell keeps its
// byte and nothing is journalled; for a read-only cell *reason (when given) says why,
// naming the cell.
CommitResult CommitCellText(DocumentState& doc, int tab, const QString& text, ScrollPosition scroll,
                            QString* reason = nullptr);

// The outcome of an undo or redo step: nothing to take, a step taken (with the oldest
// record of it, whose place the view goes back to), or refused as the other journal is full.
struct StepResult {
    enum Kind { Nothing, Taken, JournalFull } kind = Nothing;
    JournalRecord oldest;
};

// Whether the other journal has room for the newest step of the undo (or redo) journal.
bool StepFits(const DocumentState& doc, bool undo);

// Takes the newest step off the undo journal onto the redo journal, putting the old bytes back.
StepResult UndoStep(DocumentState& doc);
// The same from the redo journal onto the undo journal.
StepResult RedoStep(DocumentState& doc);

} // namespace zor
