#include "core/shade/ColumnRanges.h"

namespace zor {

std::optional<ValueRange> ColumnRanges::of(const DocumentState& doc, int tab, int dataSet, int col)
{
    if (col < 0)
        return std::nullopt;
    if (tab != tab_ || dataSet != dataSet_) {
        clear();
        tab_ = tab;
        dataSet_ = dataSet;
    }
    const auto at = static_cast<std::size_t>(col);
    if (at >= columns_.size())
        columns_.resize(at + 1);
    Entry& entry = columns_[at];
    if (!entry.known) {
        entry.range = ColumnRange(doc, tab, dataSet, col);
        entry.known = true;
    }
    return entry.range;
}

bool ColumnRanges::refresh(const DocumentState& doc, int tab, int dataSet, int col)
{
    const auto at = static_cast<std::size_t>(col);
    if (tab != tab_ || dataSet != dataSet_ || col < 0 || at >= columns_.size() || !columns_[at].known)
        return false;
    const std::optional<ValueRange> before = columns_[at].range;
    columns_[at] = {};
    return of(doc, tab, dataSet, col) != before;
}

void ColumnRanges::clear() { columns_.clear(); }

} // namespace zor
