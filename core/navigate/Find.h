#pragma once

// Find in the tables: a value in the data cells, or text in the row labels, the section
// captions and the names cells show, from the cursor on, wrapping, over the table shown or
// every data set.

#include "core/document/DocumentState.h"

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace zor {

// What a query looks for. Text that the cell editor would store in some cell searched (by
// the editor's forms for that cell's size) looks for that value in the data cells (and never
// in labels): "-1" finds 0xFF in a byte and 0xFFFF in a 16-bit cell. Any other text looks
// for itself, folded (core/navigate/FindFold.h), in the labels, the captions and the names
// Names and Bits cells show. Blank text looks for nothing.
struct FindQuery {
    std::array<std::optional<std::uint32_t>, 4> values; // by size - 1: what the editor reads for a cell of that size
    QString folded;                                      // the trimmed text folded

    explicit FindQuery(const QString& text);
    bool empty() const { return folded.isEmpty(); }
};

// Where a search starts: the cursor (grid coordinates). A value search goes on after the
// cursor cell; a text search after the cursor's row label, or, when the last match put
// the cursor on a caption or on a cell's name, after that caption or cell.
struct FindFrom {
    int tab = 0;
    int dataSet = 0; // tab 1's data set shown
    int row = 0;
    int col = 0;
    bool onCaption = false;
    bool onCell = false;
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
    bool byName = false; // a cell matched by the names it shows, not by its value
    // The search went past the end (backwards: the start) of the shown table, or round
    // every data set, and came back to it before this match.
    bool wrapped = false;
};

// What a find did, for the status bar: what matched and where (a data set other than
// from's is named), and whether the search wrapped; for no match, that none was found.
QString DescribeFind(const DocumentState& doc, const QString& text, const FindFrom& from, const FindHit& hit,
                     bool backwards);

// Searches in one order for both directions: for a value the table's cells row by row, left
// to right; for text each row's label and then its cells, row by row, then the captions left
// to right, as one cycle. A query is a value when it reads as one for a cell of some size
// the tables searched hold, else text. With allDataSets on tab 1 the other data sets follow
// the shown one in their order (backwards in reverse), and the search ends back where it
// started, which it checks last.
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
