// Typed cells found and described: numbers by each cell's size, names shown in cells as
// text, and the status bar's offsets and values.

#include "core/navigate/CellDescription.h"
#include "core/navigate/Find.h"
#include "tests/support/TypedTables.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

class TypedFind : public test::TypedTables {
protected:
    std::tuple<int, int, int> find(const QString& text, FindFrom from, bool backwards = false)
    {
        const FindHit hit = finder.find(doc, FindQuery(text), from, false, backwards);
        return {hit.kind, hit.row, hit.col};
    }
    // The cells a query lands on in turn from the table's last cell, once round.
    std::vector<std::pair<int, int>> round(const QString& text, int tab, int dataSet)
    {
        const int rows = tab == TabIdSection ? doc.DataSets(dataSet).IdCount : tab == TabIndividual ? doc.IndividualCount : doc.BattleCount();
        FindFrom from{tab, dataSet, rows, tab == TabIdSection ? doc.DataSets(dataSet).SectionCount : tab == TabIndividual ? 1 : kBattleRecordSize};
        std::vector<std::pair<int, int>> cells;
        for (FindHit hit = finder.find(doc, FindQuery(text), from, false, false); hit.kind != FindHit::None && !(cells.size() && hit.wrapped);
             hit = finder.find(doc, FindQuery(text), from, false, false)) {
            cells.emplace_back(hit.row, hit.col);
            from = {tab, dataSet, hit.row, hit.col, hit.kind == FindHit::Caption, hit.byName};
        }
        return cells;
    }
    Finder finder;
};

TEST_F(TypedFind, ASectionIsSearchedInItsOwnBytes)
{
    // 種別 of 盾 holds 7; the byte column after 価格's two is 種別's own.
    EXPECT_EQ(find(u"0x07"_s, {TabIdSection, kItems, 1, 1}), std::tuple(FindHit::Cell, 2, 2));
}

TEST_F(TypedFind, ANumberFindsTheCellsOfEverySizeThatHoldIt)
{
    using Cells = std::vector<std::pair<int, int>>;
    const std::tuple<QString, int, Cells> cases[] = {
        {u"-1"_s, TabIdSection, {{1, 4}, {1, 5}, {1, 6}}}, // 差 0xFFFF, 重さ 0xFF, 大 0xFFFFFFFF
        {u"255"_s, TabIdSection, {{1, 5}, {2, 1}}},        // 価格 0x00FF, not its byte 0xFF
        {u"0x1234"_s, TabIdSection, {{1, 1}}},
        {u"-32768"_s, TabIdSection, {{3, 4}}},
        {u"65536"_s, TabIdSection, {{3, 6}}},
        {u"0x07"_s, TabIdSection, {{2, 2}}}, // a Names cell by its number
        {u"300"_s, TabIdSection, {}},        // a number no cell holds is no text either
        {u"0x00FF"_s, TabIndividual, {{1, 1}}},
        {u"255"_s, TabIndividual, {{1, 1}, {2, 1}}},
    };
    for (const auto& [text, tab, cells] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(round(text, tab, tab == TabIdSection ? kItems : 0), cells);
    }
    // Battle field 3 holds 0x00FF; byte 4, inside it, is a byte of its own holding 0.
    EXPECT_EQ(find(u"255"_s, {TabBattle, 0, 1, 1}), std::tuple(FindHit::Cell, 1, 3));
    EXPECT_EQ(find(u"0"_s, {TabBattle, 0, 1, 1}), std::tuple(FindHit::Cell, 1, 4));
}

TEST_F(TypedFind, TextFindsTheNamesCellsShowBesideLabelsAndCaptions)
{
    const std::pair<QString, std::tuple<int, int, int>> cases[] = {
        {u"防具"_s, {FindHit::Cell, 1, 2}},  {u"氷"_s, {FindHit::Cell, 1, 3}},  {u"bit 1"_s, {FindHit::Cell, 3, 3}},
        {u"x07"_s, {FindHit::Cell, 2, 2}},   // the number a Names cell shows for an ID without a name
        {u"薬"_s, {FindHit::Label, 3, 1}},   {u"重"_s, {FindHit::Caption, 1, 5}}, {u"ﾄﾞｳｸﾞ"_s, {FindHit::None, 0, 0}},
    };
    for (const auto& [text, landing] : cases)
        EXPECT_EQ(find(text, {TabIdSection, kItems, 1, 1}), landing) << text.toStdString();
    // A row's label comes before its cells: from row 3's label 武器 lies ahead, from its own cell only after a round.
    const FindHit ahead = finder.find(doc, FindQuery(u"武器"_s), {TabIdSection, kItems, 3, 3}, false, false);
    const FindHit round = finder.find(doc, FindQuery(u"武器"_s), {TabIdSection, kItems, 3, 2, false, true}, false, false);
    EXPECT_EQ(std::tuple(ahead.row, ahead.col, ahead.byName, ahead.wrapped, round.col, round.wrapped), std::tuple(3, 2, true, false, 2, true));
    EXPECT_EQ(DescribeFind(doc, u"武器"_s, {TabIdSection, kItems, 3, 3}, ahead, false), u"名前「武器」のセルを見つけました"_s);
}

TEST_F(TypedFind, TheStatusBarNamesAWiderCellsBytesItsValueOfItsSizeAndItsNames)
{
    const std::tuple<int, int, int, QString> cases[] = {
        {TabIdSection, 1, 1, u"ID 0 (0x00)「剣」  価格  オフセット 0x001000–0x001001  $80:9000  値 0x1234 / 4660 / 4660"_s},
        {TabIdSection, 1, 2, u"ID 0 (0x00)「剣」  種別  オフセット 0x001100  $80:9100  値 0x01 / 1 / 1（防具）"_s},
        {TabIdSection, 2, 2, u"ID 1 (0x01)「盾」  種別  オフセット 0x001101  $80:9101  値 0x07 / 7 / 7"_s},
        {TabIdSection, 1, 3, u"ID 0 (0x00)「剣」  属性  オフセット 0x001200  $80:9200  値 0x05 / 5 / 5（火・氷）"_s},
        {TabIdSection, 1, 6, u"ID 0 (0x00)「剣」  大  オフセット 0x001500–0x001503  $80:9500  値 0xFFFFFFFF / 4294967295 / -1"_s},
        {TabIndividual, 1, 1, u"個別データ 1「お金」  オフセット 0x001600–0x001601  $80:9600  値 0x00FF / 255 / 255"_s},
        {TabBattle, 1, 4, u"レコード 1  ブロック 1  項目4  値 0x00 / 0 / 0（バイト 3 から始まる値の一部）"_s},
    };
    for (const auto& [tab, row, col, said] : cases)
        EXPECT_EQ(DescribeCell(doc, tab, tab == TabIdSection ? kItems : 0, row, col), said);
}

} // namespace
} // namespace zor
