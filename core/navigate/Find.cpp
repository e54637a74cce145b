#include "core/navigate/Find.h"

#include "core/files/Text.h"
#include "core/navigate/FindFold.h"
#include "core/view/Conversions.h"
#include "core/view/Grid.h"

#include <algorithm>
#include <cstring>

namespace zor {

namespace {

// A table as find walks it. One without a cell has nothing a match could put the cursor on.
struct Table {
    int tab = 0;
    int dataSet = 0;
    int rows = 0;
    int cols = 0;
    int captions = 0; // 個別データ's heading row is blank

    std::int64_t cells() const { return std::int64_t{rows} * cols; }
    std::int64_t texts() const { return std::int64_t{rows} + captions; }
    std::int64_t positions(bool bytes) const { return bytes ? cells() : texts(); }
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

// The bytes of a column, rows 1..rows one after another: every table keeps a section's bytes together.
const std::uint8_t* Column(const DocumentState& doc, const Table& t, int col)
{
    switch (t.tab) {
    case TabIdSection:
        return &doc.IdBytes(t.dataSet)(doc.IdColumn(t.dataSet, col), 0);
    case TabIndividual:
        return &doc.IndividualBytes()(1);
    default:
        return &doc.BattleParams()(col, 1);
    }
}

// The first (backwards: the last) cell holding value among the row-major positions lo..hi.
std::optional<std::int64_t> FindByte(const DocumentState& doc, const Table& t, std::uint8_t value, std::int64_t lo,
                                     std::int64_t hi, bool backwards)
{
    if (lo > hi)
        return std::nullopt;
    std::vector<const std::uint8_t*> columns(static_cast<std::size_t>(t.cols) + 1);
    for (int c = 1; c <= t.cols; ++c)
        columns[c] = Column(doc, t, c);
    const auto position = [&](int row, int col) { return std::int64_t{row - 1} * t.cols + (col - 1); };

    // Columns a..b of one row, in the search's direction.
    const auto inRow = [&](int row, int a, int b) -> std::optional<std::int64_t> {
        for (int i = 0; i <= b - a; ++i) {
            const int col = backwards ? b - i : a + i;
            if (columns[col][row - 1] == value)
                return position(row, col);
        }
        return std::nullopt;
    };
    // Whole rows a..b: each column down (up) to the nearest row found so far, so a tie goes
    // to the column met first; memchr keeps the common forward search at memory speed.
    const auto inRows = [&](int a, int b) -> std::optional<std::int64_t> {
        int bestRow = 0;
        int bestCol = 0;
        for (int i = 0; i < t.cols; ++i) {
            const int col = backwards ? t.cols - i : 1 + i;
            const std::uint8_t* column = columns[col];
            if (!backwards) {
                const int last = bestRow ? bestRow - 1 : b;
                if (last < a)
                    break;
                if (const void* found = std::memchr(column + (a - 1), value, static_cast<std::size_t>(last - a + 1))) {
                    bestRow = static_cast<int>(static_cast<const std::uint8_t*>(found) - column) + 1;
                    bestCol = col;
                }
            } else {
                const int first = bestRow ? bestRow + 1 : a;
                for (int row = b; row >= first; --row)
                    if (column[row - 1] == value) {
                        bestRow = row;
                        bestCol = col;
                        break;
                    }
            }
        }
        return bestRow ? std::optional<std::int64_t>(position(bestRow, bestCol)) : std::nullopt;
    };

    const int firstRow = static_cast<int>(lo / t.cols) + 1;
    const int firstCol = static_cast<int>(lo % t.cols) + 1;
    const int lastRow = static_cast<int>(hi / t.cols) + 1;
    const int lastCol = static_cast<int>(hi % t.cols) + 1;
    if (firstRow == lastRow)
        return inRow(firstRow, firstCol, lastCol);
    const auto head = [&] { return inRow(firstRow, firstCol, t.cols); };
    const auto tail = [&] { return inRow(lastRow, 1, lastCol); };
    std::optional<std::int64_t> found = backwards ? tail() : head();
    if (!found && lastRow - firstRow > 1)
        found = inRows(firstRow + 1, lastRow - 1);
    if (!found)
        found = backwards ? head() : tail();
    return found;
}

} // namespace

FindQuery::FindQuery(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return; // the cell editor reads a blank as 0, a search for nothing does not
    byte = ParseCellText(trimmed);
    if (!byte)
        folded = FoldForFind(trimmed);
}

const Finder::Folded& Finder::folded(const DocumentState& doc, int tab, int dataSet)
{
    const auto key = std::make_pair(tab, dataSet);
    if (const auto found = folded_.find(key); found != folded_.end())
        return found->second;
    const Table t = TableOf(doc, tab, dataSet);
    Folded f;
    f.starts.reserve(static_cast<std::size_t>(t.texts()) + 1);
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
    const bool bytes = query.byte.has_value();

    // The first (backwards: the last) match among positions lo..hi of a table.
    const auto search = [&](const Table& t, std::int64_t lo, std::int64_t hi) -> std::optional<std::int64_t> {
        if (lo > hi)
            return std::nullopt;
        if (bytes)
            return FindByte(doc, t, *query.byte, lo, hi, backwards);
        const Folded& f = folded(doc, t.tab, t.dataSet);
        const qsizetype at = backwards ? f.text.lastIndexOf(query.folded, f.starts[hi + 1] - 1)
                                       : f.text.indexOf(query.folded, f.starts[lo]);
        if (at < 0)
            return std::nullopt;
        const std::int64_t item = std::upper_bound(f.starts.begin(), f.starts.end(), at) - f.starts.begin() - 1;
        return item >= lo && item <= hi ? std::optional<std::int64_t>(item) : std::nullopt;
    };
    const auto hit = [&](const Table& t, std::int64_t at) {
        FindHit h{FindHit::Cell, t.tab, t.dataSet};
        if (bytes) {
            h.row = static_cast<int>(at / t.cols) + 1;
            h.col = static_cast<int>(at % t.cols) + 1;
        } else if (at < t.rows) {
            h.kind = FindHit::Label;
            h.row = static_cast<int>(at) + 1;
            h.col = std::clamp(from.col, 1, t.cols);
        } else {
            h.kind = FindHit::Caption;
            h.row = std::clamp(from.row, 1, t.rows);
            h.col = static_cast<int>(at - t.rows) + 1;
        }
        return h;
    };

    const Table shown = TableOf(doc, from.tab, from.dataSet);
    const std::int64_t count = shown.positions(bytes);
    std::int64_t start = 0; // the shown table's position the search starts after
    if (count > 0) {
        const int row = std::clamp(from.row, 1, shown.rows);
        const int col = std::clamp(from.col, 1, shown.cols);
        start = bytes                                  ? std::int64_t{row - 1} * shown.cols + (col - 1)
                : from.onCaption && shown.captions > 0 ? std::int64_t{shown.rows} + (col - 1)
                                                       : std::int64_t{row - 1};
    }
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

    // The rest of the shown table, the other data sets, then the shown table up to the start, which comes last.
    if (count > 0)
        if (const auto at = backwards ? search(shown, 0, start - 1) : search(shown, start + 1, count - 1))
            return hit(shown, *at);
    for (const Table& t : others)
        if (const auto at = search(t, 0, t.positions(bytes) - 1))
            return hit(t, *at);
    if (count > 0)
        if (const auto at = backwards ? search(shown, start, count - 1) : search(shown, 0, start)) {
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
    const QString where = hit.kind == FindHit::Cell    ? QStringLiteral("値「%1」のセル")
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
