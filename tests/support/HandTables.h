#pragma once

// Tables set straight into a DocumentState, without files or an image: for the code that
// only reads bytes and notations.

#include "core/document/DocumentState.h"

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

// Data set 1 of doc becomes a table named "表" of these columns, captioned "列1", "列2", …;
// every column must hold as many bytes as the first.
inline void SetIdTable(DocumentState& doc, const std::vector<HandColumn>& columns)
{
    doc.DataSetCount = 1;
    doc.DataSets.redim(1);
    DataSet& set = doc.DataSets(1);
    set.Name = QStringLiteral("表");
    set.SectionCount = static_cast<int>(columns.size());
    set.IdCount = columns.empty() ? 0 : static_cast<int>(columns[0].bytes.size());
    set.Bytes.redim(set.SectionCount, set.IdCount);
    set.SectionSettings.redim(2, set.SectionCount + 1);
    set.SectionNames.redim(set.SectionCount);
    for (int q = 1; q <= set.SectionCount; ++q) {
        if (columns[q - 1].bytes.size() != static_cast<std::size_t>(set.IdCount))
            throw std::invalid_argument("SetIdTable: columns of different lengths");
        set.SectionNames(q) = QStringLiteral("列%1").arg(q);
        set.SectionSettings(SettingNotation, q) = static_cast<std::int16_t>(columns[q - 1].notation);
        for (int id = 0; id < set.IdCount; ++id)
            set.Bytes(q, id) = columns[q - 1].bytes[id];
    }
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
