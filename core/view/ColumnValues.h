#pragma once

// A grid column of a tab's table as numbers, for whatever reads a whole column at once
// (the shading of cells by value, the chart): its bytes in one run, and the number each
// byte stands for in its section's notation.

#include "core/document/DocumentState.h"

#include <cstdint>
#include <span>

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

} // namespace zor
