#pragma once

// 表示 → 値で色分け: the background of every data cell by where its value lies in the
// range of its column. The core works out the ranges and levels; this keeps the ranges
// of the table in view and turns a level into a colour.

#include "core/edit/EditHistory.h"
#include "core/shade/ColumnRanges.h"
#include "window/FlexGrid.h"

#include <QColor>

#include <vector>

namespace zor {

class ValueColours {
public:
    // The colour provider of a table of doc; the ranges start anew.
    FlexGrid::CellColourProvider provider(const DocumentState& doc, int tab, int dataSet);

    // After these cells were written: the columns of the table in view whose range moved,
    // whose every cell must be drawn again. Ranges not yet worked out stay so.
    std::vector<int> touched(const DocumentState& doc, const std::vector<CellRef>& cells);

    // Drops every range, as after a read or a save.
    void clear() { ranges_.clear(); }

    // From white at level 0 to a pale blue at 1: black text and the highlight stay readable on all of it.
    static QColor colourOf(double level);

private:
    ColumnRanges ranges_;
    int tab_ = 0;
    int dataSet_ = 0;
};

} // namespace zor
