#pragma once

// The small table the tests of values for selections work on.

#include "core/document/CellBytes.h"
#include "core/document/DocumentState.h"
#include "core/edit/Clipboard.h"

#include <array>

namespace zor::test {

// One data set of 5 IDs: section 1 hexadecimal, 2 unsigned, 3 signed, each ID's byte ID × 10 +
// section; 3 battle records. Every cell can be written.
inline DocumentState SmallDocument()
{
    DocumentState doc;
    doc.DataSetCount = 1;
    doc.DataSets.redim(2);
    DataSet& set = doc.DataSets(1);
    set.SectionCount = 3;
    set.IdCount = 5;
    set.Bytes.redim(3, 5);
    set.SectionAddresses.redim(4);
    set.SectionAddressUnusable.redim(4);
    set.SectionNames.redim(4);
    set.IdNames.redim(6);
    set.SectionSettings.redim(2, 4);
    for (int q = 1; q <= 3; ++q) {
        set.SectionAddresses(q) = 0x100 * q;
        set.SectionSettings(SettingStep, q) = 1;
        set.SectionSettings(SettingNotation, q) = std::array{NotationHex, NotationUnsigned, NotationSigned}[q - 1];
        for (int id = 0; id < 5; ++id)
            set.Bytes(q, id) = static_cast<std::uint8_t>(id * 10 + q);
    }
    doc.BattleCount = 3;
    doc.BattleParams.redim(26, 4);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 25; ++c)
            doc.BattleParams(c, r) = static_cast<std::uint8_t>(r);
    doc.CurrentDataSet = 1;
    doc.History.StartWithBaseline(doc);
    return doc;
}

inline constexpr GridSize kGrid{6, 4};

inline int Byte(const DocumentState& doc, int col, int row) { return *CellByte(doc, TabIdSection, 1, col, row); }

} // namespace zor::test
