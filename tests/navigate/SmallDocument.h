#pragma once

// Documents for the navigation tests, made in memory: data sets given by their ID names,
// captions, sections' offsets and steps; individual data; battle records in blocks.

#include "core/document/DocumentState.h"

#include <QStringList>

#include <vector>

namespace zor::test {

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

// Entries at the given offsets, named as given, each holding its number.
inline void SetIndividual(DocumentState& doc, const QStringList& names, const std::vector<std::int32_t>& offsets)
{
    doc.IndividualCount = static_cast<int>(names.size());
    doc.IndividualNames.redim(doc.IndividualCount + 1);
    doc.IndividualAddresses.redim(doc.IndividualCount + 1);
    doc.IndividualAddressUnusable.redim(doc.IndividualCount + 1);
    doc.IndividualBytes.redim(doc.IndividualCount + 1);
    doc.IndividualSettings.redim(2, doc.IndividualCount + 1);
    for (int r = 1; r <= doc.IndividualCount; ++r) {
        doc.IndividualNames(r) = names[r - 1];
        doc.IndividualAddresses(r) = offsets[r - 1];
        doc.IndividualBytes(r) = static_cast<std::uint8_t>(r);
    }
}

// Records whose first byte is the class (class + 1 is the ID row in data set classDataSet),
// the others 0xEE; blocks begin at the given records after the first.
inline void SetBattle(DocumentState& doc, int classDataSet, const std::vector<int>& classes, const std::vector<int>& starts,
                      const QStringList& captions = {})
{
    doc.ClassDataSet = classDataSet;
    doc.BattleCount = static_cast<int>(classes.size());
    doc.BattleParams.redim(kBattleRecordSize + 1, doc.BattleCount + 1);
    for (int r = 1; r <= doc.BattleCount; ++r) {
        doc.BattleParams(1, r) = static_cast<std::uint8_t>(classes[r - 1]);
        for (int c = 2; c <= kBattleRecordSize; ++c)
            doc.BattleParams(c, r) = 0xEE;
    }
    doc.GroupStarts.redim(kBattleBlockCount + 1);
    for (std::size_t k = 0; k < starts.size(); ++k)
        doc.GroupStarts(static_cast<int>(k) + 1) = starts[k];
    doc.BattleSettings.redim(2, kBattleRecordSize + 1);
    for (int c = 1; c <= kBattleRecordSize; ++c)
        doc.BattleSectionNames(c) = c - 1 < captions.size() ? captions[c - 1] : QStringLiteral("項目%1").arg(c);
}

} // namespace zor::test
