#include "core/output/SaveOptions.h"

#include "core/output/HeaderChecksum.h"

namespace zor {

void ApplySaveOptions(const DocumentState& doc, QByteArray& image)
{
    // An image without a header where ZOR looks is saved without a checksum rather than written into at a guess.
    if (doc.FixChecksum)
        static_cast<void>(FixHeaderChecksum(image));
}

} // namespace zor
