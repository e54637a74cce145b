#include "core/value/CellValue.h"

#include <algorithm>

namespace zor {

namespace {

int Clamped(int size) { return std::clamp(size, 1, 4); }

} // namespace

std::uint32_t ValueOfBytes(std::span<const std::uint8_t> bytes)
{
    std::uint32_t value = 0;
    const std::size_t count = std::min<std::size_t>(bytes.size(), 4);
    for (std::size_t i = 0; i < count; ++i)
        value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

std::vector<std::uint8_t> BytesOfValue(std::uint32_t value, int size)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(Clamped(size)));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

std::int64_t SignedValue(std::uint32_t value, int size)
{
    const std::int64_t unsignedValue = value & MaxUnsigned(size);
    return unsignedValue > MaxSigned(size) ? unsignedValue - (std::int64_t{MaxUnsigned(size)} + 1) : unsignedValue;
}

std::uint32_t FromSigned(std::int64_t n, int size) { return static_cast<std::uint32_t>(n) & MaxUnsigned(size); }

} // namespace zor
