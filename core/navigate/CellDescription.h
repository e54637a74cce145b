#pragma once

// What the status bar says of the cell under the cursor: which row and section it is,
// where its bytes lie in the image, and its value in every notation.

#include "core/document/DocumentState.h"

#include <QString>

namespace zor {

// Cell (row, col) of the table tab shows (dataSet on tab 1), in grid coordinates:
//   tab 1: ID in decimal and hexadecimal, its name, the section, offset and SNES address;
//   tab 2: the entry number and name, offset and address;
//   tab 3: the record number, its battle block, its class (the row label) and the section,
//          but no offset: the records are stored compressed;
// each ending with the value as hexadecimal, unsigned and signed of its size, and the names
// a Names or Bits cell shows for it. A wider cell's offsets are a range ("0x061003–0x061004"),
// its address its first byte's; a battle byte inside an earlier field names the field's
// first byte. An offset that can't be read or written (core/document/CellBytes.h,
// ReadOnlyReason) is said to be so instead.
// Empty outside the table. Cheap enough for every move of the cursor.
QString DescribeCell(const DocumentState& doc, int tab, int dataSet, int row, int col);

} // namespace zor
