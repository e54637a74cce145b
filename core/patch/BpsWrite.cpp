#include "core/patch/Bps.h"

#include "core/files/Failure.h"
#include "core/files/ReadFile.h"
#include "core/patch/BpsActions.h"
#include "core/patch/CopyIndex.h"
#include "core/patch/Crc32.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

namespace zor {

namespace {

// Shorter unchanged stretches go with the literal bytes around them: an action costs a byte or two.
constexpr qsizetype kMinSourceRead = 4;
// Runs of one value from this length on cost one byte and a copy instead of every byte.
constexpr qsizetype kMinRun = 8;
// Stretches of the source moved by an insertion or a deletion, from this length on, are copied.
constexpr qsizetype kMinSourceCopy = 16;
// A copy the index offers is taken when it saves this many bytes over literal bytes: the
// literal bytes it interrupts cost an action again.
constexpr qsizetype kMinCopySaving = 4;
// After this many literal bytes in a row the index is asked only every kSparseStep bytes:
// bytes unlike anything would cost a look-up each, and a copy found late runs back over
// the literal bytes it begins among.
constexpr qsizetype kLiteralsBeforeSparse = 64;
constexpr qsizetype kSparseStep = 8;

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

// How many bytes PutNumber writes for n.
qsizetype NumberSize(std::uint64_t n)
{
    qsizetype size = 1;
    while ((n >>= 7) != 0) {
        --n;
        ++size;
    }
    return size;
}

std::uint64_t ActionNumber(BpsCommand command, qsizetype length)
{
    return (static_cast<std::uint64_t>(length - 1) << 2) | command;
}

std::uint64_t OffsetNumber(qsizetype delta)
{
    return (static_cast<std::uint64_t>(delta < 0 ? -delta : delta) << 1) | (delta < 0 ? 1 : 0);
}

void PutCrc(QByteArray& out, std::uint32_t crc)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((crc >> (8 * i)) & 0xFF));
}

class BpsWriter {
public:
    QByteArray out;

    void action(BpsCommand command, qsizetype length) { PutNumber(out, ActionNumber(command, length)); }
    void offset(qsizetype delta) { PutNumber(out, OffsetNumber(delta)); }
};

// Where the plain rules matched at length: an index of copies covers what they leave.
struct Matched {
    std::vector<Stretch> inTarget;
    std::vector<Stretch> inSource;

    void add(std::vector<Stretch>& to, qsizetype at, qsizetype size)
    {
        if (size >= kShortestIndexed)
            to.push_back({at, size});
    }
};

