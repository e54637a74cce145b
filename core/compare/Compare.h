#pragma once

// The difference of two images read through the same definitions: every table cell
// whose byte differs, the battle record counts, and the bytes that differ where no
// table cell lies. Both documents are loaded as the window loads them (LoadDocument);
// the images are the bytes they were loaded from. Nothing here reads a file.

#include "core/document/DocumentState.h"
#include "core/document/Problems.h"
#include "core/view/ChangedCell.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace zor {

// One cell whose byte differs, named as the old document's grid shows it.
using CellDifference = ChangedCell;

// A battle block whose number of records differs: a record moved into another block,
// or one added or deleted.
struct BlockDifference {
    int block = 0; // 1..314
    int oldRecords = 0;
    int newRecords = 0;
    bool operator==(const BlockDifference&) const = default;
};

// Offsets first..last, both included.
struct ByteRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
    bool operator==(const ByteRange&) const = default;
};

struct ImageComparison {
    std::vector<CellDifference> cells;   // tab 1 by data set, row, section; then tab 2; then tab 3
    std::optional<int> oldBattleCount;   // none when the image's blocks could not be decoded
    std::optional<int> newBattleCount;
    std::vector<BlockDifference> blocks; // ascending; only when both images' records were read
    std::vector<ByteRange> otherBytes;   // ascending; a length difference counts up to the longer end
    std::vector<Problem> problems;       // a battle table that could not be decoded, by image

    // Every difference of the two files is one of the above.
    bool identical() const
    {
        return cells.empty() && blocks.empty() && otherBytes.empty() && oldBattleCount == newBattleCount;
    }
};

// Compares the tables the definitions name, cell by cell (tables and sections that only
// one document has are left out), battle records by position up to the smaller count
// and the number of records of each block (not at all when either image's blocks could
// not be decoded), and the raw images outside every ID-section cell and individual
// entry. The places the battle encoder writes (the block region up to 0x3FFFFF, the
// pointer table, the bank bytes) are left out of the raw comparison only when the
// records of both images were read from there and compared; otherwise a difference
// there would go unreported, so they are compared as bytes.
ImageComparison CompareImages(const DocumentState& oldDoc, const QByteArray& oldImage, const DocumentState& newDoc,
                              const QByteArray& newImage);

} // namespace zor
