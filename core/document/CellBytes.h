#pragma once

// The one place that turns a grid cell of a table into its document byte: tab 1
// (column, row - 1) of the data set's Bytes, tab 2 the entry of the row (the column
// does not matter), tab 3 (column, row) of BattleParams. nullptr outside the table.

#include "core/document/DocumentState.h"

#include <cstdint>

namespace zor {

const std::uint8_t* CellByte(const DocumentState& doc, int tab, int dataSet, int col, int row);
std::uint8_t* CellByte(DocumentState& doc, int tab, int dataSet, int col, int row);

} // namespace zor
