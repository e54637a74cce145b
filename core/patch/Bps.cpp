#include "core/patch/Bps.h"

#include "core/files/ReadFile.h"
#include "core/patch/BpsActions.h"
#include "core/patch/Crc32.h"
#include "core/patch/Damaged.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zor {

namespace {

constexpr qsizetype kFooterSize = 12;

std::uint32_t CrcAt(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t crc = 0;
    for (int i = 0; i < 4; ++i)
        crc |= std::uint32_t{static_cast<std::uint8_t>(bytes[at + i])} << (8 * i);
    return crc;
}

Failure TooLarge(std::uint64_t size)
{
    return PatchDamaged(QStringLiteral("%1 バイトのファイルを書くとあります。上限は %2 です").arg(size).arg(SizeText(kMaxImageSize)));
}

Failure OtherFile(const QString& detail) { return Failure::Of(Failure::Kind::OtherFile, QString(), detail); }

QString Hex32(std::uint32_t crc) { return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper(); }

// The numbers of a patch, read up to its footer, refusing one past 64 bits.
class BpsReader {
public:
    BpsReader(const QByteArray& patch, qsizetype at, qsizetype end) : data_(patch.constData()), at_(at), end_(end) {}

    [[nodiscard]] Result<std::uint64_t> number()
    {
        std::uint64_t n = 0;
        std::uint64_t shift = 1;
        for (;;) {
            if (at_ >= end_)
                return PatchDamaged(QStringLiteral("途中で終わっています"));
            const std::uint8_t x = static_cast<std::uint8_t>(data_[at_++]);
            std::uint64_t part = 0;
            if (__builtin_mul_overflow(std::uint64_t{x & 0x7Fu}, shift, &part) || __builtin_add_overflow(n, part, &n))
                return Overflow();
            if (x & 0x80)
                break;
            if (__builtin_mul_overflow(shift, std::uint64_t{128}, &shift) || __builtin_add_overflow(n, shift, &n))
                return Overflow();
        }
        return n;
    }

    qsizetype at() const { return at_; }
    qsizetype left() const { return end_ - at_; }
    bool done() const { return at_ >= end_; }
    const char* take(qsizetype n)
    {
        const char* bytes = data_ + at_;
        at_ += n;
        return bytes;
    }

private:
    static Failure Overflow() { return PatchDamaged(QStringLiteral("64 ビットに収まらない数があります")); }

    const char* data_;
    qsizetype at_;
    qsizetype end_;
};

// A copy cursor moved by an encoded delta, kept inside [0, limit].
[[nodiscard]] bool MoveCursor(std::uint64_t encoded, qsizetype limit, qsizetype* cursor)
{
    const std::uint64_t size = encoded >> 1;
    if (encoded & 1) {
        if (size > static_cast<std::uint64_t>(*cursor))
            return false;
        *cursor -= static_cast<qsizetype>(size);
    } else {
        if (size > static_cast<std::uint64_t>(limit - *cursor))
            return false;
        *cursor += static_cast<qsizetype>(size);
    }
    return true;
}

} // namespace

