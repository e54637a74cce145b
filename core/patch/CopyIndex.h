#pragma once

// Where the bytes at a place of a target can be copied from: anywhere in the source, or
// from the target before that place. Only what a pass along both images left unmatched
// is indexed. Long stretches of it found in the source by fingerprints (LongCopies) are
// copied from there; the rest goes into a suffix array, which sorts every suffix beside
// those that begin the same way, so that the longest copies of a place, short ones too,
// are its neighbours there wherever they lie in either image.

#include "core/patch/LongCopies.h"
#include "core/patch/Stretch.h"

#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace zor {

// Matched or unmatched stretches shorter than this don't count: the changed cells of an
// edit leave nothing worth an index.
inline constexpr qsizetype kShortestIndexed = 32;

struct CopyPlace {
    bool fromTarget = false;
    qsizetype at = 0;     // in the source, or in the target before the place looked up
    qsizetype length = 0; // how many bytes agree there
};

class CopyIndex {
public:
    // The most places copiesAt offers.
    static constexpr int kMaxPlaces = 8;
    struct Places {
        std::array<CopyPlace, kMaxPlaces> place;
        int count = 0;
    };

    // Indexes what matched leaves of source and target (the images must outlive the
    // index). Throws std::bad_alloc when that doesn't fit in memory.
    CopyIndex(QByteArrayView source, QByteArrayView target, std::vector<Stretch> matchedInSource,
              std::vector<Stretch> matchedInTarget);

    // Whether no place at all is covered: then nothing was indexed.
    bool empty() const { return longCopies_.empty() && !sorted_; }

    // Whether copiesAt can look pos up.
    bool covers(qsizetype pos) const;

    // The longest copies of the target's bytes at pos (covered): the long copy it lies in,
    // or a few neighbours on each side of it in the sorted order.
    Places copiesAt(qsizetype pos) const;

private:
    struct Piece {
        qsizetype textAt; // where its bytes start in the sorted text
        qsizetype at;     // where they lie in their image
        qsizetype size;
    };
    void sort(const std::vector<Stretch>& inSource, const std::vector<Stretch>& inTarget);
    // The place in its image of the sorted text's byte at textAt.
    CopyPlace placeOf(std::int32_t textAt) const;

    QByteArrayView source_;
    QByteArrayView target_;
    std::vector<LongCopy> longCopies_;
    std::vector<Piece> sourcePieces_;
    std::vector<Piece> targetPieces_; // their text follows the source's, from targetTextAt_
    qsizetype targetTextAt_ = 0;
    // The suffix array over the text, and where each suffix of the target's text stands
    // in it; written whole, so never cleared first.
    qsizetype textSize_ = 0;
    std::unique_ptr<std::int32_t[]> suffixes_;
    std::unique_ptr<std::int32_t[]> ranks_;
    bool sorted_ = false;
};

} // namespace zor
