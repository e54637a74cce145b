#pragma once

// A Bits cell: its value is a set of flags, shown by the names of the set ones.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace zor {

// How a bit is named: its name in bitNames (bit 0 first), "bit n" when that is empty or
// past the list. Never fails.
QString BitLabel(int bit, const QStringList& bitNames);

// The names of the bits set in value among the 8 × size bits, bit 0 first, joined by "・";
// a set bit without a name (an empty name, or one past the list) is "bit n"; "－" when no
// bit is set. Names past 8 × size and bits above the size are ignored. Never fails.
QString BitsCellText(std::uint32_t value, int size, const QStringList& bitNames);

} // namespace zor
