// Typed cells as the views read them: column runs and values, widths and texts.

#include "core/document/CellBytes.h"
#include "core/view/ColumnValues.h"
#include "tests/support/TypedTables.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using TypedView = test::TypedTables;

TEST_F(TypedView, AColumnRunIsTheSectionsOwnBytesAndOnlyForByteCells)
{
    // 種別 comes after the two bytes of 価格; 重さ after 16-bit and one-byte sections.
    const auto run = [&](int tab, int dataSet, int col) {
        const std::span<const std::uint8_t> bytes = ColumnBytes(doc, tab, dataSet, col);
        return std::vector<int>(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(run(TabIdSection, kItems, 2), (std::vector<int>{1, 7, 0}));
    EXPECT_EQ(run(TabIdSection, kItems, 5), (std::vector<int>{0xFF, 1, 2}));
    EXPECT_EQ(run(TabBattle, 0, 4), std::vector<int>(static_cast<std::size_t>(doc.BattleCount()), 0));
    for (const auto& [tab, col] : {std::pair{TabIdSection, 1}, {TabIdSection, 6}, {TabIndividual, 1}, {TabBattle, 3}})
        EXPECT_TRUE(run(tab, tab == TabIdSection ? kItems : 0, col).empty()) << tab << "," << col;
}

} // namespace
} // namespace zor
