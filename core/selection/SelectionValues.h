#pragma once

// Values for a selection of cells of a table: one value for every cell, a number added, a percentage taken, or a linear series down each
// column. Cells are read in their section's sense, a signed section's bytes as -128..127
// and any other's as 0..255; results are rounded to the nearest integer, halves away from
// zero, held to that range and written back as the section's byte. Each operation is one
// undo step of the cells whose byte changes, none when none does. A text that can't be
// read (a BadText failure), a battle record whose first byte would become 0 (Refused), a
// read-only cell in the selection or a step the undo journal can't take (as WriteCells
// says) refuses the whole operation: nothing changes.

#include "core/document/DocumentState.h"
#include "core/edit/CellWrites.h"
#include "core/edit/Clipboard.h"
#include "core/files/Failure.h"

#include <QString>

namespace zor {

struct ValuesWritten {
    WriteResult write; // the step, or TooLargeToUndo
    int held = 0;      // results held at their section's range
};

// Every cell to the value text gives in one of the cell editor's forms (ParseCellText).
[[nodiscard]] Result<ValuesWritten> SetSelectionValue(DocumentState& doc, TableRef table, const CellSelection& selection,
                                                      const QString& text, ScrollPosition scroll, LargeStep large = LargeStep::Refuse);

// amount added to every cell: a decimal number, a fraction allowed, or "0x" and up to eight
// hexadecimal digits, either with a sign; a negative one subtracts.
[[nodiscard]] Result<ValuesWritten> AddToSelection(DocumentState& doc, TableRef table, const CellSelection& selection,
                                                   const QString& amount, ScrollPosition scroll, LargeStep large = LargeStep::Refuse);

// Every cell multiplied by percent / 100: a decimal number, a fraction allowed ("150", "12.5").
[[nodiscard]] Result<ValuesWritten> ScaleSelection(DocumentState& doc, TableRef table, const CellSelection& selection,
                                                   const QString& percent, ScrollPosition scroll, LargeStep large = LargeStep::Refuse);

// Each selected column a linear series from its first selected row's value to its last's.
[[nodiscard]] Result<ValuesWritten> FillSeries(DocumentState& doc, TableRef table, const CellSelection& selection,
                                               ScrollPosition scroll, LargeStep large = LargeStep::Refuse);

} // namespace zor
