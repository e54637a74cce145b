#include "core/codec/ImageLayout.h"

namespace zor {

bool HasCopierHeader(qsizetype size) { return size % kBankSize == kCopierHeaderSize; }

std::optional<qsizetype> ChecksumPlace(qsizetype size)
{
    if (size < kBankSize || HasCopierHeader(size))
        return std::nullopt;
    return kComplementOffset;
}

std::optional<QString> ImageSizeProblem(qsizetype size)
{
    if (size < kBankSize)
        return QStringLiteral("SNES の ROM イメージではないようです（%1 バイトしかなく、32 KiB に足りません）。").arg(size);
    if (size % kBankSize != 0 && !HasCopierHeader(size))
        return QStringLiteral("SNES の ROM イメージではないようです（%1 バイトは 32 KiB の倍数でも、"
                              "それに 512 バイトのヘッダーを足した大きさでもありません）。")
            .arg(size);
    return std::nullopt;
}

} // namespace zor
