#pragma once

// What an image's size says about its layout, decided in one place for the load, the
// checksum and the cells that must not change: LoROM images are whole 32 KiB banks, a
// copier's 512-byte header in front shifts every offset, and the internal header lies
// at 0x7FC0 of the first bank.

#include <QString>

#include <optional>

namespace zor {

inline constexpr qsizetype kBankSize = 0x8000;
inline constexpr qsizetype kCopierHeaderSize = 512;
inline constexpr qsizetype kComplementOffset = 0x7FDC; // the checksum complement, then the checksum
inline constexpr qsizetype kChecksumOffset = 0x7FDE;
inline constexpr qsizetype kChecksumBytes = 4;         // complement and checksum, two bytes each

// 512 bytes past a multiple of 32 KiB: most likely a copier's header in front.
bool HasCopierHeader(qsizetype size);

// Where the checksum complement (then the checksum) lies in an image of this size; nullopt
// when it has no header where ZOR looks (under one bank, or behind a copier's header).
std::optional<qsizetype> ChecksumPlace(qsizetype size);

// Why an image of this size doesn't look like an SNES image (smaller than one bank, or no
// whole number of banks once a copier's header is taken off), in Japanese; nullopt when it does.
std::optional<QString> ImageSizeProblem(qsizetype size);

} // namespace zor
