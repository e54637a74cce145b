#pragma once

// SNES LoROM addresses of a headerless image whose offset 0 is bank $80, address $8000.

#include <cstdint>
#include <optional>

namespace zor {

// The 0-based image offset of bank:high,low. Exact for every input, never clipped:
// a bank below $80 or an in-bank address below $8000 gives an offset before that
// bank's 32 KB, possibly a negative one.
std::int32_t SnesAddressToOffset(std::uint8_t low, std::uint8_t high, std::uint8_t bank);

// third * 65536 + high * 256 + low. Throws std::overflow_error when high is 0x80 or
// more: the middle part is a signed 16-bit value, so 0x8000 cannot be read as 32768.
std::int32_t BytesToValue(std::uint8_t low, std::uint8_t high, std::uint8_t third);

struct SnesAddress {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    std::uint8_t bank = 0;
};

// The address with in-bank part $8000-$FFFF and bank $80-$FF that maps to offset;
// nullopt for offsets outside 0..0x3FFFFF.
std::optional<SnesAddress> OffsetToSnesAddress(std::int32_t offset);

} // namespace zor
