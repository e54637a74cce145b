#include "core/view/ColumnValues.h"

#include "core/document/CellBytes.h"

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

bool ShowsSigned(const DocumentState& doc, int tab, int dataSet, int section)
{
    const std::int16_t* code = SectionSetting(doc, SettingNotation, tab, dataSet, section);
    return code && *code == NotationSigned;
}

} // namespace zor
