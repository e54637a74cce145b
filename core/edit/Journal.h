#pragma once

// The undo and redo journals: one JournalRecord per changed cell, grouped in the steps of
// the edit history (EditHistory.h). No change is refused for room: the history drops its
// oldest steps instead.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/edit/EditHistory.h"
#include "core/files/Failure.h"
#include "core/value/EditorText.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace zor {

// Where the grid was scrolled when a record was made; undo and redo bring it back.
struct ScrollPosition {
    int topRow = 1;
    int leftCol = 1;
};

// The outcome of a change of cells that nothing refused: TooLargeToUndo when it would change
// more cells than the history keeps and the caller didn't say to take it all the same
// (nothing changed). A refused change is a Failure: Refused when it touched a cell that
// can't be written (the reason names it, see ReadOnlyReason) or the command's own check
// refused it, BadText when the text given has no value.
enum class CommitResult { Unchanged, Changed, TooLargeToUndo };

// Whether a change too large for the history is refused (so that the user can be asked
// first) or taken, emptying the undo side, since it can't be undone.
enum class LargeStep { Refuse, Take };

// What to ask before a change of this many cells, which a history keeping limit records can't keep.
QString TooLargeToUndoQuestion(int records, std::size_t limit);

// The outcome of a change of many cells and how many records its step holds.
struct WriteResult {
    CommitResult result = CommitResult::Unchanged;
    int records = 0; // Changed: the records of the step; TooLargeToUndo: the records it would have made
};

// Stores the value text gives in cell (read as ReadingOf(doc, cell, hexColumns) reads it)
// and journals it as one step; a text that gives the value the cell holds makes no step. A
// read-only cell (the reason names it) or a text the cell can't read (BadText, naming the
// text) refuses the edit: the cell keeps its value and nothing is journalled.
[[nodiscard]] Result<WriteResult> CommitCellText(DocumentState& doc, const CellRef& cell, const QString& text, ScrollPosition scroll,
                                                 BareDigits hexColumns = BareDigits::Decimal);

// The same with the value itself, as a list of names or bits gives it; a value the cell's
// size can't hold is refused (BadText).
[[nodiscard]] Result<WriteResult> CommitCellValue(DocumentState& doc, const CellRef& cell, std::uint32_t value, ScrollPosition scroll);

// The outcome of an undo or redo step: nothing to take, or a step taken, with the record
// whose place the view goes back to (a cell step's oldest cell, a row step's row); rows
// says the step added or deleted battle records.
struct StepResult {
    enum Kind { Nothing, Taken } kind = Nothing;
    JournalRecord oldest;
    bool rows = false;
};

// Takes the newest step of the undo journal back and moves it to the redo journal: the old
// bytes go back, an added record goes, a deleted one comes back at its place in its block.
StepResult UndoStep(DocumentState& doc);
// The same from the redo journal onto the undo journal, doing the step again.
StepResult RedoStep(DocumentState& doc);

} // namespace zor
