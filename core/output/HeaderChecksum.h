#pragma once

// The checksum in the internal header of the images ZOR edits (at 0x7FC0): the sum of
// every byte, images whose size is no power of two counted as the hardware mirrors
// them, with the four checksum bytes counted as FF FF 00 00.

#include "core/codec/ImageLayout.h"
#include "core/files/Failure.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace zor {

struct HeaderChecksum {
    std::uint16_t storedChecksum = 0;
    std::uint16_t storedComplement = 0;
    std::uint16_t checksum = 0;   // computed
    std::uint16_t complement = 0; // computed: ~checksum

    bool matches() const { return storedChecksum == checksum && storedComplement == complement; }
};

// The stored and the computed values; refused when the image has no header where ZOR
// looks: under 0x8000 bytes, or 512 bytes past a multiple of 32 KiB (a copier's header,
// which moves everything; ZOR doesn't guess).
[[nodiscard]] Result<HeaderChecksum> ComputeHeaderChecksum(const QByteArray& image);

// Writes the computed checksum and complement into the header; refused, the image
// unchanged, as ComputeHeaderChecksum is.
[[nodiscard]] Result<void> FixHeaderChecksum(QByteArray& image);

} // namespace zor
