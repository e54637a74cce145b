#include "core/document/Tables.h"

#include "core/document/CellBytes.h"
#include "core/document/DocumentState.h"

namespace zor {

const NdArray<std::uint8_t, 2>& Tables::IdBytes(int dataSet) const
{
    static const NdArray<std::uint8_t, 2> none;
    return idBytes_.contains(dataSet) ? idBytes_(dataSet) : none;
}

std::uint8_t* Tables::cellByte(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    // doc is this document: the const lookup finds the cell, and the tables own its byte.
    return const_cast<std::uint8_t*>(CellByte(doc, tab, dataSet, col, row));
}

NdArray<std::uint8_t, 2>& TableLoad::IdBytes(DocumentState& doc, int dataSet)
{
    if (doc.idBytes_.upper() != doc.DataSetCount + 1)
        doc.idBytes_.redim(doc.DataSetCount + 1);
    const DataSet& set = doc.DataSets(dataSet);
    NdArray<std::uint8_t, 2>& bytes = doc.idBytes_(dataSet);
    bytes.redim(set.SectionCount, set.IdCount);
    return bytes;
}

NdArray<std::uint8_t, 1>& TableLoad::IndividualBytes(DocumentState& doc)
{
    doc.individual_.redim(doc.IndividualCount + 1);
    return doc.individual_;
}

void TableLoad::Battle(DocumentState& doc, BattleRecords records)
{
    doc.battle_ = std::move(records);
}

} // namespace zor
