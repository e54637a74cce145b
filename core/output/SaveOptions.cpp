#include "core/output/SaveOptions.h"

#include "core/patch/HeaderChecksum.h"

namespace zor {

void ApplySaveOptions(const DocumentState& doc, QByteArray& image)
{
    if (doc.FixChecksum)
        FixHeaderChecksum(image);
}

} // namespace zor
