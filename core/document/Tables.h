#pragma once

// The document's table bytes: every data set's cells, the individual entries, the battle
// records and their block starts. They are read here and written in two places only:
// core/edit, which applies cell and row changes (and keeps the history's count of changed
// cells with them), and TableLoad, which the load and the re-read after a save use to put
// whole tables in. Arrays keep the index conventions of the rest of the document.

#include "core/document/NdArray.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zor {

struct DocumentState;
struct CellRef;
struct CellChange;
struct RowChange;

// The battle table as records: BattleCount, BattleParams and GroupStarts in one value.
struct BattleRecords {
    int count = 0;                     // BattleCount
    NdArray<std::uint8_t, 2> params;   // (section 0..26, record 0..count + 1), data in (1..25, 1..count)
    NdArray<int, 1> groupStarts{315};  // groupStarts(g) = first record after the g-th separator
    int separators = 0;                // separators met; the records form separators + 1 groups when count > 0
};

class Tables {
public:
    // Data set d's bytes, (byte column, ID number): a section of n bytes takes the n columns
    // from IdColumn(d, section), so a data set without sizes has one column per section, the
    // section's own number. An empty array for a data set without cells.
    const NdArray<std::uint8_t, 2>& IdBytes(int dataSet) const;
    // The first byte column of a section; 0 outside the data set.
    int IdColumn(int dataSet, int section) const;
    // The individual entries' bytes: entry e's n bytes from IndividualIndex(e) (e itself
    // when no entry is wider than a byte).
    const NdArray<std::uint8_t, 1>& IndividualBytes() const { return individual_; }
    int IndividualIndex(int entry) const;
    std::uint8_t BattleParams(int section, int record) const { return battle_.params(section, record); }
    const NdArray<std::uint8_t, 2>& BattleParams() const { return battle_.params; }
    int BattleCount() const { return battle_.count; }
    int GroupStarts(int block) const { return battle_.groupStarts(block); }
    const NdArray<int, 1>& GroupStarts() const { return battle_.groupStarts; }

private:
    friend class TableLoad;
    friend bool ApplyCellChanges(DocumentState& doc, std::span<const CellChange> changes);
    friend void ApplyRowChange(DocumentState& doc, const RowChange& change, bool forward);

    // Writes a cell's value into its bytes, as CellSpanOf finds them; false outside every table.
    bool writeCell(const DocumentState& doc, const CellRef& cell, std::uint32_t value);

    NdArray<NdArray<std::uint8_t, 2>, 1> idBytes_{1}; // by data set, 1..DataSetCount
    std::vector<std::vector<int>> idColumns_;          // by data set, by section: its first byte column
    NdArray<std::uint8_t, 1> individual_{1};           // by byte index
    std::vector<int> individualIndex_;                 // by entry: its first byte index
    BattleRecords battle_;
};

// Whole tables in, for the load and the re-read after a save (and for tests that build a
// document by hand, as the load would). The edit history's baseline is taken after.
class TableLoad {
public:
    // Sizes data set d's bytes to its definitions (the sections' sizes too), every byte 0;
    // d from 1 to DataSetCount.
    static NdArray<std::uint8_t, 2>& IdBytes(DocumentState& doc, int dataSet);
    // Sizes the individual entries' bytes to IndividualCount and their sizes, every byte 0.
    static NdArray<std::uint8_t, 1>& IndividualBytes(DocumentState& doc);
    static void Battle(DocumentState& doc, BattleRecords records);
};

} // namespace zor
