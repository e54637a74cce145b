#pragma once

// The last check of a save: the finished image, before anything is written, read as the
// next load would read it.

#include "core/document/DocumentState.h"
#include "core/files/Failure.h"

#include <QByteArray>

namespace zor {

// Whether image gives the document back whole, else what of it would not: the battle
// records and their block starts decode as the document holds them (when the image has
// battle records), and every ID-section and individual cell that differs from its baseline
// reads its new byte at its offset (the encoder or the checksum may have written over it).
// Changes nothing; the decode uses a codec of its own.
[[nodiscard]] Result<void> CheckReadBack(const DocumentState& doc, const QByteArray& image);

} // namespace zor
