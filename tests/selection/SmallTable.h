#pragma once

// The small table the tests of values for selections work on.

#include "core/document/CellBytes.h"
#include "core/document/DocumentState.h"
#include "core/edit/Clipboard.h"
#include "tests/support/HandTables.h"

#include <array>

namespace zor::test {

// One data set of 5 IDs: section 1 hexadecimal, 2 unsigned, 3 signed, each ID's byte ID × 10 +
// section; 3 battle records. Every cell can be written.
inline DocumentState SmallDocument()
{
    DocumentState doc;
    DataSet set = MakeDataSet(QString(), QStringList(5, QString()), {{{}, 0x100}, {{}, 0x200}, {{}, 0x300}});
    for (int q = 1; q <= 3; ++q) {
        set.SectionSettings(SettingNotation, q) = std::array{NotationHex, NotationUnsigned, NotationSigned}[q - 1];
    }
    SetDataSets(doc, {std::move(set)});
    FillIdBytes(doc, 1, [](int q, int id) { return id * 10 + q; });
    SetBattleRecords(doc, 3, [](int, int r) { return r; });
    doc.History.StartWithBaseline(doc);
    return doc;
}

inline constexpr GridSize kGrid{6, 4};
inline constexpr TableRef kTable{TabIdSection, 1};

inline int Byte(const DocumentState& doc, int col, int row) { return *CellByte(doc, TabIdSection, 1, col, row); }

} // namespace zor::test
