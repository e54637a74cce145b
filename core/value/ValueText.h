#pragma once

// The text of a cell's value in its section's notation, as the grid, the status bar and
// the export write it.

#include <QString>

#include <cstdint>

namespace zor {

// value as notation writes it for a cell of size bytes: 10 unsigned decimal, -10 signed
// decimal of the size (two's complement), any other code "0x" and 2 × size upper-case
// hexadecimal digits. Bits above the size are ignored; a size outside 1..4 is clamped.
// Never fails.
QString FormatValue(int notation, std::uint32_t value, int size);

} // namespace zor
