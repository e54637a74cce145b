#pragma once

// The ranges of the columns of the table in view, each worked out the first time a cell
// of its column is shaded and kept until a cell of it changes, so that painting the
// cells in view never reads a whole column again.

#include "core/shade/ColumnRange.h"

#include <optional>
#include <vector>

namespace zor {

class ColumnRanges {
public:
    // The range of a column (see ColumnRange), from the cache when it holds the column. A
    // question about another table than the one cached empties the cache first.
    std::optional<ValueRange> of(const DocumentState& doc, int tab, int dataSet, int col);

    // After cells of a column changed: its range is dropped and, when it had been worked
    // out (its cells were shaded by it), worked out again. True when it moved, so that the
    // column's cells in view must be shaded anew.
    bool refresh(const DocumentState& doc, int tab, int dataSet, int col);

    // Drops every range: a new table, a fill, a change of notation.
    void clear();

private:
    struct Entry {
        bool known = false;
        std::optional<ValueRange> range;
    };

    int tab_ = 0;
    int dataSet_ = 0;
    std::vector<Entry> columns_; // by column, grown as columns are asked about
};

} // namespace zor
