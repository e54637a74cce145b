#include "core/navigate/Find.h"

#include "core/document/CellBytes.h"
#include "core/files/Text.h"
#include "core/navigate/FindFold.h"
#include "core/value/EditorText.h"
#include "core/view/Grid.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <unordered_map>

namespace zor {

namespace {

// A table as find walks it. One without a cell has nothing a match could put the cursor on.
struct Table {
    int tab = 0;
    int dataSet = 0;
    int rows = 0;
    int cols = 0;
    int captions = 0; // 個別データ's heading row is blank
};

Table TableOf(const DocumentState& doc, int tab, int dataSet)
{
    Table t{tab, tab == TabIdSection ? dataSet : 0};
    if (tab == TabIdSection && dataSet >= 1 && dataSet <= doc.DataSetCount) {
        t.rows = doc.DataSets(dataSet).IdCount;
        t.cols = t.captions = doc.DataSets(dataSet).SectionCount;
    } else if (tab == TabIndividual) {
        t.rows = doc.IndividualCount;
        t.cols = 1;
    } else if (tab == TabBattle) {
        t.rows = doc.BattleCount();
        t.cols = t.captions = kBattleRecordSize;
    }
    if (t.rows < 1 || t.cols < 1)
        t.rows = t.cols = t.captions = 0;
    return t;
}

// The type of cell (row, col) of a table: a column's on tabs 1 and 3, each entry's on tab 2.
const CellType& TypeOf(const DocumentState& doc, const Table& t, int row, int col)
{
    return CellTypeOf(doc, {t.tab, t.dataSet, col, row});
}

// Whether the query reads as a value some cell of the table can hold.
bool HoldsAValue(const DocumentState& doc, const Table& t, const FindQuery& query)
{
    for (int i = 1; i <= (t.tab == TabIndividual ? t.rows : t.cols); ++i)
        if (query.values[static_cast<std::size_t>(TypeOf(doc, t, t.tab == TabIndividual ? i : 1, t.tab == TabIndividual ? 1 : i).Size - 1)])
            return true;
    return false;
}

// One column of a table as a search reads it: how a row matches, and the first (backwards:
// the last) matching row of a range. Positions are row-major over the columns searched: for
// a value the data columns 1..cols; for text the label (column 0) and then the data columns,
// with the captions after the last row.
class Column {
public:
    enum Kind { Never, Bytes, Values, Rows, Labels };

    // The bytes of rows 1.. lie in runs, one per byte of the cells: a value's search.
    static Column values(int size, std::uint32_t wanted, std::array<const std::uint8_t*, 4> runs)
    {
        Column c(size == 1 ? Bytes : Values);
        c.size_ = size;
        c.wanted_ = wanted;
        c.runs_ = runs;
        return c;
    }
    static Column rows(std::function<bool(int row)> matches)
    {
        Column c(Rows);
        c.matches_ = std::move(matches);
        return c;
    }
    explicit Column(Kind kind = Never) : kind_(kind) {}

    Kind kind() const { return kind_; }

    // The first (backwards: the last) matching row of a..b; labels are the caller's.
    std::optional<int> find(int a, int b, bool backwards) const
    {
        if (kind_ == Bytes && !backwards) {
            // memchr keeps the common forward search at memory speed.
            const void* found = std::memchr(runs_[0] + (a - 1), static_cast<int>(wanted_), static_cast<std::size_t>(b - a + 1));
            return found ? std::optional<int>(static_cast<int>(static_cast<const std::uint8_t*>(found) - runs_[0]) + 1) : std::nullopt;
        }
        for (int i = 0; i <= b - a; ++i)
            if (const int row = backwards ? b - i : a + i; matches(row))
                return row;
        return std::nullopt;
    }

private:
    bool matches(int row) const
    {
        switch (kind_) {
        case Bytes:
        case Values: {
            std::uint32_t value = 0;
            for (int k = size_ - 1; k >= 0; --k)
                value = value << 8 | runs_[static_cast<std::size_t>(k)][row - 1];
            return value == wanted_;
        }
        case Rows:
            return matches_(row);
        default:
            return false;
        }
    }

