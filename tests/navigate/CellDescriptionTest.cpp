#include "core/navigate/CellDescription.h"

#include "tests/navigate/SmallDocument.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::MakeDataSet;

class CellDescription : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SetDataSets(doc, {MakeDataSet(u"クラス"_s, {u"なし"_s, u"戦士"_s}, {{u"HP"_s, 0x100}}),
                                MakeDataSet(u"表"_s, {u"いち"_s, u"に"_s},
                                            {{u"力"_s, 0x061000, 2}, {QString(), 0x3FFFFF}, {u"読めない"_s, 0, 1, true},
                                             {u"前"_s, -0x10}, {u"遠い"_s, 0x3FFFFFF}})});
        test::FillIdBytes(doc, 2, [](int q, int i) { return q == 1 && i == 1 ? 0x80 : q * 16 + i; });
        test::SetIndividual(doc, {u"お金"_s}, {0x300});
        test::SetBattle(doc, 1, {1, 0, 200}, {2});
    }

    QString describe(int tab, int row, int col) { return DescribeCell(doc, tab, tab == TabIdSection ? 2 : 0, row, col); }

    DocumentState doc;
};

TEST_F(CellDescription, EachTabNamesTheRowThePlaceAndTheByte)
{
    EXPECT_EQ(describe(TabIdSection, 2, 1), u"ID 1 (0x01)「に」  力  オフセット 0x061002  $8C:9002  値 0x80 / 128 / -128"_s);
    EXPECT_EQ(describe(TabIndividual, 1, 1), u"個別データ 1「お金」  オフセット 0x000300  $80:8300  値 0x01 / 1 / 1"_s);
    // Battle records have no offset; record 2 begins the second block.
    EXPECT_EQ(describe(TabBattle, 2, 3), u"レコード 2「なし」  ブロック 2  項目3  値 0xEE / 238 / -18"_s);
    EXPECT_EQ(describe(TabBattle, 1, 1), u"レコード 1「戦士」  ブロック 1  項目1  値 0x01 / 1 / 1"_s);
    EXPECT_TRUE(describe(TabBattle, 3, 1).startsWith(u"レコード 3  ブロック 2  "_s)); // a class without a name
}

TEST_F(CellDescription, AddressesEndAtTheMappingAndBadOffsetsSaySo)
{
    EXPECT_TRUE(describe(TabIdSection, 1, 2).contains(u"セクション 2  オフセット 0x3FFFFF  $FF:FFFF  値"_s)) << describe(TabIdSection, 1, 2).toStdString();
    EXPECT_TRUE(describe(TabIdSection, 2, 2).contains(u"オフセット 0x400000  値"_s)) << describe(TabIdSection, 2, 2).toStdString();
    EXPECT_TRUE(describe(TabIdSection, 1, 5).contains(u"オフセット 0x3FFFFFF  値"_s));
    for (const auto& [col, says] : std::vector<std::pair<int, QString>>{
             {3, u"オフセットを読めません"_s}, {4, u"先頭より前"_s}}) {
        const QString text = describe(TabIdSection, 1, col);
        EXPECT_TRUE(text.contains(says) && !text.contains(u"オフセット 0x"_s) && !text.contains(u'$')) << text.toStdString();
    }
    EXPECT_TRUE(describe(TabIdSection, 2, 5).contains(u"64 MiB"_s)); // 0x3FFFFFF + 1
    for (const auto& [tab, row, col] : std::vector<std::tuple<int, int, int>>{
             {TabIdSection, 0, 1}, {TabIdSection, 3, 1}, {TabIdSection, 1, 6}, {TabIndividual, 2, 1}, {TabBattle, 4, 1}, {TabBattle, 1, 26}})
        EXPECT_TRUE(describe(tab, row, col).isEmpty()) << tab << " " << row << " " << col;
    EXPECT_TRUE(DescribeCell(doc, TabIdSection, 0, 1, 1).isEmpty());
}

} // namespace
} // namespace zor