Result<QByteArray> ApplyBps(const QByteArray& patch, const QByteArray& source)
{
    if (!patch.startsWith(kBpsMagic))
        return Failure::Of(Failure::Kind::Damaged, QString(), QStringLiteral("BPS のパッチではありません（先頭が「BPS1」ではありません）"));
    if (patch.size() < kBpsMagicSize + 3 + kFooterSize)
        return PatchDamaged(QStringLiteral("%1 バイトしかありません").arg(patch.size()));
    const qsizetype footer = patch.size() - kFooterSize;
    const std::uint32_t patchCrc = Crc32(QByteArrayView(patch).first(patch.size() - 4));
    if (patchCrc != CrcAt(patch, footer + 8))
        return PatchDamaged(QStringLiteral("パッチの CRC32 が合いません"));

    BpsReader in(patch, kBpsMagicSize, footer);
    std::uint64_t sizes[3] = {}; // the source's, the target's, the metadata's
    for (std::uint64_t& size : sizes) {
        const Result<std::uint64_t> read = in.number();
        if (!read)
            return read.failure();
        size = *read;
    }
    const auto [sourceSize, targetSize, metadataSize] = sizes;
    if (sourceSize > static_cast<std::uint64_t>(kMaxImageSize))
        return TooLarge(sourceSize);
    if (targetSize > static_cast<std::uint64_t>(kMaxImageSize))
        return TooLarge(targetSize);
    if (metadataSize > static_cast<std::uint64_t>(in.left()))
        return PatchDamaged(QStringLiteral("メタデータがパッチの終わりを超えています"));
    in.take(static_cast<qsizetype>(metadataSize));

    // The source first: a patch for another file writes nothing.
    if (sourceSize != static_cast<std::uint64_t>(source.size()))
        return OtherFile(QStringLiteral("別のファイル用のパッチです（元のファイルは %1 バイトのはずが、%2 バイトです）")
                             .arg(sourceSize)
                             .arg(source.size()));
    const std::uint32_t sourceCrc = Crc32(source);
    if (sourceCrc != CrcAt(patch, footer))
        return OtherFile(QStringLiteral("別のファイル用のパッチです（元のファイルの CRC32 が %1 のはずが、%2 です）")
                             .arg(Hex32(CrcAt(patch, footer)), Hex32(sourceCrc)));

    const qsizetype size = static_cast<qsizetype>(targetSize);
    QByteArray target(size, '\0');
    char* out = target.data();
    const char* src = source.constData();
    qsizetype pos = 0;
    qsizetype sourceCursor = 0;
    qsizetype targetCursor = 0;
    while (!in.done()) {
        const Result<std::uint64_t> read = in.number();
        if (!read)
            return read.failure();
        const std::uint64_t data = *read;
        const auto command = static_cast<BpsCommand>(data & 3);
        const std::uint64_t length64 = (data >> 2) + 1;
        if (length64 > static_cast<std::uint64_t>(size - pos))
            return PatchDamaged(QStringLiteral("出力の終わり（%1 バイト）を超えて書きます").arg(size));
        const qsizetype length = static_cast<qsizetype>(length64);
        switch (command) {
        case SourceRead:
            if (length > source.size() - pos || pos > source.size())
                return PatchDamaged(QStringLiteral("元のファイルの終わりを超えて読みます"));
            std::memcpy(out + pos, src + pos, static_cast<std::size_t>(length));
            break;
        case TargetRead:
            if (length > in.left())
                return PatchDamaged(QStringLiteral("書くバイトがパッチの終わりを超えています"));
            std::memcpy(out + pos, in.take(length), static_cast<std::size_t>(length));
            break;
        case SourceCopy: {
            const Result<std::uint64_t> delta = in.number();
            if (!delta)
                return delta.failure();
            if (!MoveCursor(*delta, source.size(), &sourceCursor) || length > source.size() - sourceCursor)
                return PatchDamaged(QStringLiteral("元のファイルの外からコピーします"));
            std::memcpy(out + pos, src + sourceCursor, static_cast<std::size_t>(length));
            sourceCursor += length;
            break;
        }
        case TargetCopy: {
            const Result<std::uint64_t> delta = in.number();
            if (!delta)
                return delta.failure();
            if (!MoveCursor(*delta, size, &targetCursor) || targetCursor >= pos)
                return PatchDamaged(QStringLiteral("まだ書いていない位置からコピーします"));
            // The copy may overlap its own output, and then repeats the bytes from the cursor
            // with the period of their distance: copied from the cursor in whole periods, each
            // piece up to twice the last, so a long run of zeros costs few calls.
            const qsizetype distance = pos - targetCursor;
            for (qsizetype done = 0; done < length;) {
                const qsizetype periods = (pos + done - targetCursor) / distance * distance;
                const qsizetype piece = std::min(periods, length - done);
                std::memcpy(out + pos + done, out + targetCursor, static_cast<std::size_t>(piece));
                done += piece;
            }
            targetCursor += length;
            break;
        }
        }
        pos += length;
    }
    if (pos != size)
        return PatchDamaged(QStringLiteral("%1 バイト目で終わり、出力の %2 バイトに足りません").arg(pos).arg(size));
    const std::uint32_t targetCrc = Crc32(target);
    if (targetCrc != CrcAt(patch, footer + 4))
        return PatchDamaged(QStringLiteral("できたファイルの CRC32 が %1 のはずが、%2 です").arg(Hex32(CrcAt(patch, footer + 4)), Hex32(targetCrc)));
    return target;
}

} // namespace zor
