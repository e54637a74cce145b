#pragma once

// What ZOR.ini asks of every save besides the changes themselves, applied to the image
// just before it is written.

#include "core/document/DocumentState.h"

#include <QByteArray>

namespace zor {

// FixChecksum=1: the header checksum and complement computed anew. An image without a
// header where ZOR looks (under 0x8000 bytes, or behind a copier's header) is left as
// it is rather than written into at a guessed place.
void ApplySaveOptions(const DocumentState& doc, QByteArray& image);

} // namespace zor
