#include "core/codec/SnesAddress.h"

#include <stdexcept>
#include <string>

namespace zor {

std::int32_t SnesAddressToOffset(std::uint8_t low, std::uint8_t high, std::uint8_t bank)
{
    return (static_cast<std::int32_t>(bank) - 0x80) * 0x8000 + (high * 0x100 + low) - 0x8000;
}

std::int32_t BytesToValue(std::uint8_t low, std::uint8_t high, std::uint8_t third)
{
    if (high >= 0x80)
        throw std::overflow_error("BytesToValue: high byte " + std::to_string(high) + " does not fit a signed 16-bit value");
    return third * 65536 + high * 256 + low;
}

std::optional<SnesAddress> OffsetToSnesAddress(std::int32_t offset)
{
    if (offset < 0 || offset > 0x3FFFFF)
        return std::nullopt;
    const int inBank = 0x8000 + offset % 0x8000;
    return SnesAddress{static_cast<std::uint8_t>(inBank & 0xFF), static_cast<std::uint8_t>(inBank >> 8),
                       static_cast<std::uint8_t>(0x80 + offset / 0x8000)};
}

} // namespace zor
