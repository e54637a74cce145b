// Typed cells as the views read them: column runs and values, widths and texts.

#include "core/document/CellBytes.h"
#include "core/files/Ini.h"
#include "core/view/ColumnValues.h"
#include "core/view/Grid.h"
#include "core/view/TabView.h"
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

TEST_F(TypedView, ATypedColumnIsAsWideAsItsWidestTextWithoutReadingAValue)
{
    // Every character 100 twips but "8", the widest digit, 150; the margin is 90.
    const MeasureText measure = [](const QString& text) { return 100.0 * text.size() + 50.0 * text.count(u'8'); };
    // 価格 "0x8888"; 種別 its longest name (10 characters); 属性 火・bit 1・氷・bit 3…bit 7 (39);
    // 差 "-88888"; 重さ a plain byte; 大 ten digits.
    EXPECT_EQ(ValueWidths(doc, TabIdSection, kItems, measure), (std::vector<int>{0, 890, 1090, 3990, 940, 0, 1590}));
    EXPECT_EQ(ValueWidths(doc, TabIdSection, kKinds, measure), (std::vector<int>{0, 0}));
    EXPECT_EQ(ValueWidths(doc, TabIndividual, 0, measure), (std::vector<int>{0, 890}));
    std::vector<int> battle(kBattleRecordSize + 1, 0);
    battle[3] = 890; // byte 4, inside field 3, is a plain byte
    EXPECT_EQ(ValueWidths(doc, TabBattle, 0, measure), battle);
    std::vector<bool> greyed(kBattleRecordSize + 1, false);
    greyed[4] = true;
    EXPECT_EQ(LayoutGrid(doc, TabBattle, 0, 240).greyed, greyed);
    // A notation change fits anew: 価格 unsigned is five digits.
    ASSERT_TRUE(SetNotation(doc, {TabIdSection, kItems}, 1, 1, NotationUnsigned));
    EXPECT_EQ(ValueWidths(doc, TabIdSection, kItems, measure)[1], 840);
}

TEST_F(TypedView, AFitForValuesIsNeverStoredButADraggedWidthIs)
{
    const FittedWidths fitted = FitToValues({1500, 600, 700, 650}, {0, 800, 0, 600});
    EXPECT_EQ(fitted.widths, (std::vector<int>{1500, 800, 700, 650}));
    EXPECT_EQ(WidthsToStore(fitted.widths, fitted), (std::vector<int>{1500, kKeepStoredWidth, 700, 650}));
    EXPECT_EQ(WidthsToStore({1500, 900, 700, 650}, fitted), (std::vector<int>{1500, 900, 700, 650}));
    EXPECT_EQ(WidthsToStore({1500, 800}, fitted), (std::vector<int>{1500, 800})); // another table's

    const QString file = TableSettingsFile(doc, TabIdSection, kItems);
    ASSERT_TRUE(SaveColumnWidths(doc, {TabIdSection, kItems}, {1500, kKeepStoredWidth, 700}));
    const IniFile ini = *IniFile::load(file);
    EXPECT_EQ(std::tuple(ini.value(u"ColWidth"_s, u"Section0"_s), ini.value(u"ColWidth"_s, u"Section1"_s), ini.value(u"ColWidth"_s, u"Section2"_s)),
              std::tuple(u"1500"_s, QString(), u"700"_s));
}

} // namespace
} // namespace zor
