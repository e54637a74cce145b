#pragma once

// A grid column of a tab's table as numbers, for whatever reads a whole column at once
// (the shading of cells by value, the chart): the number each cell's value stands for in
// its section's notation, and for a column of one-byte cells its bytes in one run.

#include "core/document/DocumentState.h"
#include "core/value/CellValue.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zor {

// The bytes of data column col of a tab's table, by row from row 1: on tab 1 the section's
// byte of every ID, on tab 3 of every record, on tab 2 (column 1 only) every entry's byte.
// Each lies in one run of its array, so the span is no copy. Empty outside the table and
// for a column whose cells are wider than a byte (on tab 2, when any entry is).
std::span<const std::uint8_t> ColumnBytes(const DocumentState& doc, int tab, int dataSet, int col);

// Whether a section shows its bytes signed (notation -10); on tab 2 each entry is a section.
bool ShowsSigned(const DocumentState& doc, int tab, int dataSet, int section);

// The number a byte stands for: -128..127 in a signed section, 0..255 in any other.
inline int ValueOf(std::uint8_t byte, bool isSigned) { return isSigned ? static_cast<std::int8_t>(byte) : byte; }

// The number a cell's value of size bytes stands for: in a signed section the two's
// complement of its size, in any other the value itself.
inline std::int64_t NumberOf(std::uint32_t value, int size, bool isSigned)
{
    return isSigned ? SignedValue(value, size) : std::int64_t{value};
}

// The numbers of data column col's cells by row from row 1, each read by NumberOf in its
// section's notation (on tab 2 every entry in its own notation and size). Empty outside the
// table.
std::vector<std::int64_t> ColumnNumbers(const DocumentState& doc, int tab, int dataSet, int col);

} // namespace zor
