#pragma once

// Stretches of images: how far two agree, and what a set of them leaves uncovered.

#include <QtGlobal>

#include <vector>

namespace zor {

// How many bytes from a and b agree, up to max; eight at a time while they do.
qsizetype MatchLength(const char* a, const char* b, qsizetype max);

struct Stretch {
    qsizetype at = 0;
    qsizetype size = 0;
};

// The stretches of [0, size), from minSize bytes on, that none of covered (in any order,
// overlapping or not) touches; in order.
std::vector<Stretch> Uncovered(std::vector<Stretch> covered, qsizetype size, qsizetype minSize);

} // namespace zor
