#include "core/patch/Crc32.h"

#include <zlib.h>

namespace zor {

std::uint32_t Crc32(QByteArrayView bytes)
{
    // crc32_z takes a size_t length, so a file past 4 GiB would not wrap.
    return static_cast<std::uint32_t>(
        crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<z_size_t>(bytes.size())));
}

} // namespace zor
