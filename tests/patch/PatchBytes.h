#pragma once

// Images and hand-made patches for the patch tests.

#include "core/patch/Crc32.h"

#include <QByteArray>

#include <cstdint>
#include <random>

namespace zor::test {

// size bytes that repeat nowhere nearby, from a fixed seed.
inline QByteArray NoisyImage(qsizetype size, unsigned seed = 1)
{
    std::mt19937 random(seed);
    QByteArray image(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        image[i] = static_cast<char>(random() & 0xFF);
    return image;
}

inline void PutBpsNumber(QByteArray& out, std::uint64_t n)
{
    for (;;) {
        const std::uint8_t x = n & 0x7F;
        n >>= 7;
        if (n == 0) {
            out.append(static_cast<char>(0x80 | x));
            return;
        }
        out.append(static_cast<char>(x));
        --n;
    }
}

inline void PutLe32(QByteArray& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A BPS patch around hand-written actions, with sizes as given and right CRC32s (of
// target as the patch claims it).
inline QByteArray HandMadeBps(const QByteArray& source, std::uint64_t targetSize, const QByteArray& actions,
                              const QByteArray& target)
{
    QByteArray patch("BPS1");
    PutBpsNumber(patch, static_cast<std::uint64_t>(source.size()));
    PutBpsNumber(patch, targetSize);
    PutBpsNumber(patch, 0);
    patch += actions;
    PutLe32(patch, Crc32(source));
    PutLe32(patch, Crc32(target));
    PutLe32(patch, Crc32(patch));
    return patch;
}

// One action's leading number.
inline QByteArray BpsAction(int command, std::uint64_t length)
{
    QByteArray out;
    PutBpsNumber(out, ((length - 1) << 2) | static_cast<std::uint64_t>(command));
    return out;
}

inline QByteArray BpsDelta(std::int64_t delta)
{
    QByteArray out;
    PutBpsNumber(out, (static_cast<std::uint64_t>(delta < 0 ? -delta : delta) << 1) | (delta < 0 ? 1u : 0u));
    return out;
}

} // namespace zor::test
