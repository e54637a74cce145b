#include "core/patch/Ips.h"

#include "core/files/ReadFile.h"
#include "core/patch/Damaged.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zor {

namespace {

constexpr qsizetype kMagicSize = 5;
constexpr qsizetype kEofOffset = 0x454F46; // "EOF" read as an offset
constexpr qsizetype kMaxRecord = 0xFFFF;
// Unchanged stretches up to a record's header are written again rather than starting a new record.
constexpr qsizetype kMergeGap = 5;
// A run record costs 8 bytes; shorter runs go with the bytes around them.
constexpr qsizetype kMinRun = 16;

void Put(QByteArray& out, std::uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

class IpsWriter {
public:
    explicit IpsWriter(const QByteArray& target) : t_(target) { out.append(kIpsMagic, kMagicSize); }

    QByteArray out;

    // The target's bytes [at, end) in records of at most kMaxRecord bytes.
    void data(qsizetype at, qsizetype end)
    {
        while (at < end) {
            const qsizetype start = at == kEofOffset ? at - 1 : at; // writes one byte again
            const qsizetype length = std::min(end - start, kMaxRecord);
            Put(out, static_cast<std::uint32_t>(start), 3);
            Put(out, static_cast<std::uint32_t>(length), 2);
            out.append(t_.constData() + start, length);
            at = start + length;
        }
    }

    // count bytes of the target from at, all of one value, as run records.
    void run(qsizetype at, qsizetype count)
    {
        while (count > 0) {
            if (at == kEofOffset) {
                data(at, at + 1);
                ++at;
                --count;
                continue;
            }
            const qsizetype length = std::min(count, kMaxRecord);
            Put(out, static_cast<std::uint32_t>(at), 3);
            Put(out, 0, 2);
            Put(out, static_cast<std::uint32_t>(length), 2);
            out.append(t_[at]);
            at += length;
            count -= length;
        }
    }

    // The changed stretch [at, end): long runs of one value as runs, the rest as data.
    void changed(qsizetype at, qsizetype end)
    {
        const char* t = t_.constData();
        qsizetype pending = at;
        while (at < end) {
            qsizetype length = 1;
            while (at + length < end && t[at + length] == t[at])
                ++length;
            if (length >= kMinRun) {
                data(pending, at);
                run(at, length);
                pending = at + length;
            }
            at += length;
        }
        data(pending, end);
    }

private:
    const QByteArray& t_;
};

Failure Refused(const QString& detail) { return Failure::Of(Failure::Kind::Refused, QString(), detail); }

std::uint32_t Get(const QByteArray& bytes, qsizetype at, int count)
{
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

QString HexOffset(qsizetype offset)
{
    return QStringLiteral("0x") + QString::number(offset, 16).toUpper().rightJustified(6, u'0');
}

} // namespace

Result<QByteArray> MakeIps(const QByteArray& source, const QByteArray& target)
{
    const qsizetype m = source.size();
    const qsizetype n = target.size();
    const char* s = source.constData();
    const char* t = target.constData();
    IpsWriter w(target);
    qsizetype pos = 0;
    auto sameFrom = [&](qsizetype at) {
        qsizetype k = at;
        const qsizetype limit = std::min(m, n);
        while (k < limit && s[k] == t[k])
            ++k;
        return k - at;
    };
    while (pos < n) {
        pos += sameFrom(pos);
        if (pos >= n)
            break;
        // A changed stretch, with short unchanged gaps inside it; past the source every byte counts as changed.
        const qsizetype start = pos;
        while (pos < n) {
            if (pos >= m || s[pos] != t[pos]) {
                ++pos;
                continue;
            }
            const qsizetype gap = sameFrom(pos);
            if (gap > kMergeGap || pos + gap >= n)
                break;
            pos += gap;
        }
        if (pos - 1 > kIpsMaxOffset)
            return Refused(QStringLiteral("IPS では 0xFFFFFF より後ろを書けません（%1 バイト目が変わっています）。BPS を使ってください")
                               .arg(HexOffset(std::max(start, kIpsMaxOffset + 1))));
        w.changed(start, pos);
    }
    w.out.append("EOF", 3);
    if (n < m) {
        if (n > kIpsMaxOffset)
            return Refused(QStringLiteral("IPS では 0xFFFFFF バイトより長いファイルを切り詰められません。BPS を使ってください"));
        Put(w.out, static_cast<std::uint32_t>(n), 3);
    }
    return std::move(w.out);
}

Result<QByteArray> ApplyIps(const QByteArray& patch, const QByteArray& source)
{
    if (!patch.startsWith(kIpsMagic))
        return Failure::Of(Failure::Kind::Damaged, QString(), QStringLiteral("IPS のパッチではありません（先頭が「PATCH」ではありません）"));
    if (source.size() > kMaxImageSize)
        return Failure::Of(Failure::Kind::TooLarge, QString(), QStringLiteral("元のファイルが %1 を超えています").arg(SizeText(kMaxImageSize)));
    const qsizetype size = patch.size();
    QByteArray target = source;
    qsizetype at = kMagicSize;
    for (;;) {
        if (size - at < 3)
            return PatchDamaged(QStringLiteral("終わりの「EOF」がありません"));
        if (std::memcmp(patch.constData() + at, "EOF", 3) == 0) {
            at += 3;
            if (at == size)
                return target;
            if (size - at != 3)
                return PatchDamaged(QStringLiteral("「EOF」の後に余分なバイトがあります"));
            const qsizetype truncated = Get(patch, at, 3);
            if (truncated > target.size())
                return PatchDamaged(QStringLiteral("切り詰める大きさ %1 バイトがファイルより大きいです").arg(truncated));
            target.truncate(truncated);
            return target;
        }
        if (size - at < 5)
            return PatchDamaged(QStringLiteral("レコードが途中で終わっています"));
        const qsizetype offset = Get(patch, at, 3);
        qsizetype length = Get(patch, at + 3, 2);
        at += 5;
        const char* bytes = nullptr;
        bool isRun = false;
        if (length == 0) {
            if (size - at < 3)
                return PatchDamaged(QStringLiteral("レコードが途中で終わっています"));
            length = Get(patch, at, 2);
            if (length == 0)
                return PatchDamaged(QStringLiteral("%1 の繰り返しが 0 回です").arg(HexOffset(offset)));
            bytes = patch.constData() + at + 2;
            isRun = true;
            at += 3;
        } else {
            if (size - at < length)
                return PatchDamaged(QStringLiteral("レコードが途中で終わっています"));
            bytes = patch.constData() + at;
            at += length;
        }
        if (offset + length > kMaxImageSize)
            return PatchDamaged(QStringLiteral("%1 を超える位置まで書きます").arg(SizeText(kMaxImageSize)));
        if (offset + length > target.size())
            target.append(QByteArray(offset + length - target.size(), '\0')); // the gap before the record reads as zeros
        if (isRun)
            std::memset(target.data() + offset, *bytes, static_cast<std::size_t>(length));
        else
            std::memcpy(target.data() + offset, bytes, static_cast<std::size_t>(length));
    }
}

} // namespace zor
