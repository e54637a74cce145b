#include "core/view/ColumnValues.h"

#include "core/document/CellBytes.h"

#include <algorithm>

namespace zor {

namespace {

// The run of a two-dimensional array from (major, first) to (major, last): the last index runs fastest.
std::span<const std::uint8_t> Run(const NdArray<std::uint8_t, 2>& bytes, int major, int first, int last)
{
    if (last < first || !bytes.contains(major, first) || !bytes.contains(major, last))
        return {};
    return {&bytes(major, first), static_cast<std::size_t>(last - first + 1)};
}

} // namespace

std::span<const std::uint8_t> ColumnBytes(const DocumentState& doc, int tab, int dataSet, int col)
{
    switch (tab) {
    case TabIdSection: {
        if (!doc.DataSets.contains(dataSet))
            return {};
        const DataSet& set = doc.DataSets(dataSet);
        if (col < 1 || col > set.SectionCount || SectionType(doc, tab, dataSet, col).Size != 1)
            return {};
        return Run(doc.IdBytes(dataSet), doc.IdColumn(dataSet, col), 0, set.IdCount - 1);
    }
    case TabIndividual:
        // Entry e's byte is e only while no entry is wider than a byte.
        if (col != 1 || doc.IndividualCount < 1 || doc.IndividualIndex(doc.IndividualCount) != doc.IndividualCount
            || !doc.IndividualBytes().contains(doc.IndividualCount))
            return {};
        return {&doc.IndividualBytes()(1), static_cast<std::size_t>(doc.IndividualCount)};
    case TabBattle:
        if (col < 1 || col > kBattleRecordSize || CellTypeOf(doc, {TabBattle, 0, col, 1}).Size != 1)
            return {};
        return Run(doc.BattleParams(), col, 1, doc.BattleCount());
    default:
        return {};
    }
}

std::vector<std::int64_t> ColumnNumbers(const DocumentState& doc, int tab, int dataSet, int col)
{
    std::vector<std::int64_t> numbers;
    // A column of bytes (every table's usual one) is read straight from its run.
    if (const std::span<const std::uint8_t> bytes = ColumnBytes(doc, tab, dataSet, col); !bytes.empty() && tab != TabIndividual) {
        const bool isSigned = ShowsSigned(doc, tab, dataSet, col);
        numbers.reserve(bytes.size());
        for (const std::uint8_t byte : bytes)
            numbers.push_back(ValueOf(byte, isSigned));
        return numbers;
    }
    const int rows = tab == TabIdSection   ? (doc.DataSets.contains(dataSet) ? doc.DataSets(dataSet).IdCount : 0)
                     : tab == TabIndividual ? (col == 1 ? doc.IndividualCount : 0)
                                            : doc.BattleCount();
    numbers.reserve(static_cast<std::size_t>(std::max(rows, 0)));
    for (int row = 1; row <= rows; ++row) {
        const CellSpan span = CellSpanOf(doc, {tab, dataSet, col, row});
        if (!span)
            return {};
        numbers.push_back(NumberOf(span.value(), span.size, ShowsSigned(doc, tab, dataSet, tab == TabIndividual ? row : col)));
    }
    return numbers;
}

bool ShowsSigned(const DocumentState& doc, int tab, int dataSet, int section)
{
    const std::int16_t* code = SectionSetting(doc, SettingNotation, tab, dataSet, section);
    return code && *code == NotationSigned;
}

} // namespace zor
