#pragma once

// How strongly a cell is shaded by its value: 0 for the smallest value of its range, 1
// for the largest. The window turns the level into a colour.

#include "core/shade/ColumnRanges.h"

#include <optional>

namespace zor {

// Where value lies in range, from 0 to 1 (clamped); 0 for a range of one value, where
// there is nothing to tell apart.
double ShadeOf(std::int64_t value, ValueRange range);

// The level of data cell (row, col) of a tab's table, by the range of its column as it is
// now (ranges caches it); on tab 2, by the whole range of the entry's own notation and size.
// nullopt outside the table.
std::optional<double> CellShade(const DocumentState& doc, ColumnRanges& ranges, int tab, int dataSet, int row, int col);

} // namespace zor
