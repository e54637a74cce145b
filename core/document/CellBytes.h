#pragma once

// The one place that turns a grid cell of a table into its document bytes: tab 1 its
// section's byte columns at row - 1 of the data set's bytes, tab 2 the entry of the row
// (the column does not matter), tab 3 (column, row) of BattleParams and the bytes after
// it in the record. Beside it, the cell's type and value, where it lies in the image and
// whether it may be written.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zor {

// A cell's bytes in its table, the lowest first: byte k is first[k * stride]. Empty
// (first null) outside every table.
struct CellSpan {
    const std::uint8_t* first = nullptr;
    std::ptrdiff_t stride = 0;
    int size = 0;

    explicit operator bool() const { return first != nullptr; }
    std::uint8_t operator[](int k) const { return first[k * stride]; }
    std::uint32_t value() const
    {
        std::uint32_t v = 0;
        for (int k = size - 1; k >= 0; --k)
            v = v << 8 | first[k * stride];
        return v;
    }
};
CellSpan CellSpanOf(const DocumentState& doc, const CellRef& cell);

// The first byte of a cell; nullptr outside every table.
const std::uint8_t* CellByte(const DocumentState& doc, int tab, int dataSet, int col, int row);

// A cell's value, its bytes read as an unsigned number; nullopt outside every table.
std::optional<std::uint32_t> CellValueOf(const DocumentState& doc, const CellRef& cell);

// The type of a cell: its section's, except that a battle byte inside an earlier field is
// a byte of its own (read-only, see ReadOnlyReason).
const CellType& CellTypeOf(const DocumentState& doc, const CellRef& cell);

// The battle field that byte col (1 to 25) belongs to: col itself when a field starts
// there, else the earlier field whose bytes run over it. A field's [Size] never runs past
// byte 25 (the load refuses it).
int BattleFieldOf(const DocumentState& doc, int col);

// The file offset of a cell's first byte: on tab 1 its section's offset + ID number × step, on tab 2
// its entry's offset, in 64 bits, so it may lie before the image or far past it. nullopt
// for a battle cell (the blocks have no fixed place), a cell outside its table, and a
// cell whose offset line is unusable.
std::optional<std::int64_t> CellOffset(const DocumentState& doc, int tab, int dataSet, int col, int row);

// A cell as a message names it: the table, the ID or entry, the section; on tab 3 the
// record and the byte.
QString CellName(const DocumentState& doc, int tab, int dataSet, int col, int row);

// Why a cell is read-only, in a short Japanese sentence: no cell of the image may change
// (ImageReadOnly), the battle records may not (BattleReadOnly), or, naming the cell (the table, the ID or entry, the section), its offset
// is unusable, lies before the image or at or past the image size limit. nullopt when it
// can be written; a cell outside every table holds nothing to refuse.
std::optional<QString> ReadOnlyReason(const DocumentState& doc, int tab, int dataSet, int col, int row);

// Why the battle records may not change (ImageReadOnly, else BattleReadOnly); nullopt when
// they may. Cells, row commands and the save's encoding all ask this.
std::optional<QString> BattleReadOnlyReason(const DocumentState& doc);

inline bool IsCellWritable(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    return !ReadOnlyReason(doc, tab, dataSet, col, row);
}

} // namespace zor
