#pragma once

// The points of a long column for a chart a few hundred pixels wide: a line through tens
// of thousands of points costs far more to draw than the pixels can show. Each pixel
// column keeps only the smallest and largest value of its rows, so every spike stays.

#include <QList>
#include <QPointF>

#include <cstdint>
#include <span>

namespace zor {

// Points (firstX + i, values[i]): every one when there are at most two per pixel; else
// the rows are split into `pixels` runs of (nearly) equal length, first to last row,
// and each run gives its minimum and its maximum, in row order (one point when they
// are the same row). Never more than 2 × pixels points; pixels below 1 count as 1.
QList<QPointF> ReducePerPixel(std::span<const std::int64_t> values, double firstX, int pixels);

} // namespace zor
