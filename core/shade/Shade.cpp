#include "core/shade/Shade.h"

#include "core/document/CellBytes.h"
#include "core/view/ColumnValues.h"

#include <algorithm>

namespace zor {

double ShadeOf(int value, ValueRange range)
{
    if (range.max <= range.min)
        return 0.0;
    return std::clamp(static_cast<double>(value - range.min) / (range.max - range.min), 0.0, 1.0);
}

std::optional<double> CellShade(const DocumentState& doc, ColumnRanges& ranges, int tab, int dataSet, int row, int col)
{
    // 個別データ has one value column; the mapping itself ignores the column there.
    const std::uint8_t* byte = tab == TabIndividual && col != 1 ? nullptr : CellByte(doc, tab, dataSet, col, row);
    if (!byte)
        return std::nullopt;
    if (tab == TabIndividual) {
        const bool isSigned = ShowsSigned(doc, tab, 0, row);
        return ShadeOf(ValueOf(*byte, isSigned), NotationRange(isSigned));
    }
    const std::optional<ValueRange> range = ranges.of(doc, tab, dataSet, col);
    if (!range)
        return std::nullopt;
    return ShadeOf(ValueOf(*byte, ShowsSigned(doc, tab, dataSet, col)), *range);
}

} // namespace zor
