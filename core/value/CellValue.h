#pragma once

// A cell's value and its bytes: 1 to 4 bytes, the lowest first, as the SNES stores
// numbers. Every other part asks here rather than shifting bytes itself.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace zor {

// The value of 1 to 4 bytes, the lowest first. Reads only the span; a span of any other
// length is a caller's fault and gives the value of its first 4 bytes (0 for none).
std::uint32_t ValueOfBytes(std::span<const std::uint8_t> bytes);

// The size bytes of value, the lowest first; bits above the size are dropped. A size
// outside 1..4 is clamped into it.
std::vector<std::uint8_t> BytesOfValue(std::uint32_t value, int size);

// The largest unsigned value of a size: 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF. A size outside
// 1..4 is clamped into it, here and below. Inline: readers of every cell ask.
constexpr std::uint32_t MaxUnsigned(int size)
{
    return static_cast<std::uint32_t>((std::uint64_t{1} << (8 * std::clamp(size, 1, 4))) - 1);
}

// The signed range of a size in two's complement: -2^(8 × size - 1) to 2^(8 × size - 1) - 1.
constexpr std::int64_t MaxSigned(int size) { return std::int64_t{MaxUnsigned(size) >> 1}; }
constexpr std::int64_t MinSigned(int size) { return -MaxSigned(size) - 1; }

// value read as a signed number of size bytes (two's complement); bits above the size
// are ignored, so 0xFF is -1 at size 1 and 255 at size 2.
std::int64_t SignedValue(std::uint32_t value, int size);

// The bytes of a signed number in two's complement of the size (the value of the same
// bytes read unsigned); n must lie in the signed or unsigned range of the size.
std::uint32_t FromSigned(std::int64_t n, int size);

} // namespace zor
