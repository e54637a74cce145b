#pragma once

// Long stretches of a target that lie anywhere in a source or earlier in the target,
// found in one pass along the target by fingerprints of blocks: a block moved, everything
// after an insertion or a record repeated costs no more to find than it is long, and is
// then left out of the slower index that looks for the short copies.

#include "core/patch/Stretch.h"

#include <QByteArrayView>

#include <vector>

namespace zor {

struct LongCopy {
    qsizetype at = 0;   // in the target
    qsizetype from = 0; // in the source, or in the target before at
    qsizetype size = 0;
    bool fromTarget = false;
};

// Source blocks are this long; a copy of twice as many bytes holds a whole one.
inline constexpr qsizetype kLongCopyBlock = 32;

// Stretches of inTarget (in order) found through a block of inSource, or of inTarget
// before them, each run on both ways as far as the bytes agree, within its stretch of the
// target: in order, not overlapping. A copy of 2 * kLongCopyBlock bytes or more from
// those is missed only when its blocks' fingerprints all collide with others'.
std::vector<LongCopy> FindLongCopies(QByteArrayView source, QByteArrayView target, const std::vector<Stretch>& inSource,
                                     const std::vector<Stretch>& inTarget);

} // namespace zor
