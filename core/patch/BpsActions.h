#pragma once

// What the writer and the reader of BPS patches share: the magic's size and the four
// actions, numbered as they are in the patch.

#include <QtGlobal>

#include <cstdint>

namespace zor {

enum BpsCommand : std::uint64_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

inline constexpr qsizetype kBpsMagicSize = 4;

} // namespace zor
