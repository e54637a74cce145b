#pragma once

// The one place that turns a grid cell of a table into its document byte: tab 1
// (column, row - 1) of the data set's Bytes, tab 2 the entry of the row (the column
// does not matter), tab 3 (column, row) of BattleParams. nullptr outside the table.
// Beside it, where such a cell lies in the image and whether it may be written.

#include "core/document/DocumentState.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zor {

const std::uint8_t* CellByte(const DocumentState& doc, int tab, int dataSet, int col, int row);

// The bytes of one row of a table, for code that walks all its sections: the byte of the
// cell in column c (grid coordinates, as CellByte) is first[(c - 1) * step]. On tab 2 a row
// has one column. Empty (first null) outside the table.
struct RowBytes {
    const std::uint8_t* first = nullptr;
    std::ptrdiff_t step = 0;
    int columns = 0;

    std::uint8_t operator[](int col) const { return first[(col - 1) * step]; }
};
RowBytes CellRowBytes(const DocumentState& doc, int tab, int dataSet, int row);

// The file offset of a cell: on tab 1 its section's offset + ID number × step, on tab 2
// its entry's offset, in 64 bits, so it may lie before the image or far past it. nullopt
// for a battle cell (the blocks have no fixed place), a cell outside its table, and a
// cell whose offset line is unusable.
std::optional<std::int64_t> CellOffset(const DocumentState& doc, int tab, int dataSet, int col, int row);

// A cell of tab 1 or 2 as a message names it: the table, the ID or entry, the section.
QString CellName(const DocumentState& doc, int tab, int dataSet, int col, int row);

// Why a cell is read-only, in a short Japanese sentence: no cell of the image may change
// (ImageReadOnly), the battle records may not (BattleReadOnly), or, naming the cell (the table, the ID or entry, the section), its offset
// is unusable, lies before the image or at or past the image size limit. nullopt when it
// can be written; a cell outside every table holds nothing to refuse.
std::optional<QString> ReadOnlyReason(const DocumentState& doc, int tab, int dataSet, int col, int row);

// Why the battle records may not change (ImageReadOnly, else BattleReadOnly); nullopt when
// they may. Cells, row commands and the save's encoding all ask this.
std::optional<QString> BattleReadOnlyReason(const DocumentState& doc);

inline bool IsCellWritable(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    return !ReadOnlyReason(doc, tab, dataSet, col, row);
}

} // namespace zor
