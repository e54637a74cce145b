#include "core/shade/Shade.h"

#include "core/document/CellBytes.h"
#include "core/view/ColumnValues.h"

#include <algorithm>

namespace zor {

double ShadeOf(std::int64_t value, ValueRange range)
{
    if (range.max <= range.min)
        return 0.0;
    return std::clamp(static_cast<double>(value - range.min) / static_cast<double>(range.max - range.min), 0.0, 1.0);
}

std::optional<double> CellShade(const DocumentState& doc, ColumnRanges& ranges, int tab, int dataSet, int row, int col)
{
    // 個別データ has one value column; the mapping itself ignores the column there.
    const CellSpan cell = tab == TabIndividual && col != 1 ? CellSpan{} : CellSpanOf(doc, {tab, dataSet, col, row});
    if (!cell)
        return std::nullopt;
    if (tab == TabIndividual) {
        const bool isSigned = ShowsSigned(doc, tab, 0, row);
        return ShadeOf(NumberOf(cell.value(), cell.size, isSigned), NotationRange(isSigned, cell.size));
    }
    const std::optional<ValueRange> range = ranges.of(doc, tab, dataSet, col);
    if (!range)
        return std::nullopt;
    return ShadeOf(NumberOf(cell.value(), cell.size, ShowsSigned(doc, tab, dataSet, col)), *range);
}

} // namespace zor
