#pragma once

// BPS patches: a source and a target image, and the actions that write the target from
// the source, the patch and the target written so far, with the CRC32 of all three.

#include "core/files/Failure.h"

#include <QByteArray>

namespace zor {

inline constexpr char kBpsMagic[] = "BPS1";

// A patch that turns source into target. Unchanged stretches cost one action each
// (SourceRead), changed bytes travel literally (TargetRead), the source's bytes moved by
// an insertion or a deletion are copied from where they were (SourceCopy), and runs of one
// value, the zeros of a grown image among them, cost one copy of a byte already written
// (TargetCopy). Where those rules leave long stretches unmatched (a block moved, bytes
// inserted in an image that kept its size, repeated records added), an index of those
// stretches finds copies of them anywhere in the source and earlier in the target; the
// patch is the smaller of MakeBpsWithoutIndex's and that one. Refused only for an image
// over kMaxImageSize.
[[nodiscard]] Result<QByteArray> MakeBps(const QByteArray& source, const QByteArray& target);

// The patch of the rules alone, in one pass along both images: never smaller than MakeBps'.
[[nodiscard]] Result<QByteArray> MakeBpsWithoutIndex(const QByteArray& source, const QByteArray& target);

// The target of patch applied to source. Refused, before anything is allocated beyond
// the patch's checked sizes, when the patch is damaged (its CRC32, a number past 64
// bits, a declared size over kMaxImageSize, an action outside the source or the target,
// actions that end before the target does: Damaged) or made for another file (the source's
// size or CRC32: OtherFile); the target's CRC32 is checked after it is written.
[[nodiscard]] Result<QByteArray> ApplyBps(const QByteArray& patch, const QByteArray& source);

} // namespace zor
