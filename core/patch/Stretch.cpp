#include "core/patch/Stretch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zor {

qsizetype MatchLength(const char* a, const char* b, qsizetype max)
{
    qsizetype n = 0;
    while (n + 8 <= max) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y)
            break;
        n += 8;
    }
    while (n < max && a[n] == b[n])
        ++n;
    return n;
}

std::vector<Stretch> Uncovered(std::vector<Stretch> covered, qsizetype size, qsizetype minSize)
{
    std::sort(covered.begin(), covered.end(), [](const Stretch& a, const Stretch& b) { return a.at < b.at; });
    std::vector<Stretch> gaps;
    qsizetype at = 0;
    auto gapTo = [&](qsizetype end) {
        if (end - at >= minSize)
            gaps.push_back({at, end - at});
    };
    for (const Stretch& c : covered) {
        gapTo(c.at);
        at = std::max(at, c.at + c.size);
    }
    gapTo(size);
    return gaps;
}

} // namespace zor
