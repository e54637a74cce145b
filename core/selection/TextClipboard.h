#pragma once

// Cells as text on the system clipboard, both ways: a text that a spreadsheet or the
// grid copied, read into a rectangle of values and pasted as one undo step; and the
// selection as the grid shows it. Beside ZOR's own cell clipboard (core/edit/Clipboard.h),
// which moves raw bytes.

#include "core/document/DocumentState.h"
#include "core/edit/CellWrites.h"
#include "core/edit/Clipboard.h"
#include "core/files/Failure.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace zor {

// The values of a clipboard text, by rows, kept only as far as a paste can land: the
// clipboard's shape (one line of 50,000 fields, then 20,000 lines) costs nothing beyond
// reading its text.
struct ClipboardValues {
    int rows = 0;                       // the text's rows
    int cols = 0;                       // its longest row's fields
    std::vector<std::uint8_t> values;   // the values kept, row after row
    std::vector<std::size_t> rowStarts; // where each kept row starts in values, then where the last ends

    // Fields kept of a row, from 1.
    int width(int row) const
    {
        return static_cast<int>(rowStarts[static_cast<std::size_t>(row)] - rowStarts[static_cast<std::size_t>(row - 1)]);
    }
    // A kept value, from 1; col at most width(row).
    std::uint8_t at(int row, int col) const
    {
        return values[rowStarts[static_cast<std::size_t>(row - 1)] + static_cast<std::size_t>(col - 1)];
    }
};

// Reads a clipboard text: rows end at CRLF, LF or a lone CR (a final break ends the last
// row rather than starting another); fields are separated by tabs, or by commas when the
// text holds no tab; a field in double quotes is taken without them. Each value is read as
// the CSV import reads values (ParseValueText) in each section's own notation, whatever
// CSVNotation says: the grid's own texts, as SelectionText copies them, read back as the
// same bytes. So an empty field reads as 0, as the cell editor's empty text does. Every
// value is read, but only the first maxCols fields of the first maxRows rows are kept.
// Refused (BadText) at the first value that can't be read, named by row, column and text.
[[nodiscard]] Result<ClipboardValues> ReadClipboardValues(const QString& text, int maxRows, int maxCols);

// Pastes a clipboard text into a table with its
// top-left at the selection's cursor cell (row, col), clipped at the grid's last row and
// column, as PasteCells does; a single value onto a selection of several cells fills the
// selection instead. Every value is read before anything changes: one that can't be read
// refuses the whole paste (BadText, the detail naming its row, column and text).
// Otherwise every cell written is journalled, as one undo step; a read-only cell, or a step
// too large to undo without large Take, refuses it whole (see WriteCells). A field past the end of a shorter row
// leaves its cell as it is. The cursor ends on the last cell written.
[[nodiscard]] Result<ClipboardWrite> PasteText(DocumentState& doc, TableRef table, const CellSelection& selection, GridSize grid,
                                       const QString& text, ScrollPosition scroll, LargeStep large = LargeStep::Refuse);

// The selection (whichever way it was made) of a table as text for the system
// clipboard: each cell's number in its section's notation (CellNumberText; a Names or Bits
// cell's number, never its names, so that a paste reads it back), a tab between columns
// and "\n" after each row.
QString SelectionText(const DocumentState& doc, TableRef table, const CellSelection& selection);

} // namespace zor
