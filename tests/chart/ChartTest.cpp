#include "core/chart/ChartColumn.h"
#include "core/chart/PixelReduction.h"

#include "tests/support/HandTables.h"
#include "tests/support/TypedTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::HandColumn;

TEST(ReducePerPixel, FewRowsKeepEveryPointAndEachPixelItsRunsMinimumAndMaximum)
{
    EXPECT_EQ(ReducePerPixel({}, 0, 100), QList<QPointF>{});
    EXPECT_EQ(ReducePerPixel(std::vector<std::int64_t>{5, -1, 9}, 1, 100), (QList<QPointF>{{1, 5}, {2, -1}, {3, 9}}));
    const std::vector<std::int64_t> eight{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(ReducePerPixel(eight, 0, 4).size(), 8); // exactly two per pixel
    // No pixels at all count as one: the smallest and the largest value, in row order.
    EXPECT_EQ(ReducePerPixel(eight, 0, 0), (QList<QPointF>{{0, 1}, {7, 8}}));
    // Runs of uneven length, with spikes in the first row, the middle and the last row.
    const int n = 10007;
    const int pixels = 300;
    std::vector<std::int64_t> values(n);
    unsigned seed = 12345;
    for (std::int64_t& v : values) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<int>((seed >> 16) % 101);
    }
    values.front() = 255;
    values[5000] = 200;
    values.back() = -128;
    const QList<QPointF> points = ReducePerPixel(values, 0, pixels);
    ASSERT_LE(points.size(), 2 * pixels);
    std::vector<int> xs;
    for (const QPointF& p : points)
        xs.push_back(static_cast<int>(p.x()));
    EXPECT_TRUE(std::is_sorted(xs.begin(), xs.end()) && std::adjacent_find(xs.begin(), xs.end()) == xs.end());
    for (const QPointF& p : points)
        EXPECT_EQ(p.y(), static_cast<double>(values[static_cast<std::size_t>(p.x())]));
    for (const int spike : {0, 5000, n - 1})
        EXPECT_TRUE(std::count(xs.begin(), xs.end(), spike)) << spike;
    for (int b = 0; b < pixels; ++b) {
        const int begin = static_cast<int>(static_cast<long long>(b) * n / pixels);
        const int end = static_cast<int>(static_cast<long long>(b + 1) * n / pixels);
        std::multiset<double> kept;
        for (const QPointF& p : points)
            if (p.x() >= begin && p.x() < end)
                kept.insert(p.y());
        ASSERT_FALSE(kept.empty()) << b;
        EXPECT_LE(kept.size(), 2u) << b;
        EXPECT_EQ(*kept.begin(), static_cast<double>(*std::min_element(values.begin() + begin, values.begin() + end))) << b;
        EXPECT_EQ(*kept.rbegin(), static_cast<double>(*std::max_element(values.begin() + begin, values.begin() + end))) << b;
    }
    // A flat line keeps one point per pixel.
    EXPECT_EQ(ReducePerPixel(std::vector<std::int64_t>(1000, 7), 0, 10).size(), 10);
}

