#pragma once

// The column under the cursor as the chart draws it: one value per row in its section's
// notation, the axis that notation spans and the title that names the column.

#include "core/document/DocumentState.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace zor {

struct ChartColumn {
    QString title;           // the table and the section: "表 / 力"; empty outside every table
    int firstX = 0;          // the x of row 1: ID number 0 on tab 1, record or entry 1 elsewhere
    std::vector<std::int64_t> values; // by row from row 1
    std::int64_t axisMin = 0;   // the least a cell can hold: -128 for a signed byte, else 0
    std::int64_t axisMax = 255; // the most a cell can hold: 127 for a signed byte, 255 for any byte
    std::int64_t tick = 64;     // the axis' label step: a quarter of the widest cell's range
    bool hex = true;            // every value's notation shows hexadecimal, so the axis does too
    int hexDigits = 2;          // in as many digits as the widest cell's bytes take

    int rows() const { return static_cast<int>(values.size()); }
    double xOfRow(int row) const { return firstX + row - 1; }
};

// Data column col of a tab's table; on tab 2 every entry, each in its own notation and
// size, the axis spanning every entry's range.
ChartColumn ReadChartColumn(const DocumentState& doc, int tab, int dataSet, int col);

// The printf format of the value axis' labels: "0x%02X" for a hexadecimal column of bytes
// (as many digits as its widest cell's bytes take), "%d" for a decimal one.
QString AxisLabelFormat(const ChartColumn& column);

// The row whose point lies nearest x on the horizontal axis, x beyond either end giving
// that end's row; 0 when the column has no rows.
int NearestRow(const ChartColumn& column, double x);

// The distance between the labels of an axis over span units that shows at most maxTicks
// steps: 1, 2 or 5 times a power of ten, never below 1, since rows are whole numbers.
int TickStep(double span, int maxTicks);

} // namespace zor
