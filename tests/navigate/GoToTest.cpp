#include "core/navigate/GoTo.h"
#include "core/view/TabView.h"

#include "tests/navigate/SmallDocument.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::MakeDataSet;

class GoTo : public ::testing::Test {
protected:
    void SetUp() override
    {
        QStringList ids;
        for (int i = 0; i < 10; ++i)
            ids << u"ID%1"_s.arg(i);
        // 表's 力 holds every third byte from 0x1000; 別 overlaps it one byte in three.
        test::SetDataSets(doc, {MakeDataSet(u"表"_s, ids, {{u"力"_s, 0x1000, 3}, {u"読めない"_s, 0, 1, true}, {u"遠い"_s, 0x4000000}}),
                                MakeDataSet(u"別"_s, {u"a"_s, u"b"_s, u"c"_s}, {{u"重なり"_s, 0x1003}}),
                                MakeDataSet(u"零"_s, {u"a"_s, u"b"_s}, {{u"同じ場所"_s, 0x2000, 0}})});
        test::SetIndividual(doc, {u"お金"_s}, {0x3000});
        test::SetBattle(doc, 1, {0, 1, 2, 3, 4}, {3});
    }

    DocumentState doc;
};

TEST_F(GoTo, OffsetsFindTheCellWhoseByteLiesThere)
{
    using Place = std::optional<CellRef>;
    EXPECT_EQ(CellAtOffset(doc, 1, 0x1000), Place({TabIdSection, 1, 1, 1}));
    EXPECT_EQ(CellAtOffset(doc, 1, 0x101B), Place({TabIdSection, 1, 1, 10})); // ID 9, the last
    EXPECT_EQ(CellAtOffset(doc, 1, 0x1003), Place({TabIdSection, 1, 1, 2}));  // both hold it: the first data set wins
    EXPECT_EQ(CellAtOffset(doc, 2, 0x1003), Place({TabIdSection, 2, 1, 1}));
    EXPECT_EQ(CellAtOffset(doc, 1, 0x1004), Place({TabIdSection, 2, 1, 2}));  // between 力's IDs, but 別 holds it
    EXPECT_EQ(CellAtOffset(doc, 1, 0x2000), Place({TabIdSection, 3, 1, 1}));  // a step of 0: the first ID
    EXPECT_EQ(CellAtOffset(doc, 1, 0x4000009), Place({TabIdSection, 1, 3, 10})); // read-only, yet a cell
    EXPECT_EQ(CellAtOffset(doc, 1, 0x3000), Place({TabIndividual, 0, 1, 1}));
    for (const std::int64_t none : {0x1001LL, 0x101CLL, 0x101ELL, 0x2001LL, 0LL, 0x0FFDLL})
        EXPECT_FALSE(CellAtOffset(doc, 1, none)) << none; // 0: only the unusable section "lies" there
}

TEST_F(GoTo, NumbersAreRowsOfTheTableShown)
{
    // CellRef: tab, data set, column, row.
    EXPECT_EQ(ResolveGoTo(doc, TabIdSection, 1, 1, 2, u"5"_s), CellRef({TabIdSection, 1, 2, 6}));
    EXPECT_EQ(ResolveGoTo(doc, TabIdSection, 1, 1, 2, u" 0x9 "_s), CellRef({TabIdSection, 1, 2, 10}));
    EXPECT_EQ(ResolveGoTo(doc, TabIdSection, 1, 1, 2, u"０"_s), CellRef({TabIdSection, 1, 2, 1}));
    EXPECT_EQ(ResolveGoTo(doc, TabIdSection, 2, 1, 2, u"1"_s), CellRef({TabIdSection, 2, 1, 2})); // a column the data set has
    EXPECT_EQ(ResolveGoTo(doc, TabIndividual, 0, 1, 2, u"1"_s), CellRef({TabIndividual, 0, 1, 1}));
    EXPECT_EQ(ResolveGoTo(doc, TabBattle, 0, 1, 2, u"5"_s), CellRef({TabBattle, 0, 2, 5}));
    for (const auto& [tab, dataSet, text, says] : std::vector<std::tuple<int, int, QString, QString>>{
             {TabIdSection, 1, u"10"_s, u"0 から 9（0x9）"_s}, {TabIdSection, 1, u"0xA"_s, u"0 から 9"_s},
             {TabIdSection, 0, u"1"_s, u"データセット"_s},    {TabIndividual, 0, u"0"_s, u"1 から 1"_s},
             {TabBattle, 0, u"6"_s, u"1 から 5"_s},          {TabBattle, 0, u"-1"_s, u"読めません"_s},
             {TabBattle, 0, u"1.5"_s, u"読めません"_s},      {TabBattle, 0, u"   "_s, u"入力してください"_s}}) {
        SCOPED_TRACE(text.toStdString());
        const auto r = ResolveGoTo(doc, tab, dataSet, 1, 2, text);
        ASSERT_FALSE(r);
        EXPECT_TRUE(r.failure().message().contains(says)) << r.failure().message().toStdString();
    }
}

TEST_F(GoTo, PlacesAreRefusedWithTheReason)
{
    // The same place three ways, from tab 2 too (tab 1's remembered data set first).
    for (const QString& text : {u"@1003"_s, u"$80:9003"_s, u"$00:9003"_s})
        for (const int tab : {TabIdSection, TabIndividual}) {
            EXPECT_EQ(ResolveGoTo(doc, tab, tab == TabIdSection ? 2 : 0, 2, 1, text), CellRef({TabIdSection, 2, 1, 1}))
                << text.toStdString() << tab;
        }
    // Between two IDs of the stepped section: which, and where they lie.
    const Result<CellRef> between = ResolveGoTo(doc, TabIdSection, 1, 1, 1, u"@1001"_s);
    ASSERT_FALSE(between);
    for (const QString& says : {u"0x001001（$80:9001）"_s, u"「力」は 3 バイトおき"_s, u"ID 0 は 0x001000"_s, u"ID 1 は 0x001003"_s})
        EXPECT_TRUE(between.failure().message().contains(says)) << between.failure().message().toStdString();
    const Result<CellRef> outside = ResolveGoTo(doc, TabIdSection, 1, 1, 1, u"@500000"_s);
    ASSERT_FALSE(outside);
    const QString why = outside.failure().message();
    EXPECT_TRUE(why.contains(u"0x500000 のバイトは、どの表のセルにもありません"_s) && !why.contains(u"おき"_s)) << why.toStdString();
    for (const QString& text : {u"$7E:9003"_s, u"$80:7FFF"_s, u"@"_s})
        EXPECT_FALSE(ResolveGoTo(doc, TabIdSection, 1, 1, 1, text)) << text.toStdString();
}

} // namespace
} // namespace zor
