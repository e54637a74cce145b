#pragma once

// Find in the tables: a byte in the data cells, or text in the row labels and section
// captions, from the cursor on, wrapping, over the table shown or every data set.

#include "core/document/DocumentState.h"

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace zor {

// What a query looks for. Text that the cell editor would store as a byte looks for that
// byte in the data cells (and never in labels); other text for itself in the labels and
// captions, folded (core/navigate/FindFold.h). Blank text looks for nothing.
struct FindQuery {
    std::optional<std::uint8_t> byte;
    QString folded; // the trimmed text folded, when it is no byte

    explicit FindQuery(const QString& text);
    bool empty() const { return !byte && folded.isEmpty(); }
};

// Where a search starts: the cursor (grid coordinates). A byte search goes on after the
// cursor cell; a text search after the cursor's row label, or, when the last match put
// the cursor on a caption, after that caption.
struct FindFrom {
    int tab = 0;
    int dataSet = 0; // tab 1's data set shown
    int row = 0;
    int col = 0;
    bool onCaption = false;
};

// Where a match puts the cursor: a cell match on the cell, a label match on its row in the
// cursor's column, a caption match on its column in the cursor's row.
struct FindHit {
    enum Kind { None, Cell, Label, Caption };
    Kind kind = None;
    int tab = 0;
    int dataSet = 0;
    int row = 0;
    int col = 0;
    // The search went past the end (backwards: the start) of the shown table, or round
    // every data set, and came back to it before this match.
    bool wrapped = false;
};

// What a find did, for the status bar: what matched and where (a data set other than
// from's is named), and whether the search wrapped; for no match, that none was found.
QString DescribeFind(const DocumentState& doc, const QString& text, const FindFrom& from, const FindHit& hit,
                     bool backwards);

// Searches in one order for both directions: the table's cells row by row, left to right;
// its row labels top down, then its captions left to right, as one cycle. With allDataSets
// on tab 1 the other data sets follow the shown one in their order (backwards in reverse),
// and the search ends back where it started, which it checks last.
//
// The folded labels and captions of each table are kept between searches: forget() them
// whenever the tables' texts may have changed (every fill of the grid).
class Finder {
public:
    void forget() { folded_.clear(); }
    // The same for one table, whose labels changed without a fill (a battle record's class).
    void forget(int tab, int dataSet) { folded_.erase({tab, tab == TabIdSection ? dataSet : 0}); }

    FindHit find(const DocumentState& doc, const FindQuery& query, const FindFrom& from, bool allDataSets, bool backwards);

private:
    // Every label and then every caption of a table, folded, each followed by a line break,
    // which no query holds; starts[i] is where item i begins, starts.back() the end.
    struct Folded {
        QString text;
        std::vector<qsizetype> starts;
    };
    const Folded& folded(const DocumentState& doc, int tab, int dataSet);

    std::map<std::pair<int, int>, Folded> folded_;
};

} // namespace zor
