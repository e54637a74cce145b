#include "core/chart/PixelReduction.h"

#include <algorithm>
#include <cstdint>

namespace zor {

QList<QPointF> ReducePerPixel(std::span<const std::int64_t> values, double firstX, int pixels)
{
    const auto n = static_cast<std::int64_t>(values.size());
    const std::int64_t buckets = std::max(1, pixels);
    QList<QPointF> points;
    auto add = [&](std::int64_t i) {
        points.append(QPointF(firstX + static_cast<double>(i), static_cast<double>(values[static_cast<std::size_t>(i)])));
    };
    if (n <= 2 * buckets) {
        points.reserve(n);
        for (std::int64_t i = 0; i < n; ++i)
            add(i);
        return points;
    }
    points.reserve(2 * buckets);
    for (std::int64_t b = 0; b < buckets; ++b) {
        // The runs meet exactly and the last one ends at the last row.
        const std::int64_t begin = b * n / buckets;
        const std::int64_t end = (b + 1) * n / buckets;
        std::int64_t low = begin;
        std::int64_t high = begin;
        for (std::int64_t i = begin + 1; i < end; ++i) {
            const std::int64_t value = values[static_cast<std::size_t>(i)];
            if (value < values[static_cast<std::size_t>(low)])
                low = i;
            if (value > values[static_cast<std::size_t>(high)])
                high = i;
        }
        add(std::min(low, high));
        if (low != high)
            add(std::max(low, high));
    }
    return points;
}

} // namespace zor
