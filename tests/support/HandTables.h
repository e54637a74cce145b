#pragma once

// Tables set straight into a DocumentState, without files or an image: for the code that
// only reads bytes and notations.

#include "core/document/DocumentState.h"

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

// A data set whose byte at (section c, ID i) is c * 16 + i, unless changed afterwards.
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
    set.Bytes.redim(set.SectionCount + 1, set.IdCount + 1);
    for (int c = 1; c <= set.SectionCount; ++c) {
        const SectionSpec& s = sections[c - 1];
        set.SectionNames(c) = s.caption;
        set.SectionAddresses(c) = s.offset;
        set.SectionAddressUnusable(c) = s.unusable ? 1 : 0;
        set.SectionSettings(SettingStep, c) = static_cast<std::int16_t>(s.step);
        set.SectionSettings(SettingNotation, c) = NotationHex;
        for (int i = 0; i < set.IdCount; ++i)
            set.Bytes(c, i) = static_cast<std::uint8_t>(c * 16 + i);
    }
    return set;
}

inline void SetDataSets(DocumentState& doc, std::vector<DataSet> sets)
{
    doc.DataSetCount = static_cast<int>(sets.size());
    doc.DataSets.redim(doc.DataSetCount + 1);
    for (int k = 1; k <= doc.DataSetCount; ++k)
        doc.DataSets(k) = std::move(sets[k - 1]);
}

// Data set 1 of doc becomes a table named "表" of these columns, captioned "列1", "列2", …;
// every column must hold as many bytes as the first.
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
        for (int id = 0; id < ids; ++id)
            set.Bytes(q, id) = columns[q - 1].bytes[id];
    }
    SetDataSets(doc, {std::move(set)});
}

// 個別データ of doc: one entry per (notation, byte).
inline void SetIndividual(DocumentState& doc, const std::vector<std::pair<int, std::uint8_t>>& entries)
{
    doc.IndividualCount = static_cast<int>(entries.size());
    doc.IndividualBytes.redim(doc.IndividualCount + 1);
    doc.IndividualSettings.redim(2, doc.IndividualCount + 1);
    for (int e = 1; e <= doc.IndividualCount; ++e) {
        doc.IndividualSettings(SettingNotation, e) = static_cast<std::int16_t>(entries[e - 1].first);
        doc.IndividualBytes(e) = entries[e - 1].second;
    }
}

// Battle records of doc: section col holds bytes by record, every other section 0.
inline void SetBattleColumn(DocumentState& doc, int col, int notation, const std::vector<std::uint8_t>& bytes)
{
    doc.BattleCount = static_cast<int>(bytes.size());
    doc.BattleParams.redim(kBattleRecordSize + 1, doc.BattleCount + 1);
    doc.BattleSettings.redim(2, kBattleRecordSize + 1);
    doc.BattleSettings(SettingNotation, col) = static_cast<std::int16_t>(notation);
    for (int r = 1; r <= doc.BattleCount; ++r)
        doc.BattleParams(col, r) = bytes[r - 1];
}

} // namespace zor::test
