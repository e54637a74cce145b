#pragma once

#include <cstdint>

namespace zor {

// One changed cell in the undo or redo journal: where it is, how the grid was
// scrolled, and the value it held (its bytes as an unsigned number). The steps of the edit history group the records.
struct JournalRecord {
    int Tab = 0;
    int DataSet = 0;
    int Col = 0;
    int Row = 0;
    int TopRow = 0;
    int LeftCol = 0;
    std::uint32_t Value = 0;
};

} // namespace zor
