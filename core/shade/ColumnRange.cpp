#include "core/shade/ColumnRange.h"

#include "core/view/ColumnValues.h"

#include <algorithm>

namespace zor {

std::optional<ValueRange> ColumnRange(const DocumentState& doc, int tab, int dataSet, int col)
{
    if (tab == TabIndividual)
        return std::nullopt;
    const std::span<const std::uint8_t> bytes = ColumnBytes(doc, tab, dataSet, col);
    if (bytes.empty())
        return std::nullopt;
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

ValueRange NotationRange(bool isSigned) { return isSigned ? ValueRange{-128, 127} : ValueRange{0, 255}; }

} // namespace zor
