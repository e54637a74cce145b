// Arbitrary bytes as a patch for one small source. The patch may be refused, never
// crash, and nothing it gives back may be larger than an image may be.

#include "core/files/ReadFile.h"
#include "core/patch/Patch.h"
#include "tests/patch/fuzz/FuzzSource.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QByteArray source = zor::fuzz::PatchFuzzSource();
    const QByteArray patch(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const zor::PatchResult result = zor::ApplyPatch(patch, source);
    if (result.bytes.has_value() == !result.error.isEmpty())
        std::abort(); // either bytes or a reason, never both or neither
    if (result && result.bytes->size() > zor::kMaxImageSize)
        std::abort();
    return 0;
}
