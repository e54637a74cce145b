#include "window/ValueColours.h"

#include "core/shade/Shade.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace zor {

FlexGrid::CellColourProvider ValueColours::provider(const DocumentState& doc, int tab, int dataSet)
{
    ranges_.clear();
    tab_ = tab;
    dataSet_ = dataSet;
    return [this, &doc, tab, dataSet](int row, int col) {
        const std::optional<double> level = CellShade(doc, ranges_, tab, dataSet, row, col);
        return level ? colourOf(*level) : QColor();
    };
}

std::vector<int> ValueColours::touched(const DocumentState& doc, const std::vector<CellRef>& cells)
{
    // 個別データ shades each entry by its notation alone: no range to move.
    if (tab_ == TabIndividual)
        return {};
    std::set<int> columns;
    for (const CellRef& cell : cells)
        if (cell.tab == tab_ && (tab_ != TabIdSection || cell.dataSet == dataSet_))
            columns.insert(cell.col);
    std::vector<int> moved;
    for (const int col : columns)
        if (ranges_.refresh(doc, tab_, dataSet_, col))
            moved.push_back(col);
    return moved;
}

QColor ValueColours::colourOf(double level)
{
    static constexpr int kLow[] = {255, 255, 255};
    static constexpr int kHigh[] = {150, 195, 255};
    const double t = std::clamp(level, 0.0, 1.0);
    auto mix = [t](int low, int high) { return static_cast<int>(std::lround(low + (high - low) * t)); };
    return QColor(mix(kLow[0], kHigh[0]), mix(kLow[1], kHigh[1]), mix(kLow[2], kHigh[2]));
}

} // namespace zor