// The actions that write target from source. Unchanged stretches cost one action each
// (SourceRead); the source's bytes moved by an insertion or a deletion are copied from
// where they were (SourceCopy); runs of one value, the zeros of a grown image among them,
// cost one copy of a byte already written (TargetCopy); the rest travels literally
// (TargetRead). With an index, where it covers, a copy from anywhere in the source or from
// the target already written is taken first when it saves more. Without one, what the
// rules matched at length goes to *matched.
QByteArray Actions(const QByteArray& source, const QByteArray& target, const CopyIndex* index, Matched* matched)
{
    const char* s = source.constData();
    const char* t = target.constData();
    const qsizetype m = source.size();
    const qsizetype n = target.size();

    BpsWriter w;
    qsizetype pos = 0;
    qsizetype literal = 0; // bytes before pos not yet written
    qsizetype sourceCursor = 0;
    qsizetype targetCursor = 0;
    qsizetype nextLookup = 0; // where the index is asked next
    auto flush = [&] {
        if (literal == 0)
            return;
        w.action(TargetRead, literal);
        w.out.append(t + pos - literal, literal);
        literal = 0;
    };
    auto copy = [&](BpsCommand command, qsizetype from, qsizetype length) {
        flush();
        qsizetype& cursor = command == SourceCopy ? sourceCursor : targetCursor;
        w.action(command, length);
        w.offset(from - cursor);
        cursor = from + length;
        pos += length;
    };
    // The copy the index offers at pos that saves the most over literal bytes; length 0 when none saves enough.
    auto indexedCopy = [&] {
        CopyPlace best;
        qsizetype bestSaving = kMinCopySaving - 1;
        const CopyIndex::Places places = index->copiesAt(pos);
        for (int i = 0; i < places.count; ++i) {
            const CopyPlace& place = places.place[static_cast<std::size_t>(i)];
            const BpsCommand command = place.fromTarget ? TargetCopy : SourceCopy;
            const qsizetype cursor = place.fromTarget ? targetCursor : sourceCursor;
            const qsizetype saving = place.length - NumberSize(ActionNumber(command, place.length)) -
                                     NumberSize(OffsetNumber(place.at - cursor));
            if (saving > bestSaving) {
                best = place;
                bestSaving = saving;
            }
        }
        return best;
    };
    while (pos < n) {
        const qsizetype same = pos < m ? MatchLength(s + pos, t + pos, std::min(m, n) - pos) : 0;
        if (index && pos >= nextLookup && index->covers(pos)) {
            const CopyPlace place = indexedCopy();
            if (place.length > same) {
                // It may begin among the literal bytes before pos, unasked or missed there.
                const char* from = (place.fromTarget ? t : s) + place.at;
                qsizetype back = 0;
                while (back < literal && back < place.at && from[-back - 1] == t[pos - back - 1])
                    ++back;
                pos -= back;
                literal -= back;
                copy(place.fromTarget ? TargetCopy : SourceCopy, place.at - back, place.length + back);
                continue;
            }
            if (literal >= kLiteralsBeforeSparse)
                nextLookup = pos + kSparseStep;
        }
        if (same >= kMinSourceRead || (same > 0 && pos + same == n)) {
            flush();
            w.action(SourceRead, same);
            if (matched) {
                matched->add(matched->inTarget, pos, same);
                matched->add(matched->inSource, pos, same);
            }
            pos += same;
            continue;
        }
        // Bytes inserted or deleted before here leave the rest of the source moved by the
        // difference in size: it is copied from there.
        if (m != n && pos + (m - n) >= 0 && pos + (m - n) < m) {
            const qsizetype from = pos + (m - n);
            const qsizetype moved = MatchLength(s + from, t + pos, std::min(m - from, n - pos));
            if (moved >= kMinSourceCopy) {
                if (matched) {
                    matched->add(matched->inTarget, pos, moved);
                    matched->add(matched->inSource, from, moved);
                }
                copy(SourceCopy, from, moved);
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
        if (matched)
            matched->add(matched->inTarget, pos, run);
        copy(TargetCopy, pos - 1, run);
    }
    flush();
    return std::move(w.out);
}

// A patch around actions: the sizes before them, the CRC32s after.
QByteArray Framed(const QByteArray& source, const QByteArray& target, const QByteArray& actions)
{
    QByteArray patch(kBpsMagic, kBpsMagicSize);
    PutNumber(patch, static_cast<std::uint64_t>(source.size()));
    PutNumber(patch, static_cast<std::uint64_t>(target.size()));
    PutNumber(patch, 0); // no metadata
    patch += actions;
    PutCrc(patch, Crc32(source));
    PutCrc(patch, Crc32(target));
    PutCrc(patch, Crc32(patch));
    return patch;
}

[[nodiscard]] Result<QByteArray> Make(const QByteArray& source, const QByteArray& target, bool withIndex)
{
    if (source.size() > kMaxImageSize || target.size() > kMaxImageSize)
        return Failure::Of(Failure::Kind::TooLarge, QString(), QStringLiteral("%1 を超えるファイルのパッチは作れません").arg(SizeText(kMaxImageSize)));
    Matched matched;
    QByteArray actions = Actions(source, target, nullptr, &matched);
    if (withIndex) {
        try {
            const CopyIndex index(source, target, std::move(matched.inSource), std::move(matched.inTarget));
            if (!index.empty()) {
                QByteArray indexed = Actions(source, target, &index, nullptr);
                if (indexed.size() < actions.size())
                    actions = std::move(indexed);
            }
        } catch (const std::bad_alloc&) {
            // Without room for the index, the plain actions do.
        }
    }
    return Framed(source, target, actions);
}

} // namespace

Result<QByteArray> MakeBps(const QByteArray& source, const QByteArray& target) { return Make(source, target, true); }

Result<QByteArray> MakeBpsWithoutIndex(const QByteArray& source, const QByteArray& target)
{
    return Make(source, target, false);
}

} // namespace zor
