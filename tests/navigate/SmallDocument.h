#pragma once

// Documents for the navigation tests, made in memory: data sets given by their ID names,
// captions, sections' offsets and steps; individual data; battle records in blocks.

#include "core/document/DocumentState.h"
#include "tests/support/HandTables.h"

#include <QStringList>

#include <vector>

namespace zor::test {

// Entries at the given offsets, named as given, each holding its number.
inline void SetIndividual(DocumentState& doc, const QStringList& names, const std::vector<std::int32_t>& offsets)
{
    doc.IndividualCount = static_cast<int>(names.size());
    doc.IndividualNames.redim(doc.IndividualCount + 1);
    doc.IndividualAddresses.redim(doc.IndividualCount + 1);
    doc.IndividualAddressUnusable.redim(doc.IndividualCount + 1);
    NdArray<std::uint8_t, 1>& bytes = TableLoad::IndividualBytes(doc);
    doc.IndividualSettings.redim(2, doc.IndividualCount + 1);
    for (int r = 1; r <= doc.IndividualCount; ++r) {
        doc.IndividualNames(r) = names[r - 1];
        doc.IndividualAddresses(r) = offsets[r - 1];
        bytes(r) = static_cast<std::uint8_t>(r);
    }
}

// Records whose first byte is the class (class + 1 is the ID row in data set classDataSet),
// the others 0xEE; blocks begin at the given records after the first.
inline void SetBattle(DocumentState& doc, int classDataSet, const std::vector<int>& classes, const std::vector<int>& starts,
                      const QStringList& captions = {})
{
    doc.ClassDataSet = classDataSet;
    SetBattleRecords(doc, static_cast<int>(classes.size()), [&](int c, int r) { return c == 1 ? classes[r - 1] : 0xEE; }, starts);
    doc.BattleSettings.redim(2, kBattleRecordSize + 1);
    for (int c = 1; c <= kBattleRecordSize; ++c)
        doc.BattleSectionNames(c) = c - 1 < captions.size() ? captions[c - 1] : QStringLiteral("項目%1").arg(c);
}

} // namespace zor::test
