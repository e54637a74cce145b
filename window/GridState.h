#pragma once

// What the grid shows, in the core's terms: its selection, scroll, size, the place a tab
// remembers and the widths of the table shown.

#include "core/edit/Clipboard.h"
#include "core/edit/Journal.h"
#include "core/view/Session.h"
#include "window/FlexGrid.h"

#include <vector>

namespace zor {

inline CellSelection SelectionOf(const FlexGrid& grid) { return {grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()}; }
inline ScrollPosition ScrollOf(const FlexGrid& grid) { return {grid.TopRow(), grid.LeftCol()}; }
inline GridSize SizeOf(const FlexGrid& grid) { return {grid.Rows(), grid.Cols()}; }
// The cursor, the first visible cell and the column count, for the tab's memory.
inline GridPlace GridPlaceOf(const FlexGrid& grid)
{
    return {grid.Col(), grid.Row(), grid.LeftCol(), grid.TopRow(), grid.Cols()};
}
// The widths (twips, by grid column) of the table shown; none while the grid shows none.
inline std::vector<int> WidthsOf(const FlexGrid& grid)
{
    std::vector<int> widths;
    if (grid.isEnabled())
        for (int c = 0; c < grid.Cols(); ++c)
            widths.push_back(grid.ColWidth(c));
    return widths;
}

} // namespace zor
