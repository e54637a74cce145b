#include "core/document/CellBytes.h"
#include "core/view/ColumnValues.h"

#include "tests/support/HandTables.h"

#include <gtest/gtest.h>

namespace zor {
namespace {

using test::HandColumn;

// The run a column is read from must be the cells the grid shows, on every tab.
TEST(ColumnValues, AColumnsBytesAreItsCellsOnEveryTab)
{
    DocumentState doc;
    test::SetIdTable(doc, {HandColumn{NotationHex, {1, 2, 3}}, HandColumn{NotationHex, {4, 5, 6}}});
    test::SetIndividual(doc, {{NotationHex, 7}, {NotationHex, 8}});
    test::SetBattleColumn(doc, 25, NotationHex, {9, 10, 11, 12});
    const struct {
        int tab, dataSet, col, rows;
    } columns[] = {{TabIdSection, 1, 1, 3}, {TabIdSection, 1, 2, 3}, {TabIndividual, 0, 1, 2}, {TabBattle, 0, 25, 4}};
    for (const auto& c : columns) {
        const std::span<const std::uint8_t> bytes = ColumnBytes(doc, c.tab, c.dataSet, c.col);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(c.rows)) << c.tab << "," << c.col;
        for (int row = 1; row <= c.rows; ++row)
            EXPECT_EQ(bytes[row - 1], *CellByte(doc, c.tab, c.dataSet, c.col, row)) << c.tab << "," << c.col << "," << row;
    }
    EXPECT_TRUE(ColumnBytes(doc, TabIdSection, 1, 0).empty());
    EXPECT_TRUE(ColumnBytes(doc, TabIdSection, 1, 3).empty());
    EXPECT_TRUE(ColumnBytes(doc, TabIdSection, 2, 1).empty());
    EXPECT_TRUE(ColumnBytes(doc, TabIndividual, 0, 2).empty());
    EXPECT_TRUE(ColumnBytes(doc, TabBattle, 0, 26).empty());
    EXPECT_TRUE(ColumnBytes(doc, 4, 0, 1).empty());
}

} // namespace
} // namespace zor
