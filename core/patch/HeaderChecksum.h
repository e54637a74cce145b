#pragma once

// The checksum in the internal header of the images ZOR edits (at 0x7FC0): the sum of
// every byte, images whose size is no power of two counted as the hardware mirrors
// them, with the four checksum bytes counted as FF FF 00 00.

#include "core/codec/ImageLayout.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace zor {

struct HeaderChecksum {
    std::uint16_t storedChecksum = 0;
    std::uint16_t storedComplement = 0;
    std::uint16_t checksum = 0;   // computed
    std::uint16_t complement = 0; // computed: ~checksum

    bool matches() const { return storedChecksum == checksum && storedComplement == complement; }
};

// The stored and the computed values; nullopt with a Japanese reason (no final "。") when
// the image has no header where ZOR looks: under 0x8000 bytes, or 512 bytes past a
// multiple of 32 KiB (a copier's header, which moves everything; ZOR doesn't guess).
std::optional<HeaderChecksum> ComputeHeaderChecksum(const QByteArray& image, QString* reason = nullptr);

// Writes the computed checksum and complement into the header; false, the image
// unchanged, where ComputeHeaderChecksum gives nothing.
bool FixHeaderChecksum(QByteArray& image, QString* reason = nullptr);

} // namespace zor
