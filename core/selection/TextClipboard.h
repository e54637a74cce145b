#pragma once

// Cells as text on the system clipboard, both ways: a text that a spreadsheet or the
// grid copied, read into a rectangle of values and pasted as one undo step; and the
// selection as the grid shows it. Beside ZOR's own cell clipboard (core/edit/Clipboard.h),
// which moves raw bytes.

#include "core/document/DocumentState.h"
#include "core/edit/CellWrites.h"
#include "core/edit/Clipboard.h"
#include "core/files/Failure.h"
#include "core/value/EditorText.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

namespace zor {

// The fields of a clipboard text, by rows, kept only as far as a paste can land: the
// clipboard's shape (one line of 50,000 fields, then 20,000 lines) costs nothing beyond
// reading its text.
struct ClipboardFields {
    int rows = 0;                       // the text's rows
    int cols = 0;                       // its longest row's fields
    QString texts;                      // the kept fields' texts, one after another
    std::vector<qsizetype> starts;      // where each kept field starts in texts, then where the last ends
    std::vector<std::size_t> rowStarts; // where each kept row starts among the kept fields, then where the last ends

    // Fields kept of a row, from 1.
    int width(int row) const
    {
        return static_cast<int>(rowStarts[static_cast<std::size_t>(row)] - rowStarts[static_cast<std::size_t>(row - 1)]);
    }
    // A kept field's text, from 1; col at most width(row).
    QStringView at(int row, int col) const
    {
        const std::size_t field = rowStarts[static_cast<std::size_t>(row - 1)] + static_cast<std::size_t>(col - 1);
        return QStringView(texts).sliced(starts[field], starts[field + 1] - starts[field]);
    }
};

// Splits a clipboard text: rows end at CRLF, LF or a lone CR (a final break ends the last
// row rather than starting another); fields are separated by tabs, or by commas when the
// text holds no tab; a field in double quotes is taken without them. Only the first maxCols
// fields of the first maxRows rows are kept.
ClipboardFields ReadClipboardFields(const QString& text, int maxRows, int maxCols);

// Pastes a clipboard text into a table with its
// top-left at the selection's cursor cell (row, col), clipped at the grid's last row and
// column, as PasteCells does; a single value onto a selection of several cells fills the
// selection instead. Each field is read by the cell it lands on, as its editor reads a text
// (ReadingOf with hexColumns), so the grid's own texts, as SelectionText copies them, read
// back as the same values and an empty field reads as 0; fields that land on no cell are
// not read. Every field is read before anything changes: one its cell can't read refuses
// the whole paste (BadText, the detail naming its row, column and text and the forms that
// cell takes). Otherwise every cell written is journalled, as one undo step; a read-only
// cell, or a step too large to undo without large Take, refuses it whole (see WriteCells).
// A field past the end of a shorter row leaves its cell as it is. The cursor ends on the
// last cell written.
[[nodiscard]] Result<ClipboardWrite> PasteText(DocumentState& doc, TableRef table, const CellSelection& selection, GridSize grid,
                                       const QString& text, ScrollPosition scroll, LargeStep large = LargeStep::Refuse,
                                       BareDigits hexColumns = BareDigits::Decimal);

// The selection (whichever way it was made) of a table as text for the system
// clipboard: each cell's number in its section's notation (CellNumberText; a Names or Bits
// cell's number, never its names, so that a paste reads it back), a tab between columns
// and "\n" after each row.
QString SelectionText(const DocumentState& doc, TableRef table, const CellSelection& selection);

} // namespace zor
