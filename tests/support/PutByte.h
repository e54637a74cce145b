#pragma once

// One cell's byte written as the command-line import does, without a journal: for tests that change a loaded table.

#include "core/edit/CellChange.h"

#include <stdexcept>

namespace zor::test {

inline void PutByte(DocumentState& doc, const CellRef& cell, std::uint8_t byte)
{
    const std::optional<CellContents> old = ContentsOf(doc, cell);
    const CellChange change{cell, old.value_or(CellContents{}), {byte}};
    if (!old || !ApplyCellChanges(doc, {&change, 1}))
        throw std::invalid_argument("PutByte: no such cell");
}

} // namespace zor::test
