#include "core/patch/CopyIndex.h"

#include <divsufsort.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace zor {

namespace {

// Neighbours looked at on each side: the nearest begins most like the place, the others
// may agree as far from a cheaper offset.
constexpr int kPlacesPerSide = CopyIndex::kMaxPlaces / 2;
// Suffixes of the target at or after the place, which can't be copied yet, passed over
// on each side before giving up; they gather beside it in repeated data.
constexpr int kMaxPassed = 32;
// A neighbour agreeing in fewer bytes than this says that the farther ones, which begin
// no more like the place, are no use.
constexpr qsizetype kUsefulLength = 8;

// The one of pieces (in order of start) whose bytes from start hold position, or end().
template <typename Piece>
typename std::vector<Piece>::const_iterator PieceHolding(const std::vector<Piece>& pieces, qsizetype Piece::*start,
                                                        qsizetype position)
{
    auto after = std::upper_bound(pieces.begin(), pieces.end(), position,
                                  [start](qsizetype p, const Piece& piece) { return p < piece.*start; });
    if (after == pieces.begin())
        return pieces.end();
    --after;
    return position < (*after).*start + after->size ? after : pieces.end();
}

} // namespace

CopyIndex::CopyIndex(QByteArrayView source, QByteArrayView target, std::vector<Stretch> matchedInSource,
                     std::vector<Stretch> matchedInTarget)
    : source_(source), target_(target)
{
    const std::vector<Stretch> inTarget = Uncovered(matchedInTarget, target.size(), kShortestIndexed);
    if (inTarget.empty())
        return;
    longCopies_ = FindLongCopies(source, target, Uncovered(matchedInSource, source.size(), kShortestIndexed), inTarget);
    // What a long copy takes from the source and gives the target is left out of the
    // sort: a suffix array of text that repeats itself is slow to sort.
    for (const LongCopy& c : longCopies_) {
        matchedInTarget.push_back({c.at, c.size});
        if (!c.fromTarget)
            matchedInSource.push_back({c.from, c.size});
    }
    sort(Uncovered(std::move(matchedInSource), source.size(), kShortestIndexed),
         Uncovered(std::move(matchedInTarget), target.size(), kShortestIndexed));
}

void CopyIndex::sort(const std::vector<Stretch>& inSource, const std::vector<Stretch>& inTarget)
{
    qsizetype total = 0;
    for (const Stretch& s : inSource) {
        sourcePieces_.push_back({total, s.at, s.size});
        total += s.size;
    }
    targetTextAt_ = total;
    for (const Stretch& s : inTarget) {
        targetPieces_.push_back({total, s.at, s.size});
        total += s.size;
    }
    // Nothing of the target to look up; and the sort counts in 32 bits.
    if (inTarget.empty() || total > std::numeric_limits<saidx_t>::max())
        return;
    textSize_ = total;
    auto text = std::make_unique_for_overwrite<sauchar_t[]>(static_cast<std::size_t>(total));
    for (const Piece& p : sourcePieces_)
        std::memcpy(text.get() + p.textAt, source_.data() + p.at, static_cast<std::size_t>(p.size));
    for (const Piece& p : targetPieces_)
        std::memcpy(text.get() + p.textAt, target_.data() + p.at, static_cast<std::size_t>(p.size));
    suffixes_ = std::make_unique_for_overwrite<std::int32_t[]>(static_cast<std::size_t>(total));
    if (divsufsort(text.get(), suffixes_.get(), static_cast<saidx_t>(total)) != 0)
        return;
    // Copies are measured in the images themselves, past the ends of the pieces too.
    text.reset();
    ranks_ = std::make_unique_for_overwrite<std::int32_t[]>(static_cast<std::size_t>(total - targetTextAt_));
    for (qsizetype i = 0; i < total; ++i)
        if (suffixes_[i] >= targetTextAt_)
            ranks_[suffixes_[i] - targetTextAt_] = static_cast<std::int32_t>(i);
    sorted_ = true;
}

bool CopyIndex::covers(qsizetype pos) const
{
    return PieceHolding(longCopies_, &LongCopy::at, pos) != longCopies_.end() ||
           (sorted_ && PieceHolding(targetPieces_, &Piece::at, pos) != targetPieces_.end());
}

CopyPlace CopyIndex::placeOf(std::int32_t textAt) const
{
    const bool inTarget = textAt >= targetTextAt_;
    const std::vector<Piece>& pieces = inTarget ? targetPieces_ : sourcePieces_;
    const Piece& piece = *PieceHolding(pieces, &Piece::textAt, textAt);
    return {inTarget, piece.at + (textAt - piece.textAt), 0};
}

CopyIndex::Places CopyIndex::copiesAt(qsizetype pos) const
{
    Places places;
    if (const auto copy = PieceHolding(longCopies_, &LongCopy::at, pos); copy != longCopies_.end()) {
        const QByteArrayView image = copy->fromTarget ? target_ : source_;
        const qsizetype from = copy->from + (pos - copy->at);
        places.place[0] = {copy->fromTarget, from,
                           MatchLength(image.data() + from, target_.data() + pos, std::min(image.size() - from, target_.size() - pos))};
        places.count = 1;
        return places;
    }
    const Piece& piece = *PieceHolding(targetPieces_, &Piece::at, pos);
    const qsizetype rank = ranks_[piece.textAt + (pos - piece.at) - targetTextAt_];
    for (const qsizetype step : {-1, 1}) {
        int found = 0;
        int passed = 0;
        qsizetype nearest = 0; // how far the nearest one on this side agrees
        for (qsizetype i = rank + step; i >= 0 && i < textSize_ && found < kPlacesPerSide && passed < kMaxPassed; i += step) {
            CopyPlace place = placeOf(suffixes_[i]);
            // The target only where it is written before pos (a copy from there may run
            // on into its own output).
            if (place.fromTarget && place.at >= pos) {
                ++passed;
                continue;
            }
            const QByteArrayView from = place.fromTarget ? target_ : source_;
            place.length = MatchLength(from.data() + place.at, target_.data() + pos,
                                       std::min(from.size() - place.at, target_.size() - pos));
            places.place[static_cast<std::size_t>(places.count++)] = place;
            // Farther neighbours begin no more like the place: only as long a copy from a
            // cheaper offset is worth looking for.
            if (place.length < kUsefulLength || place.length < nearest)
                break;
            nearest = std::max(nearest, place.length);
            ++found;
        }
    }
    return places;
}

} // namespace zor