TEST(ChartColumn, ValuesAndAxisFollowTheNotation)
{
    DocumentState doc;
    test::SetIdTable(doc, {HandColumn{NotationSigned, {0x7F, 0x80, 0xFF}}, HandColumn{NotationUnsigned, {0x7F, 0x80, 0xFF}},
                           HandColumn{NotationHex, {1, 2, 3}}});
    // Values, axis, hexadecimal, title and the x of row 1: tab 1 counts IDs from 0.
    const auto figures = [](const ChartColumn& c) { return std::tuple(c.values, c.axisMin, c.axisMax, c.hex, c.title, c.xOfRow(1)); };
    EXPECT_EQ(figures(ReadChartColumn(doc, TabIdSection, 1, 1)),
              std::tuple(std::vector<std::int64_t>{127, -128, -1}, -128, 127, false, QStringLiteral("表 / 列1"), 0.0));
    EXPECT_EQ(figures(ReadChartColumn(doc, TabIdSection, 1, 2)),
              std::tuple(std::vector<std::int64_t>{127, 128, 255}, 0, 255, false, QStringLiteral("表 / 列2"), 0.0));
    EXPECT_TRUE(ReadChartColumn(doc, TabIdSection, 1, 3).hex);
    for (const auto& [dataSet, col] : {std::pair{1, 0}, {1, 4}, {2, 1}}) {
        const ChartColumn none = ReadChartColumn(doc, TabIdSection, dataSet, col);
        EXPECT_TRUE(none.values.empty() && none.title.isEmpty()) << dataSet << "," << col;
    }

    // On 個別データ every entry keeps its own notation; the axis spans all of them.
    test::SetIndividual(doc, {{NotationSigned, 0x80}, {NotationHex, 0x80}, {NotationUnsigned, 0xFF}});
    EXPECT_EQ(figures(ReadChartColumn(doc, TabIndividual, 0, 1)),
              std::tuple(std::vector<std::int64_t>{-128, 128, 255}, -128, 255, false, QStringLiteral("個別データ"), 1.0));
    test::SetIndividual(doc, {{NotationSigned, 0x80}, {NotationSigned, 1}});
    EXPECT_EQ(ReadChartColumn(doc, TabIndividual, 0, 1).axisMax, 127);

    test::SetBattleColumn(doc, 4, NotationHex, {1, 2});
    doc.BattleSectionNames(3) = QStringLiteral("HP");
    EXPECT_EQ(ReadChartColumn(doc, TabBattle, 0, 3).title, QStringLiteral("戦闘パラメータ / HP"));
    EXPECT_EQ(ReadChartColumn(doc, TabBattle, 0, 4).title, QStringLiteral("戦闘パラメータ / セクション 4"));
}

TEST(ChartColumn, AClickFindsTheNearestRowAndTickStepsAreRoundAndFewEnough)
{
    ChartColumn column;
    column.values = {1, 2, 3};
    for (const auto& [x, row] : {std::pair{-5.0, 1}, {0.4, 1}, {0.6, 2}, {99.0, 3}, {std::numeric_limits<double>::quiet_NaN(), 1}})
        EXPECT_EQ(NearestRow(column, x), row) << x;
    column.firstX = 1;
    EXPECT_EQ(std::pair(NearestRow(column, 1), NearestRow(ChartColumn{}, 1)), std::pair(1, 0));
    for (const auto& [span, most, step] : {std::tuple{23, 5, 5}, {32766, 8, 5000}, {640, 7, 100}, {3, 5, 1}, {0, 5, 1}, {100, 0, 100}})
        EXPECT_EQ(TickStep(span, most), step) << span << " " << most;
}

using TypedChart = test::TypedTables;

TEST_F(TypedChart, WiderCellsChartTheirValuesOnAnAxisOfTheirSize)
{
    const auto figures = [&](int tab, int col) {
        const ChartColumn c = ReadChartColumn(doc, tab, tab == TabIdSection ? kItems : 0, col);
        return std::tuple(c.values, c.axisMin, c.axisMax, c.tick, AxisLabelFormat(c));
    };
    using Values = std::vector<std::int64_t>;
    EXPECT_EQ(figures(TabIdSection, 1), std::tuple(Values{0x1234, 0xFF, 1}, 0, 0xFFFF, 0x4000, u"0x%04X"_s));
    EXPECT_EQ(figures(TabIdSection, 4), std::tuple(Values{-1, 10, -32768}, -32768, 32767, 0x4000, u"%d"_s));
    EXPECT_EQ(figures(TabIdSection, 6), std::tuple(Values{0xFFFFFFFF, 1, 0x10000}, 0, 0xFFFFFFFF, 0x40000000, u"%d"_s));
    // 個別データ: the axis spans the widest entry; battle byte 4 inside field 3 is a byte.
    EXPECT_EQ(figures(TabIndividual, 1), std::tuple(Values{0xFF, 0xFF}, 0, 0xFFFF, 0x4000, u"0x%04X"_s));
    EXPECT_EQ(std::get<4>(figures(TabBattle, 4)), u"0x%02X"_s);
}

} // namespace
} // namespace zor
