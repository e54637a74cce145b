#pragma once

// The range of the values a column holds now, which the shading of its cells spreads over.

#include "core/document/DocumentState.h"

#include <cstdint>
#include <optional>

namespace zor {

struct ValueRange {
    std::int64_t min = 0;
    std::int64_t max = 0;
    friend bool operator==(const ValueRange&, const ValueRange&) = default;
};

// The smallest and largest value of data column col of a tab's table, each cell's value
// read in its section's notation (NumberOf: a signed byte from -128 up). On tab 2, where every row is
// its own section, a column has no common notation: nullopt there, as for an empty
// column or one outside the table.
std::optional<ValueRange> ColumnRange(const DocumentState& doc, int tab, int dataSet, int col);

// The whole range a section's notation can show for cells of size bytes: -128..127 signed,
// 0..255 otherwise, for a byte.
ValueRange NotationRange(bool isSigned, int size = 1);

} // namespace zor
