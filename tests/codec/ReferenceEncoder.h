#pragma once

// A straightforward encoder from the block format alone: every length from 18 down to 4 is searched in the whole
// dictionary anew. Slow on purpose; the test compares our encoder with it and the benchmark times both.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace zor::test {

struct ReferenceEncoding {
    std::vector<std::uint8_t> region;   // region offsets 0..0x7FFE
    std::vector<std::uint8_t> pointers; // the pointer table, 2 bytes per block
    std::size_t used = 0;               // region bytes written before the zero fill
    bool fits = true;                   // false when some block would pass 0x7FFE
};

// stream: elements 0..upper of a well-formed battle stream.
inline ReferenceEncoding ReferenceEncode(const std::vector<std::uint8_t>& dictionary, const std::vector<std::uint8_t>& stream)
{
    ReferenceEncoding out;
    const int upper = static_cast<int>(stream.size()) - 1;
    const int records = static_cast<int>(std::nearbyint((upper - 314) / 25.0));
    int j = 1;
    int s = 1;
    for (int k = 1; k <= records; ++k) {
        if (stream[25 * k + j] != 0)
            continue;
        const int o = static_cast<int>(out.region.size());
        out.pointers.push_back(static_cast<std::uint8_t>(o & 0xFF));
        out.pointers.push_back(static_cast<std::uint8_t>((o >> 8) + 0x80));
        std::vector<std::uint8_t> rest(stream.begin() + s, stream.begin() + 25 * k + j + 1);
        out.region.push_back(static_cast<std::uint8_t>(rest.size() & 0xFF));
        out.region.push_back(static_cast<std::uint8_t>(rest.size() >> 8));
        std::size_t at = 0;
        while (at < rest.size()) {
            const std::size_t flagAt = out.region.size();
            out.region.push_back(0);
            for (int item = 0; item < 8 && at < rest.size(); ++item) {
                int found = -1;
                int length = static_cast<int>(std::min<std::size_t>(18, rest.size() - at));
                for (; length >= 4; --length) {
                    const auto hit = std::search(dictionary.begin(), dictionary.end(), rest.begin() + at, rest.begin() + at + length);
                    if (hit != dictionary.end()) {
                        found = static_cast<int>(hit - dictionary.begin());
                        break;
                    }
                }
                if (found >= 0) {
                    out.region.push_back(static_cast<std::uint8_t>((length - 3) * 16 + (found >> 8)));
                    out.region.push_back(static_cast<std::uint8_t>(found & 0xFF));
                    at += length;
                } else {
                    out.region[flagAt] |= static_cast<std::uint8_t>(1 << (7 - item));
                    out.region.push_back(rest[at++]);
                }
            }
        }
        ++j;
        s = 25 * k + j;
    }
    out.used = out.region.size();
    out.fits = out.used <= 0x7FFF;
    out.region.resize(0x7FFF, 0);
    return out;
}

} // namespace zor::test
