#pragma once

#include <QByteArrayView>

#include <cstdint>

namespace zor {

// The CRC32 of zip and PNG (zlib's), which BPS patches carry.
std::uint32_t Crc32(QByteArrayView bytes);

} // namespace zor
