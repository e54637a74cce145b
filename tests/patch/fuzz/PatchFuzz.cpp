// Arbitrary bytes as a patch for one small source: refused or not, never a crash nor a result larger than an image.

#include "core/files/ReadFile.h"
#include "core/patch/Crc32.h"
#include "core/patch/Patch.h"

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray Source()
{
    QByteArray source(512, '\0');
    for (int i = 0; i < source.size(); ++i)
        source[i] = static_cast<char>((i * 37 + i / 7) & 0xFF);
    return source;
}

void Apply(const QByteArray& patch, const QByteArray& source)
{
    const zor::Result<QByteArray> result = zor::ApplyPatch(patch, source);
    if (!result && result.failure().message().isEmpty())
        std::abort(); // a refusal always says why
    if (result && result->size() > zor::kMaxImageSize)
        std::abort();
}

void PutLe32(QByteArray& bytes, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QByteArray source = Source();
    const QByteArray patch(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Apply(patch, source);
    // Almost every mutation breaks the patch's CRC32 and stops there; with the source's and the patch's CRC32 made
    // right, the actions are read as well (the target's CRC32 is checked only after them).
    if (patch.startsWith("BPS1") && patch.size() >= 19) {
        QByteArray sealed = patch;
        PutLe32(sealed, sealed.size() - 12, zor::Crc32(source));
        PutLe32(sealed, sealed.size() - 4, zor::Crc32(QByteArrayView(sealed).first(sealed.size() - 4)));
        Apply(sealed, source);
    }
    return 0;
}
