#pragma once

// Adding and deleting battle records, as the user's commands. The grid shows the records
// without their block boundaries, so these keep GroupStarts in step with the rows; each is
// an undoable step of the edit history, and the next save re-encodes the record list.

#include "core/document/DocumentState.h"
#include "core/files/Failure.h"
#include "core/view/ViewState.h"

#include <QString>

namespace zor {

// The outcome of a row command that nothing refused. Done: the window refills the grid with
// the cursor on cursorRow and scrolls to leftCol and topRow, the battle tab's remembered view
// (its undo step brings back the view's cursor column and that scroll). Nothing: not the
// battle tab, or no record under the cursor; nothing changed. A refused command changes
// nothing, and its Failure says why.
struct RowResult {
    enum Kind { Nothing, Done } kind = Nothing;
    int cursorRow = 0;
    int leftCol = 1;
    int topRow = 1;
};

// Inserts a copy of record row before it: the records from row on move down one place,
// and the copy at row joins the block of the record it copies (a block that began at row
// begins with the copy). One undo step; the redo journal empties. The history keeps each
// row's baseline record (none for the new one). Refused on an empty table, on one of
// 32,767 records and on read-only battle records.
[[nodiscard]] Result<RowResult> InsertBattleRow(DocumentState& doc, const ViewState& view, int tab, int row);

// Deletes record row: the records after it move up one place; a block that began at row
// begins at the record that follows. One undo step, which brings the record back at its
// place in its block; the redo journal empties. Refused on an empty table, on read-only
// battle records and when row is the only record of its block.
[[nodiscard]] Result<RowResult> DeleteBattleRow(DocumentState& doc, const ViewState& view, int tab, int row);

} // namespace zor
