#include "core/patch/Bps.h"

#include "core/files/FileError.h"
#include "core/files/ReadFile.h"
#include "core/patch/BpsActions.h"
#include "core/patch/Crc32.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zor {

namespace {

// Shorter unchanged stretches go with the literal bytes around them: an action costs a byte or two.
constexpr qsizetype kMinSourceRead = 4;
// Runs of one value from this length on cost one byte and a copy instead of every byte.
constexpr qsizetype kMinRun = 8;
// Stretches of the source moved by an insertion or a deletion, from this length on, are copied.
constexpr qsizetype kMinSourceCopy = 16;

void PutNumber(QByteArray& out, std::uint64_t n)
{
    for (;;) {
        const std::uint8_t x = n & 0x7F;
        n >>= 7;
        if (n == 0) {
            out.append(static_cast<char>(0x80 | x));
            return;
        }
        out.append(static_cast<char>(x));
        --n;
    }
}

void PutCrc(QByteArray& out, std::uint32_t crc)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((crc >> (8 * i)) & 0xFF));
}

// How many bytes from a and b agree, up to max; eight at a time while they do.
qsizetype MatchLength(const char* a, const char* b, qsizetype max)
{
    qsizetype n = 0;
    while (n + 8 <= max) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y)
            break;
        n += 8;
    }
    while (n < max && a[n] == b[n])
        ++n;
    return n;
}

class BpsWriter {
public:
    QByteArray out;

    void action(BpsCommand command, qsizetype length)
    {
        PutNumber(out, (static_cast<std::uint64_t>(length - 1) << 2) | command);
    }
    void offset(qsizetype delta)
    {
        const std::uint64_t size = static_cast<std::uint64_t>(delta < 0 ? -delta : delta);
        PutNumber(out, (size << 1) | (delta < 0 ? 1 : 0));
    }
};

} // namespace

PatchResult MakeBps(const QByteArray& source, const QByteArray& target)
{
    if (source.size() > kMaxImageSize || target.size() > kMaxImageSize)
        return PatchResult::Failed(QStringLiteral("%1 を超えるファイルのパッチは作れません").arg(SizeText(kMaxImageSize)));
    const char* s = source.constData();
    const char* t = target.constData();
    const qsizetype m = source.size();
    const qsizetype n = target.size();

    BpsWriter w;
    w.out.append(kBpsMagic, kBpsMagicSize);
    PutNumber(w.out, static_cast<std::uint64_t>(m));
    PutNumber(w.out, static_cast<std::uint64_t>(n));
    PutNumber(w.out, 0); // no metadata

    qsizetype pos = 0;
    qsizetype literal = 0; // bytes before pos not yet written
    qsizetype sourceCursor = 0;
    qsizetype targetCursor = 0;
    auto flush = [&] {
        if (literal == 0)
            return;
        w.action(TargetRead, literal);
        w.out.append(t + pos - literal, literal);
        literal = 0;
    };
    while (pos < n) {
        const qsizetype same = pos < m ? MatchLength(s + pos, t + pos, std::min(m, n) - pos) : 0;
        if (same >= kMinSourceRead || (same > 0 && pos + same == n)) {
            flush();
            w.action(SourceRead, same);
            pos += same;
            continue;
        }
        // Bytes inserted or deleted before here leave the rest of the source moved by the
        // difference in size: it is copied from there.
        if (m != n && pos + (m - n) >= 0 && pos + (m - n) < m) {
            const qsizetype from = pos + (m - n);
            const qsizetype moved = MatchLength(s + from, t + pos, std::min(m - from, n - pos));
            if (moved >= kMinSourceCopy) {
                flush();
                w.action(SourceCopy, moved);
                w.offset(from - sourceCursor);
                sourceCursor = from + moved;
                pos += moved;
                continue;
            }
        }
        qsizetype run = 1;
        while (run < kMinRun && pos + run < n && t[pos + run] == t[pos])
            ++run;
        if (run < kMinRun) {
            // Unchanged bytes too few for an action of their own travel with the changed ones.
            const qsizetype step = std::max<qsizetype>(same, 1);
            pos += step;
            literal += step;
            continue;
        }
        while (pos + run < n && t[pos + run] == t[pos])
            ++run;
        // The copy needs one byte of the value already written; the copy then overlaps its own output.
        if (pos == 0 || t[pos - 1] != t[pos]) {
            ++pos;
            ++literal;
            --run;
        }
        flush();
        w.action(TargetCopy, run);
        w.offset((pos - 1) - targetCursor);
        targetCursor = pos - 1 + run;
        pos += run;
    }
    flush();

    PutCrc(w.out, Crc32(source));
    PutCrc(w.out, Crc32(target));
    PutCrc(w.out, Crc32(w.out));
    return PatchResult::Ok(std::move(w.out));
}

} // namespace zor
