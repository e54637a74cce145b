#include "core/shade/Shade.h"

#include "tests/support/HandTables.h"
#include "tests/support/PutByte.h"
#include "tests/support/TypedTables.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zor {
namespace {

using test::HandColumn;

TEST(ColumnRange, ASignedSectionOrdersItsBytesSigned)
{
    DocumentState doc;
    const std::vector<std::uint8_t> bytes{0x7F, 0x80, 0x00};
    test::SetIdTable(doc, {HandColumn{NotationSigned, bytes}, HandColumn{NotationUnsigned, bytes}, HandColumn{NotationHex, bytes},
                           HandColumn{NotationSigned, {0xFF, 0x80, 0xC0}}});
    for (const auto& [col, range] : {std::pair{1, ValueRange{-128, 127}}, {2, {0, 128}}, {3, {0, 128}}, {4, {-128, -1}}})
        EXPECT_EQ(ColumnRange(doc, TabIdSection, 1, col), range) << col;

    ColumnRanges ranges;
    // 0x80 is the smallest signed value and the largest unsigned one.
    for (const auto& [row, col, shade] : {std::tuple{2, 1, 0.0}, {1, 1, 1.0}, {3, 1, 128.0 / 255.0}, {3, 2, 0.0}, {2, 2, 1.0}, {1, 4, 1.0}})
        EXPECT_DOUBLE_EQ(CellShade(doc, ranges, TabIdSection, 1, row, col).value_or(-1), shade) << row << "," << col;

    test::SetBattleColumn(doc, 4, NotationSigned, {0xF0, 0x10});
    EXPECT_EQ(ColumnRange(doc, TabBattle, 0, 4), (ValueRange{-16, 16}));
    EXPECT_EQ(CellShade(doc, ranges, TabBattle, 0, 1, 4), 0.0);
}

TEST(Shade, AColumnOfOneValueAndCellsOutsideTheTable)
{
    DocumentState doc;
    test::SetIdTable(doc, {HandColumn{NotationUnsigned, {0x33, 0x33}}});
    ColumnRanges ranges;
    EXPECT_EQ(ColumnRange(doc, TabIdSection, 1, 1), (ValueRange{0x33, 0x33}));
    EXPECT_EQ(CellShade(doc, ranges, TabIdSection, 1, 2, 1), 0.0); // nothing to tell apart, and no division by nothing
    EXPECT_EQ(std::pair(ShadeOf(300, {0, 255}), ShadeOf(-5, {0, 255})), std::pair(1.0, 0.0));

    for (const auto& [dataSet, row, col] : {std::tuple{1, 3, 1}, {1, 0, 1}, {1, 1, 0}, {1, 1, 2}, {2, 1, 1}})
        EXPECT_FALSE(CellShade(doc, ranges, TabIdSection, dataSet, row, col)) << dataSet << "," << row << "," << col;
    test::SetIdTable(doc, {HandColumn{NotationUnsigned, {}}});
    EXPECT_FALSE(ColumnRange(doc, TabIdSection, 1, 1));
}

TEST(Shade, AnIndividualEntrySpansItsWholeNotation)
{
    DocumentState doc;
    test::SetIndividual(doc, {{NotationSigned, 0x80}, {NotationSigned, 0x7F}, {NotationSigned, 0x00},
                              {NotationUnsigned, 0xFF}, {NotationHex, 0x00}, {NotationUnsigned, 0x80}});
    ColumnRanges ranges;
    const double expected[] = {0.0, 1.0, 128.0 / 255.0, 1.0, 0.0, 128.0 / 255.0};
    for (int row = 1; row <= 6; ++row)
        EXPECT_DOUBLE_EQ(*CellShade(doc, ranges, TabIndividual, 0, row, 1), expected[row - 1]) << row;
    EXPECT_FALSE(CellShade(doc, ranges, TabIndividual, 0, 1, 2));
    EXPECT_FALSE(CellShade(doc, ranges, TabIndividual, 0, 7, 1));
    EXPECT_FALSE(ColumnRange(doc, TabIndividual, 0, 1));
}

TEST(ColumnRanges, AColumnsRangeIsKeptUntilACellOfItChanges)
{
    DocumentState doc;
    test::SetIdTable(doc, {HandColumn{NotationUnsigned, {10, 20, 30}}, HandColumn{NotationUnsigned, {1, 2, 3}}});
    ColumnRanges ranges;
    EXPECT_EQ(ranges.of(doc, TabIdSection, 1, 1), (ValueRange{10, 30}));
    test::PutByte(doc, {TabIdSection, 1, 1, 1}, 5);
    EXPECT_EQ(ranges.of(doc, TabIdSection, 1, 1), (ValueRange{10, 30})); // not told yet
    EXPECT_TRUE(ranges.refresh(doc, TabIdSection, 1, 1));
    EXPECT_EQ(ranges.of(doc, TabIdSection, 1, 1), (ValueRange{5, 30}));
    test::PutByte(doc, {TabIdSection, 1, 1, 2}, 25); // inside the range: nothing to repaint
    EXPECT_FALSE(ranges.refresh(doc, TabIdSection, 1, 1));
    // A column never shaded has nothing to repaint, and is read when first asked.
    test::PutByte(doc, {TabIdSection, 1, 2, 1}, 9);
    EXPECT_FALSE(ranges.refresh(doc, TabIdSection, 1, 2));
    EXPECT_EQ(ranges.of(doc, TabIdSection, 1, 2), (ValueRange{2, 9}));
    // Another table empties the cache; so does clear.
    test::PutByte(doc, {TabIdSection, 1, 1, 3}, 40);
    EXPECT_FALSE(ranges.refresh(doc, TabBattle, 0, 1));
    ranges.of(doc, TabBattle, 0, 1);
    EXPECT_EQ(ranges.of(doc, TabIdSection, 1, 1), (ValueRange{5, 40}));
    test::PutByte(doc, {TabIdSection, 1, 1, 3}, 50);
    ranges.clear();
    EXPECT_EQ(ranges.of(doc, TabIdSection, 1, 1), (ValueRange{5, 50}));
}

using TypedShade = test::TypedTables;

TEST_F(TypedShade, WiderCellsAreShadedByTheirValues)
{
    // 価格 0x1234, 0x00FF, 0x0001; 種別 bytes after 価格's two; 差 -1, 10, -32768 signed; 大 0xFFFFFFFF, 1, 0x10000.
    const std::pair<int, ValueRange> columns[] = {{1, {1, 0x1234}}, {2, {0, 7}}, {4, {-32768, 10}}, {6, {1, 0xFFFFFFFF}}};
    for (const auto& [col, range] : columns)
        EXPECT_EQ(ColumnRange(doc, TabIdSection, kItems, col), range) << col;
    ColumnRanges ranges;
    const auto shade = [&](int tab, int row, int col) { return CellShade(doc, ranges, tab, tab == TabIdSection ? kItems : 0, row, col).value_or(-1); };
    EXPECT_DOUBLE_EQ(shade(TabIdSection, 2, 1), 254.0 / 0x1233);
    EXPECT_DOUBLE_EQ(shade(TabIdSection, 1, 4), 32767.0 / 32778);
    EXPECT_DOUBLE_EQ(shade(TabIdSection, 3, 6), 65535.0 / 0xFFFFFFFE);
    // お金 0x00FF within 0..0xFFFF; 名 0xFF a byte.
    EXPECT_EQ(std::pair(shade(TabIndividual, 1, 1), shade(TabIndividual, 2, 1)), std::pair(255.0 / 0xFFFF, 1.0));
}

} // namespace
} // namespace zor
