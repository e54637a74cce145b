#include "core/document/CellBytes.h"

namespace zor {

const std::uint8_t* CellByte(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    if (row < 1 || col < 1)
        return nullptr;
    switch (tab) {
    case TabIdSection:
        if (dataSet < 1 || dataSet > doc.DataSetCount || row > doc.DataSets(dataSet).IdCount
            || col > doc.DataSets(dataSet).SectionCount)
            return nullptr;
        return &doc.DataSets(dataSet).Bytes(col, row - 1);
    case TabIndividual:
        return row <= doc.IndividualCount ? &doc.IndividualBytes(row) : nullptr;
    case TabBattle:
        return row <= doc.BattleCount && col <= kBattleRecordSize ? &doc.BattleParams(col, row) : nullptr;
    default:
        return nullptr;
    }
}

std::uint8_t* CellByte(DocumentState& doc, int tab, int dataSet, int col, int row)
{
    return const_cast<std::uint8_t*>(CellByte(static_cast<const DocumentState&>(doc), tab, dataSet, col, row));
}

} // namespace zor
