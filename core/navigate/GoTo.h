#pragma once

// Where the go-to dialog's text leads: a row of the table shown, or the cell whose byte
// lies at an image offset or SNES address.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/files/Failure.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace zor {

// The cell one of whose bytes lies at offset: a tab-1 cell's bytes lie from its section's
// offset + ID number × step, as many as its size, so a section whose step is above its
// size holds only some of the bytes from its offset; a 個別データ entry's from its offset. Data set firstDataSet is looked at first, then the others
// in their order, then 個別データ; nullopt when no cell lies there.
std::optional<CellRef> CellAtOffset(const DocumentState& doc, int firstDataSet, std::int64_t offset);

// Reads text against the table shown (tab, and dataSet on tab 1) and the cursor's column:
// a number is an ID on tab 1 (decimal, or hexadecimal after "0x"), an entry on tab 2 and
// a record on tab 3 (both from 1), the cursor keeping its column; "@" and a hexadecimal
// offset, or a "$BB:AAAA" address, the cell whose byte lies there (CellAtOffset, the data
// set shown first; on tabs 2 and 3 firstDataSet, the one tab 1 shows). Refused with why
// there is no such cell, for the user to correct the text.
[[nodiscard]] Result<CellRef> ResolveGoTo(const DocumentState& doc, int tab, int dataSet, int firstDataSet, int cursorCol, QStringView text);

} // namespace zor
