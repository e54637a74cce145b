#pragma once

// Image offsets and SNES addresses as the status bar writes them and the go-to dialog
// reads them: "0x061002" and "$8C:9002".

#include "core/files/Failure.h"

#include <QString>
#include <QStringView>

#include <cstdint>

namespace zor {

// "0x" and at least six upper-case hexadecimal digits; "-0x…" before the image.
QString OffsetText(std::int64_t offset);

// "$BB:AAAA" for offsets 0..0x3FFFFF; empty text for any other, which has no address.
QString SnesAddressText(std::int64_t offset);

// A place read back is the offset, or why the text names no place in the image (BadText).

// "@" and an offset of up to eight hexadecimal digits, "0x" before them allowed ("@61002",
// "@0x61002"); blanks around it and full-width forms allowed.
[[nodiscard]] Result<std::int64_t> ParseOffsetText(QStringView text);

// "$BB:AAAA" (or "$BBAAAA"), hexadecimal, blanks around it and full-width forms allowed.
// Banks $80-$FF, and $00-$7D read as their mirrors $80-$FD; $7E and $7F are work RAM
// and refused, as is an address below $8000, which lies outside the image's banks.
[[nodiscard]] Result<std::int64_t> ParseSnesAddress(QStringView text);

} // namespace zor
