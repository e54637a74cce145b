#pragma once

// Tables set straight into a DocumentState, without files or an image: for code that only reads bytes and notations.

#include "core/document/DocumentState.h"
#include "core/document/Tables.h"

#include <QStringList>

#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zor::test {

// One section of a hand-made table: its notation code and its bytes by row.
struct HandColumn {
    int notation = NotationHex;
    std::vector<std::uint8_t> bytes;
};

// A section of a hand-made data set: its caption, offset and step, and whether its offset is unusable.
struct SectionSpec {
    QString caption;
    std::int32_t offset = 0;
    int step = 1;
    bool unusable = false;
};

// A data set's definitions; SetDataSets gives its byte at (section c, ID i) c * 16 + i.
inline DataSet MakeDataSet(const QString& name, const QStringList& ids, const std::vector<SectionSpec>& sections)
{
    DataSet set;
    set.Name = name;
    set.IdCount = static_cast<int>(ids.size());
    set.SectionCount = static_cast<int>(sections.size());
    set.IdNames.redim(set.IdCount + 1);
    for (int r = 1; r <= set.IdCount; ++r)
        set.IdNames(r) = ids[r - 1];
    set.SectionAddresses.redim(set.SectionCount + 1);
    set.SectionAddressUnusable.redim(set.SectionCount + 1);
    set.SectionNames.redim(set.SectionCount + 1);
    set.SectionSettings.redim(2, set.SectionCount + 1);
    for (int c = 1; c <= set.SectionCount; ++c) {
        const SectionSpec& s = sections[c - 1];
        set.SectionNames(c) = s.caption;
        set.SectionAddresses(c) = s.offset;
        set.SectionAddressUnusable(c) = s.unusable ? 1 : 0;
        set.SectionSettings(SettingStep, c) = static_cast<std::int16_t>(s.step);
        set.SectionSettings(SettingNotation, c) = NotationHex;
    }
    return set;
}

// Data set d's bytes as the load puts them in: (section q, ID i) gets byte(q, i).
template <class ByteOf>
void FillIdBytes(DocumentState& doc, int dataSet, ByteOf byte)
{
    NdArray<std::uint8_t, 2>& bytes = TableLoad::IdBytes(doc, dataSet);
    for (int q = 1; q <= doc.DataSets(dataSet).SectionCount; ++q)
        for (int i = 0; i < doc.DataSets(dataSet).IdCount; ++i)
            bytes(q, i) = static_cast<std::uint8_t>(byte(q, i));
}

inline void SetDataSets(DocumentState& doc, std::vector<DataSet> sets)
{
    doc.DataSetCount = static_cast<int>(sets.size());
    doc.DataSets.redim(doc.DataSetCount + 1);
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        doc.DataSets(k) = std::move(sets[k - 1]);
        FillIdBytes(doc, k, [](int q, int i) { return q * 16 + i; });
    }
}

// Data set 1 becomes a table "表" of these columns, captioned "列1", "列2", …, each as long as the first.
inline void SetIdTable(DocumentState& doc, const std::vector<HandColumn>& columns)
{
    const int ids = columns.empty() ? 0 : static_cast<int>(columns[0].bytes.size());
    std::vector<SectionSpec> sections;
    for (std::size_t q = 1; q <= columns.size(); ++q)
        sections.push_back({QStringLiteral("列%1").arg(q)});
    DataSet set = MakeDataSet(QStringLiteral("表"), QStringList(ids, QString()), sections);
    for (int q = 1; q <= set.SectionCount; ++q) {
        if (columns[q - 1].bytes.size() != static_cast<std::size_t>(ids))
            throw std::invalid_argument("SetIdTable: columns of different lengths");
        set.SectionSettings(SettingNotation, q) = static_cast<std::int16_t>(columns[q - 1].notation);
    }
    SetDataSets(doc, {std::move(set)});
    FillIdBytes(doc, 1, [&](int q, int id) { return columns[q - 1].bytes[id]; });
}

// 個別データ of doc: one entry per (notation, byte).
inline void SetIndividual(DocumentState& doc, const std::vector<std::pair<int, std::uint8_t>>& entries)
{
    doc.IndividualCount = static_cast<int>(entries.size());
    NdArray<std::uint8_t, 1>& bytes = TableLoad::IndividualBytes(doc);
    doc.IndividualSettings.redim(2, doc.IndividualCount + 1);
    for (int e = 1; e <= doc.IndividualCount; ++e) {
        doc.IndividualSettings(SettingNotation, e) = static_cast<std::int16_t>(entries[e - 1].first);
        bytes(e) = entries[e - 1].second;
    }
}

// Battle records as the load puts them in: count records, section c of record r byte(c, r), block g + 1 at starts[g].
template <class ByteOf>
void SetBattleRecords(DocumentState& doc, int count, ByteOf byte, const std::vector<int>& starts = {})
{
    BattleRecords records;
    records.count = count;
    records.params.redim(kBattleRecordSize + 1, count + 1);
    for (int r = 1; r <= count; ++r)
        for (int c = 1; c <= kBattleRecordSize; ++c)
            records.params(c, r) = static_cast<std::uint8_t>(byte(c, r));
    for (std::size_t k = 0; k < starts.size(); ++k)
        records.groupStarts(static_cast<int>(k) + 1) = starts[k];
    TableLoad::Battle(doc, std::move(records));
}

// Battle records of doc: section col holds bytes by record, every other section 0.
inline void SetBattleColumn(DocumentState& doc, int col, int notation, const std::vector<std::uint8_t>& bytes)
{
    SetBattleRecords(doc, static_cast<int>(bytes.size()), [&](int c, int r) { return c == col ? bytes[r - 1] : 0; });
    doc.BattleSettings.redim(2, kBattleRecordSize + 1);
    doc.BattleSettings(SettingNotation, col) = static_cast<std::int16_t>(notation);
}

} // namespace zor::test
