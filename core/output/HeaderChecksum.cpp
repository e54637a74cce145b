#include "core/output/HeaderChecksum.h"

#include <bit>

namespace zor {

namespace {

// The four checksum bytes as the sum counts them.
constexpr std::uint8_t kCountedAs[4] = {0xFF, 0xFF, 0x00, 0x00};

std::uint64_t Sum(const QByteArray& image, qsizetype from, qsizetype count)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(image.constData()) + from;
    std::uint64_t sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += bytes[i];
    for (qsizetype k = 0; k < 4; ++k) {
        const qsizetype at = kComplementOffset + k;
        if (at >= from && at < from + count)
            sum = sum - static_cast<std::uint8_t>(image[at]) + kCountedAs[k];
    }
    return sum;
}

struct Mirrored {
    std::uint64_t sum; // modulo 0x10000
    qsizetype covered;
};

// Sizes that are no power of two: the part past the largest power of two is repeated
// until it covers as much as that power, as the hardware mirrors it.
Mirrored MirrorSum(const QByteArray& image, qsizetype from, qsizetype count)
{
    if (count == 0 || std::has_single_bit(static_cast<std::uint64_t>(count)))
        return {Sum(image, from, count) & 0xFFFF, count};
    const qsizetype p = static_cast<qsizetype>(std::bit_floor(static_cast<std::uint64_t>(count)));
    Mirrored rest = MirrorSum(image, from + p, count - p);
    while (rest.covered < p) {
        rest.sum = (rest.sum * 2) & 0xFFFF;
        rest.covered *= 2;
    }
    return {(Sum(image, from, p) + rest.sum) & 0xFFFF, 2 * p};
}

std::uint16_t Word(const QByteArray& image, qsizetype at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(image[at]) | (static_cast<std::uint8_t>(image[at + 1]) << 8));
}

} // namespace

Result<HeaderChecksum> ComputeHeaderChecksum(const QByteArray& image)
{
    auto refuse = [](const QString& why) { return Failure::Of(Failure::Kind::Refused, QString(), why); };
    if (image.size() < kBankSize)
        return refuse(QStringLiteral("%1 バイトのイメージにはヘッダがありません（ヘッダは 0x7FC0 にあり、0x8000 バイト以上のイメージにだけあります）")
                          .arg(image.size()));
    if (HasCopierHeader(image.size()))
        return refuse(QStringLiteral("32 KiB の倍数より 512 バイト長いイメージです。先頭にコピー機のヘッダがあるようで、"
                                     "ヘッダの位置が分かりません"));
    HeaderChecksum result;
    result.storedComplement = Word(image, kComplementOffset);
    result.storedChecksum = Word(image, kChecksumOffset);
    result.checksum = static_cast<std::uint16_t>(MirrorSum(image, 0, image.size()).sum);
    result.complement = static_cast<std::uint16_t>(~result.checksum);
    return result;
}

Result<void> FixHeaderChecksum(QByteArray& image)
{
    const Result<HeaderChecksum> sums = ComputeHeaderChecksum(image);
    if (!sums)
        return sums.failure();
    image[kComplementOffset] = static_cast<char>(sums->complement & 0xFF);
    image[kComplementOffset + 1] = static_cast<char>(sums->complement >> 8);
    image[kChecksumOffset] = static_cast<char>(sums->checksum & 0xFF);
    image[kChecksumOffset + 1] = static_cast<char>(sums->checksum >> 8);
    return {};
}

} // namespace zor