    Kind kind_;
    int size_ = 1;
    std::uint32_t wanted_ = 0;
    std::array<const std::uint8_t*, 4> runs_{};
    std::function<bool(int row)> matches_;
};

} // namespace

FindQuery::FindQuery(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return; // the cell editor reads a blank as 0, a search for nothing does not
    for (int size = 1; size <= 4; ++size)
        values[static_cast<std::size_t>(size - 1)] = ReadEditorText(trimmed, size);
    folded = FoldForFind(trimmed);
}

const Finder::Folded& Finder::folded(const DocumentState& doc, int tab, int dataSet)
{
    const auto key = std::make_pair(tab, dataSet);
    if (const auto found = folded_.find(key); found != folded_.end())
        return found->second;
    const Table t = TableOf(doc, tab, dataSet);
    Folded f;
    f.starts.reserve(static_cast<std::size_t>(t.rows + t.captions) + 1);
    const auto add = [&f](const QString& text) {
        f.starts.push_back(f.text.size());
        AppendFoldedForFind(f.text, text);
        f.text += u'\n';
    };
    for (int r = 1; r <= t.rows; ++r)
        add(tab == TabIdSection ? doc.DataSets(dataSet).IdNames(r)
            : tab == TabIndividual ? doc.IndividualNames(r)
                                   : BattleRowLabel(doc, r));
    for (int c = 1; c <= t.captions; ++c)
        add(tab == TabIdSection ? doc.DataSets(dataSet).SectionNames(c) : doc.BattleSectionNames(c));
    f.starts.push_back(f.text.size());
    return folded_.emplace(key, std::move(f)).first->second;
}

FindHit Finder::find(const DocumentState& doc, const FindQuery& query, const FindFrom& from, bool allDataSets, bool backwards)
{
    if (query.empty() || query.folded.contains(u'\n'))
        return {};

    const Table shown = TableOf(doc, from.tab, from.dataSet);
    std::vector<Table> others;
    if (allDataSets && from.tab == TabIdSection) {
        // After the shown data set, wrapping; all of them when none is shown.
        const bool showsOne = from.dataSet >= 1 && from.dataSet <= doc.DataSetCount;
        for (int k = 1; k < doc.DataSetCount + (showsOne ? 0 : 1); ++k) {
            const int dataSet = ((showsOne ? from.dataSet : 0) + k - 1) % doc.DataSetCount + 1;
            others.push_back(TableOf(doc, TabIdSection, dataSet));
        }
        if (backwards)
            std::reverse(others.begin(), others.end());
    }
    bool values = HoldsAValue(doc, shown, query);
    for (const Table& t : others)
        values = values || HoldsAValue(doc, t, query);

    // Positions per row: the data columns, and for text the label before them.
    const auto width = [&](const Table& t) { return std::int64_t{t.cols} + (values ? 0 : 1); };
    const auto count = [&](const Table& t) { return std::int64_t{t.rows} * width(t) + (values ? 0 : t.captions); };

    const auto columnsOf = [&](const Table& t) {
        std::vector<Column> columns;
        if (!values)
            columns.emplace_back(Column::Labels);
        for (int col = 1; col <= t.cols; ++col) {
            if (t.tab == TabIndividual) {
                // Every entry has its own type.
                columns.push_back(Column::rows([&doc, &query, values](int row) {
                    const CellRef cell{TabIndividual, 0, 1, row};
                    const CellSpan span = CellSpanOf(doc, cell);
                    if (values)
                        return span && query.values[static_cast<std::size_t>(span.size - 1)] == span.value();
                    return span && ShowsNames(CellTypeOf(doc, cell), doc)
                           && FoldForFind(CellTextOfValue(doc, cell, span.value())).contains(query.folded);
                }));
                continue;
            }
            const CellType& type = TypeOf(doc, t, 1, col);
            if (!values) {
                if (!ShowsNames(type, doc)) {
                    columns.emplace_back();
                    continue;
                }
                // A column shows few distinct values: each value's text is folded once.
                auto shows = std::make_shared<std::unordered_map<std::uint32_t, bool>>();
                columns.push_back(Column::rows([&doc, &query, t, col, shows](int row) {
                    const CellRef cell{t.tab, t.dataSet, col, row};
                    const std::uint32_t value = CellValueOf(doc, cell).value_or(0);
                    const auto [known, added] = shows->try_emplace(value, false);
                    if (added)
                        known->second = FoldForFind(CellTextOfValue(doc, cell, value)).contains(query.folded);
                    return known->second;
                }));
                continue;
            }
            const std::optional<std::uint32_t> wanted = query.values[static_cast<std::size_t>(type.Size - 1)];
            std::array<const std::uint8_t*, 4> runs{};
            for (int k = 0; k < type.Size && wanted; ++k) {
                const NdArray<std::uint8_t, 2>& bytes = t.tab == TabIdSection ? doc.IdBytes(t.dataSet) : doc.BattleParams();
                const int major = t.tab == TabIdSection ? doc.IdColumn(t.dataSet, col) + k : col + k;
                const int first = t.tab == TabIdSection ? 0 : 1;
                if (!bytes.contains(major, first + t.rows - 1))
                    return std::vector<Column>(static_cast<std::size_t>(width(t)));
                runs[static_cast<std::size_t>(k)] = &bytes(major, first);
            }
            columns.push_back(wanted ? Column::values(type.Size, *wanted, runs) : Column());
        }
        return columns;
    };

    // The first (backwards: the last) match among positions lo..hi of a table.
    const auto search = [&](const Table& t, std::int64_t lo, std::int64_t hi) -> std::optional<std::int64_t> {
        if (lo > hi)
            return std::nullopt;
        const std::int64_t w = width(t);
        const std::int64_t cells = std::int64_t{t.rows} * w;
        const Folded* f = values ? nullptr : &folded(doc, t.tab, t.dataSet);
        // Items first..last of the folded labels and captions: the first (last) holding the query.
        const auto inFolded = [&](std::int64_t first, std::int64_t last) -> std::optional<std::int64_t> {
            const qsizetype at = backwards ? f->text.lastIndexOf(query.folded, f->starts[static_cast<std::size_t>(last) + 1] - 1)
                                           : f->text.indexOf(query.folded, f->starts[static_cast<std::size_t>(first)]);
            if (at < 0)
                return std::nullopt;
            const std::int64_t item = std::upper_bound(f->starts.begin(), f->starts.end(), at) - f->starts.begin() - 1;
            return item >= first && item <= last ? std::optional<std::int64_t>(item) : std::nullopt;
        };
        const std::vector<Column> columns = columnsOf(t);
        const auto rowIn = [&](std::size_t i, int a, int b) -> std::optional<int> {
            if (columns[i].kind() != Column::Labels)
                return columns[i].find(a, b, backwards);
            const std::optional<std::int64_t> item = inFolded(a - 1, b - 1);
            return item ? std::optional<int>(static_cast<int>(*item) + 1) : std::nullopt;
        };
        const auto position = [&](int row, std::size_t i) { return std::int64_t{row - 1} * w + static_cast<std::int64_t>(i); };

        // Columns a..b of one row, in the search's direction.
        const auto inRow = [&](int row, std::size_t a, std::size_t b) -> std::optional<std::int64_t> {
            for (std::size_t k = 0; k <= b - a; ++k) {
                const std::size_t i = backwards ? b - k : a + k;
                if (columns[i].kind() != Column::Never && rowIn(i, row, row))
                    return position(row, i);
            }
            return std::nullopt;
        };
        // Whole rows a..b: each column down (up) to the nearest row found so far, so a tie goes
        // to the column met first.
        const auto inRows = [&](int a, int b) -> std::optional<std::int64_t> {
            int bestRow = 0;
            std::size_t bestColumn = 0;
            for (std::size_t k = 0; k < columns.size(); ++k) {
                const std::size_t i = backwards ? columns.size() - 1 - k : k;
                const int first = backwards && bestRow ? bestRow + 1 : a;
                const int last = !backwards && bestRow ? bestRow - 1 : b;
                if (last < first)
                    break;
                if (columns[i].kind() == Column::Never)
                    continue;
                if (const std::optional<int> row = rowIn(i, first, last)) {
                    bestRow = *row;
                    bestColumn = i;
                }
            }
            return bestRow ? std::optional<std::int64_t>(position(bestRow, bestColumn)) : std::nullopt;
        };
        const auto inCells = [&](std::int64_t from, std::int64_t to) -> std::optional<std::int64_t> {
            if (from > to)
                return std::nullopt;
            const int firstRow = static_cast<int>(from / w) + 1;
            const auto firstColumn = static_cast<std::size_t>(from % w);
            const int lastRow = static_cast<int>(to / w) + 1;
            const auto lastColumn = static_cast<std::size_t>(to % w);
            if (firstRow == lastRow)
                return inRow(firstRow, firstColumn, lastColumn);
            const auto head = [&] { return inRow(firstRow, firstColumn, columns.size() - 1); };
            const auto tail = [&] { return inRow(lastRow, 0, lastColumn); };
            std::optional<std::int64_t> found = backwards ? tail() : head();
            if (!found && lastRow - firstRow > 1)
                found = inRows(firstRow + 1, lastRow - 1);
            if (!found)
                found = backwards ? head() : tail();
            return found;
        };
        const auto inCaptions = [&](std::int64_t from, std::int64_t to) -> std::optional<std::int64_t> {
            if (values || from > to)
                return std::nullopt;
            const std::optional<std::int64_t> item = inFolded(t.rows + (from - cells), t.rows + (to - cells));
            return item ? std::optional<std::int64_t>(cells + *item - t.rows) : std::nullopt;
        };
        const auto cellPart = [&] { return inCells(lo, std::min(hi, cells - 1)); };
        const auto captionPart = [&] { return inCaptions(std::max(lo, cells), hi); };
        const std::optional<std::int64_t> first = backwards ? captionPart() : cellPart();
        return first ? first : backwards ? cellPart() : captionPart();
    };
    const auto hit = [&](const Table& t, std::int64_t at) {
        FindHit h{FindHit::Cell, t.tab, t.dataSet};
        const std::int64_t w = width(t);
        if (at >= std::int64_t{t.rows} * w) {
            h.kind = FindHit::Caption;
            h.row = std::clamp(from.row, 1, t.rows);
            h.col = static_cast<int>(at - std::int64_t{t.rows} * w) + 1;
            return h;
        }
        h.row = static_cast<int>(at / w) + 1;
        h.col = static_cast<int>(at % w) + (values ? 1 : 0);
        if (!values && h.col == 0) {
            h.kind = FindHit::Label;
            h.col = std::clamp(from.col, 1, t.cols);
        } else {
            h.byName = !values;
        }
        return h;
    };

    const std::int64_t total = count(shown);
    std::int64_t start = 0; // the shown table's position the search starts after
    if (total > 0) {
        const std::int64_t row = std::clamp(from.row, 1, shown.rows);
        const std::int64_t col = std::clamp(from.col, 1, shown.cols);
        const std::int64_t w = width(shown);
        start = values                                 ? (row - 1) * w + (col - 1)
                : from.onCaption && shown.captions > 0 ? shown.rows * w + (col - 1)
                : from.onCell                          ? (row - 1) * w + col
                                                       : (row - 1) * w;
    }

    // The rest of the shown table, the other data sets, then the shown table up to the start, which comes last.
    if (total > 0)
        if (const auto at = backwards ? search(shown, 0, start - 1) : search(shown, start + 1, total - 1))
            return hit(shown, *at);
    for (const Table& t : others)
        if (const auto at = search(t, 0, count(t) - 1))
            return hit(t, *at);
    if (total > 0)
        if (const auto at = backwards ? search(shown, start, total - 1) : search(shown, 0, start)) {
            FindHit h = hit(shown, *at);
            h.wrapped = true;
            return h;
        }
    return {};
}

QString DescribeFind(const DocumentState& doc, const QString& text, const FindFrom& from, const FindHit& hit,
                     bool backwards)
{
    const QString quoted = QuoteText(text.trimmed());
    if (hit.kind == FindHit::None)
        return QStringLiteral("「%1」は見つかりません").arg(quoted);
    const QString where = hit.kind == FindHit::Cell    ? (hit.byName ? QStringLiteral("名前「%1」のセル") : QStringLiteral("値「%1」のセル"))
                          : hit.kind == FindHit::Label ? QStringLiteral("行の名前の「%1」")
                                                       : QStringLiteral("見出しの「%1」");
    QString said = where.arg(quoted) + QStringLiteral("を見つけました");
    if (hit.tab == TabIdSection && hit.dataSet != from.dataSet && hit.dataSet >= 1 && hit.dataSet <= doc.DataSetCount)
        said += QStringLiteral("（データセット「%1」）").arg(QuoteText(doc.DataSets(hit.dataSet).Name));
    if (hit.wrapped)
        said += backwards ? QStringLiteral("。末尾から探し直しました")
                          : QStringLiteral("。先頭から探し直しました");
    return said;
}

} // namespace zor
