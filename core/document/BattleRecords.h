#pragma once

// The split of a decoded battle stream into 25-byte records, as the loader does it:
// a 0 where a record would begin ends a block, and the record after it starts a group.

#include "core/codec/CodecError.h"
#include "core/document/DocumentState.h"
#include "core/document/NdArray.h"

#include <cstdint>
#include <vector>

namespace zor {

// A stream array holding bytes from element 1 on, with the spare 0 element after them.
NdArray<std::uint8_t, 1> StreamFromBytes(const std::vector<std::uint8_t>& bytes);

// Throws CodecError when the stream is too short for its record count or has more
// separators than GroupStarts holds; never reads outside the stream.
BattleRecords SplitBattleStream(const NdArray<std::uint8_t, 1>& stream);

// Splits doc.BattleStream into BattleCount, BattleParams and GroupStarts. On
// CodecError the table is left empty (no record, no block start) and the error passes on.
void ReadBattleRecords(DocumentState& doc);

// No record, no block start.
void ClearBattleRecords(DocumentState& doc);

// The block (1..314) that holds record r of doc: record 1 begins block 1, and each
// GroupStarts entry at or before r one more. 0 when there is no record r.
int BattleBlockOf(const DocumentState& doc, int record);

// The number of records of each block as BattleBlockOf counts them, by block from 1
// (element 0 unused), in one pass over the records.
std::vector<int> BattleBlockSizes(const DocumentState& doc);

// First and last record of group g (0-based block number as the split sees it).
struct RecordRange {
    int first = 0;
    int last = -1;
};
RecordRange GroupRecords(const BattleRecords& records, int group);

} // namespace zor
