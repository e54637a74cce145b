#pragma once

// Images for the patch tests, and the fixed pairs the BPS writer is measured on by the tests and the benchmark.

#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

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

// size bytes as a game's image holds them, from a fixed seed: code and compressed data (no byte predicts the next),
// tables of records sharing a layout, text of a small alphabet, and padding of 00 or FF.
inline QByteArray RomLikeImage(qsizetype size, unsigned seed = 1)
{
    std::mt19937 random(seed);
    QByteArray image;
    image.reserve(size);
    while (image.size() < size) {
        const qsizetype length = std::min<qsizetype>(size - image.size(), 256 + random() % 16384);
        const unsigned kind = random() % 8;
        if (kind < 3) {
            for (qsizetype i = 0; i < length; ++i)
                image += static_cast<char>(random());
        } else if (kind < 5) {
            // Each field of a record keeps to a few values above its own base.
            const int fields = 8 + static_cast<int>(random() % 56);
            std::vector<unsigned> base(fields);
            std::vector<unsigned> spread(fields);
            for (int f = 0; f < fields; ++f) {
                base[f] = random() & 0xFF;
                spread[f] = 1u << (random() % 6);
            }
            for (qsizetype i = 0; i < length; ++i) {
                const auto f = static_cast<std::size_t>(i % fields);
                image += static_cast<char>(base[f] + random() % spread[f]);
            }
        } else if (kind == 5) {
            for (qsizetype i = 0; i < length; ++i)
                image += static_cast<char>(0x20 + random() % 48);
        } else {
            image += QByteArray(length, kind == 6 ? '\0' : '\xFF');
        }
    }
    return image;
}

struct PatchPair { const char* name; QByteArray source, target; };

// The measured pairs, from a 4 MiB image like a game's: scattered edits, growth, truncation, 100 bytes inserted, a block moved.
inline std::vector<PatchPair> MeasuredPairs()
{
    constexpr qsizetype kMiB = 1024 * 1024;
    const QByteArray image = RomLikeImage(4 * kMiB);
    std::vector<PatchPair> pairs;

    QByteArray edited = image;
    // 100 cells spread over the tables, as a user's edits would be.
    for (qsizetype i = 0; i < 100; ++i) {
        const qsizetype at = (i * 0x7A3B + 0x1000) % edited.size();
        edited[at] = static_cast<char>(edited[at] ^ 0x5A);
    }
    pairs.push_back({"scattered edits", image, edited});

    // Grown to 6 MiB as a hack grows it: a table moved into the new room, then 4 KiB records with their numbers changed.
    QByteArray grown = image;
    const QByteArray table = image.mid(kMiB, 256 * 1024);
    grown.replace(kMiB, table.size(), QByteArray(table.size(), '\xFF'));
    grown += table;
    std::mt19937 random(2);
    QByteArray record(4096, Qt::Uninitialized);
    for (char& byte : record)
        byte = static_cast<char>(random());
    while (grown.size() < 6 * kMiB) {
        QByteArray copy = record;
        const auto number = static_cast<std::uint16_t>(grown.size() / record.size());
        copy[0] = static_cast<char>(number & 0xFF);
        copy[1] = static_cast<char>(number >> 8);
        copy[100] = static_cast<char>(number * 7);
        grown += copy;
    }
    pairs.push_back({"grown to 6 MiB", image, grown});

    pairs.push_back({"cut to 3 MiB", image, image.left(3 * kMiB)});

    const QByteArray inserted = image.left(kMiB) + RomLikeImage(100, 3) + image.mid(kMiB);
    pairs.push_back({"100 bytes inserted", image, inserted});
    pairs.push_back({"100 bytes inserted, size kept", image, inserted.left(image.size())});

    QByteArray moved = image;
    const QByteArray block = image.mid(3 * kMiB, 64 * 1024);
    moved.remove(3 * kMiB, block.size());
    moved.insert(kMiB / 2, block);
    pairs.push_back({"64 KiB block moved", image, moved});
    return pairs;
}

} // namespace zor::test
