#pragma once

// Battle records added and deleted as changes of the edit history: the one place that
// moves records, their block starts and the baseline record each row came from.

#include "core/document/DocumentState.h"
#include "core/edit/EditHistory.h"

namespace zor {

// Does a row change (forward) or takes it back: an insertion puts change.bytes in at
// change.row, the records from there on moving down, and block starts after the row with
// them (a start at the row too unless change.blockStartsAtRow); a deletion takes the
// record at change.row out, the records after it moving up, and starts after the row with
// them. The caller has checked that the change applies (a deletion never empties a block).
void ApplyRowChange(DocumentState& doc, const RowChange& change, bool forward);

// Applies a new row change as one undo step whose view goes back to place, and empties
// the redo journal, whose steps name rows by their places before it.
void MakeRowChange(DocumentState& doc, const RowChange& change, const JournalRecord& place);

} // namespace zor
