#include "core/document/Tables.h"

#include "core/document/CellBytes.h"
#include "core/document/DocumentState.h"

namespace zor {

namespace {

// The first index of each of count cells laid one after another from 1, and the last index
// they use: sizeOf(i) bytes for cell i.
template <typename SizeOf>
int LayOut(std::vector<int>& first, int count, SizeOf sizeOf)
{
    first.assign(static_cast<std::size_t>(count) + 1, 0);
    int next = 1;
    for (int i = 1; i <= count; ++i) {
        first[static_cast<std::size_t>(i)] = next;
        next += sizeOf(i);
    }
    return next - 1;
}

} // namespace

const NdArray<std::uint8_t, 2>& Tables::IdBytes(int dataSet) const
{
    static const NdArray<std::uint8_t, 2> none;
    return idBytes_.contains(dataSet) ? idBytes_(dataSet) : none;
}

int Tables::IdColumn(int dataSet, int section) const
{
    if (dataSet < 1 || dataSet >= static_cast<int>(idColumns_.size()))
        return 0;
    const std::vector<int>& columns = idColumns_[static_cast<std::size_t>(dataSet)];
    return section >= 1 && section < static_cast<int>(columns.size()) ? columns[static_cast<std::size_t>(section)] : 0;
}

int Tables::IndividualIndex(int entry) const
{
    return entry >= 1 && entry < static_cast<int>(individualIndex_.size()) ? individualIndex_[static_cast<std::size_t>(entry)] : 0;
}

bool Tables::writeCell(const DocumentState& doc, const CellRef& cell, std::uint32_t value)
{
    // doc is this document: the const lookup finds the cell, and the tables own its bytes.
    const CellSpan span = CellSpanOf(doc, cell);
    if (!span)
        return false;
    std::uint8_t* first = const_cast<std::uint8_t*>(span.first);
    for (int k = 0; k < span.size; ++k)
        first[k * span.stride] = static_cast<std::uint8_t>(value >> (8 * k));
    return true;
}

NdArray<std::uint8_t, 2>& TableLoad::IdBytes(DocumentState& doc, int dataSet)
{
    if (doc.idBytes_.upper() != doc.DataSetCount + 1) {
        doc.idBytes_.redim(doc.DataSetCount + 1);
        doc.idColumns_.assign(static_cast<std::size_t>(doc.DataSetCount) + 2, {});
    }
    const DataSet& set = doc.DataSets(dataSet);
    const int columns = LayOut(doc.idColumns_[static_cast<std::size_t>(dataSet)], set.SectionCount,
                               [&](int q) { return SectionType(doc, TabIdSection, dataSet, q).Size; });
    NdArray<std::uint8_t, 2>& bytes = doc.idBytes_(dataSet);
    bytes.redim(columns, set.IdCount);
    return bytes;
}

NdArray<std::uint8_t, 1>& TableLoad::IndividualBytes(DocumentState& doc)
{
    const int last = LayOut(doc.individualIndex_, doc.IndividualCount,
                            [&](int e) { return SectionType(doc, TabIndividual, 0, e).Size; });
    doc.individual_.redim(last + 1);
    return doc.individual_;
}

void TableLoad::Battle(DocumentState& doc, BattleRecords records)
{
    doc.battle_ = std::move(records);
}

} // namespace zor
