#pragma once

// A data cell of a table in grid coordinates: the tab, the data set on tab 1 (0 on tabs 2
// and 3), the grid column (1 on tab 2, where each entry is a row) and the grid row (the
// ID number + 1 on tab 1, the entry on tab 2, the record on tab 3). Every place that
// names one cell to read, write, find or show uses it.

namespace zor {

struct CellRef {
    int tab = 0;
    int dataSet = 0;
    int col = 0;
    int row = 0;
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

// The table a tab shows: the data set on tab 1, 0 on tabs 2 and 3.
struct TableRef {
    int tab = 0;
    int dataSet = 0;
    CellRef at(int col, int row) const { return {tab, dataSet, col, row}; }
    friend bool operator==(const TableRef&, const TableRef&) = default;
};

} // namespace zor
