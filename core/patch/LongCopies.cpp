#include "core/patch/LongCopies.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace zor {

namespace {

// A block's fingerprint is its bytes as the digits of a number in this base; sliding one
// byte along takes the first out and the next in.
constexpr std::uint64_t kBase = 0x100000001B3;
constexpr std::uint64_t BasePower(qsizetype n) { return n == 0 ? 1 : kBase * BasePower(n - 1); }
constexpr std::uint64_t kFirstDigit = BasePower(kLongCopyBlock - 1);

std::uint64_t Fingerprint(const char* bytes)
{
    std::uint64_t h = 0;
    for (qsizetype i = 0; i < kLongCopyBlock; ++i)
        h = h * kBase + static_cast<std::uint8_t>(bytes[i]);
    return h;
}

// Blocks of the source and of the target already scanned, by fingerprint; the first of
// equal ones is kept. A slot holds a block's place times two, plus one for the target's.
class BlockTable {
public:
    BlockTable(QByteArrayView source, const std::vector<Stretch>& inSource, const std::vector<Stretch>& inTarget)
    {
        qsizetype blocks = 0;
        for (const auto* stretches : {&inSource, &inTarget})
            for (const Stretch& s : *stretches)
                blocks += s.size / kLongCopyBlock;
        shift_ = 64 - std::bit_width(static_cast<std::uint64_t>(std::max<qsizetype>(blocks, 1) * 2));
        slots_.assign(std::size_t{1} << (64 - shift_), -1);
        for (const Stretch& s : inSource)
            for (qsizetype at = s.at; at + kLongCopyBlock <= s.at + s.size; at += kLongCopyBlock)
                add(Fingerprint(source.data() + at), at, false);
    }

    void add(std::uint64_t h, qsizetype at, bool inTarget)
    {
        std::int32_t& slot = slots_[index(h)];
        if (slot < 0)
            slot = static_cast<std::int32_t>(at * 2 + (inTarget ? 1 : 0));
    }

    // The block with fingerprint h, if any: its bytes may differ, so compare them.
    bool find(std::uint64_t h, qsizetype* at, bool* inTarget) const
    {
        const std::int32_t slot = slots_[index(h)];
        *at = slot >> 1;
        *inTarget = (slot & 1) != 0;
        return slot >= 0;
    }

private:
    std::size_t index(std::uint64_t h) const { return static_cast<std::size_t>((h * 0x9E3779B97F4A7C15) >> shift_); }

    int shift_ = 0;
    std::vector<std::int32_t> slots_;
};

} // namespace

std::vector<LongCopy> FindLongCopies(QByteArrayView source, QByteArrayView target, const std::vector<Stretch>& inSource,
                                     const std::vector<Stretch>& inTarget)
{
    std::vector<LongCopy> copies;
    BlockTable blocks(source, inSource, inTarget);
    const char* t = target.data();
    for (const Stretch& stretch : inTarget) {
        const qsizetype end = stretch.at + stretch.size;
        qsizetype free = stretch.at;      // where the last copy ended
        qsizetype unfiled = stretch.at;   // the next block of the stretch to add, once it lies before pos
        qsizetype pos = stretch.at;
        std::uint64_t h = pos + kLongCopyBlock <= end ? Fingerprint(t + pos) : 0;
        while (pos + kLongCopyBlock <= end) {
            for (; unfiled + kLongCopyBlock <= pos; unfiled += kLongCopyBlock)
                blocks.add(Fingerprint(t + unfiled), unfiled, true);
            qsizetype from = 0;
            bool fromTarget = false;
            if (blocks.find(h, &from, &fromTarget)) {
                const QByteArrayView image = fromTarget ? target : source;
                const char* f = image.data();
                if (std::memcmp(f + from, t + pos, kLongCopyBlock) == 0) {
                    // The block lies somewhere inside the copy: it runs on both ways.
                    qsizetype before = 0;
                    while (pos - before > free && from - before > 0 && t[pos - before - 1] == f[from - before - 1])
                        ++before;
                    const qsizetype after = MatchLength(f + from, t + pos, std::min(image.size() - from, end - pos));
                    copies.push_back({pos - before, from - before, before + after, fromTarget});
                    pos += after;
                    free = pos;
                    if (pos + kLongCopyBlock <= end)
                        h = Fingerprint(t + pos);
                    continue;
                }
            }
            if (pos + kLongCopyBlock == end)
                break;
            h = (h - static_cast<std::uint8_t>(t[pos]) * kFirstDigit) * kBase + static_cast<std::uint8_t>(t[pos + kLongCopyBlock]);
            ++pos;
        }
    }
    return copies;
}

} // namespace zor
