#include "core/shade/ColumnRange.h"

#include "core/view/ColumnValues.h"

#include <algorithm>

namespace zor {

std::optional<ValueRange> ColumnRange(const DocumentState& doc, int tab, int dataSet, int col)
{
    if (tab == TabIndividual)
        return std::nullopt;
    const std::span<const std::uint8_t> bytes = ColumnBytes(doc, tab, dataSet, col);
    if (bytes.empty()) {
        // Cells wider than a byte: their numbers, read once.
        const std::vector<std::int64_t> numbers = ColumnNumbers(doc, tab, dataSet, col);
        if (numbers.empty())
            return std::nullopt;
        const auto [low, high] = std::minmax_element(numbers.begin(), numbers.end());
        return ValueRange{*low, *high};
    }
    const bool isSigned = ShowsSigned(doc, tab, dataSet, col);
    // Signed bytes order as their two's complement: flipping the top bit makes them unsigned-ordered.
    const std::uint8_t flip = isSigned ? 0x80 : 0x00;
    std::uint8_t low = 0xFF;
    std::uint8_t high = 0x00;
    for (const std::uint8_t byte : bytes) {
        const std::uint8_t key = byte ^ flip;
        low = std::min(low, key);
        high = std::max(high, key);
    }
    return ValueRange{ValueOf(low ^ flip, isSigned), ValueOf(high ^ flip, isSigned)};
}

ValueRange NotationRange(bool isSigned, int size)
{
    return isSigned ? ValueRange{MinSigned(size), MaxSigned(size)} : ValueRange{0, MaxUnsigned(size)};
}

} // namespace zor
