#include "core/navigate/Find.h"
#include "core/navigate/FindFold.h"

#include "tests/navigate/SmallDocument.h"
#include "tests/support/PutByte.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::MakeDataSet;

// Where a hit lands, as one comparable value.
using Landing = std::tuple<FindHit::Kind, int, int, int>; // kind, data set, row, col
Landing Of(const FindHit& hit) { return {hit.kind, hit.dataSet, hit.row, hit.col}; }

class Find : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SetDataSets(doc, {MakeDataSet(u"クラス"_s, {u"なし"_s, u"戦士"_s, u"ｿﾙｼﾞｬｰ"_s}, {{u"HP"_s, 0x100}}),
                                MakeDataSet(u"表"_s, {u"Alpha"_s, u"ベータ"_s, u"ガンマ"_s, u"Ｄｅｌｔａ"_s},
                                            {{u"力"_s, 0x200}, {u"すばやさ"_s, 0x300}, {u"ベータ値"_s, 0x400}}),
                                MakeDataSet(u"魔法"_s, {u"ファイア"_s, u"12"_s}, {{u"消費"_s, 0x500}}),
                                MakeDataSet(u"大"_s, QStringList(10, u"x"_s), {{}, {}, {}, {}})});
        test::SetIndividual(doc, {u"お金"_s, u"ﾚﾍﾞﾙ"_s}, {0x600, 0x601});
        test::SetBattle(doc, 1, {0, 1, 2, 1}, {3});
    }

    FindHit find(const QString& text, FindFrom from, bool backwards = false, bool all = false)
    {
        return finder.find(doc, FindQuery(text), from, all, backwards);
    }
    // From a hit on, as the window goes on: on a caption when the hit was one.
    static FindFrom after(const FindHit& hit) { return {hit.tab, hit.dataSet, hit.row, hit.col, hit.kind == FindHit::Caption}; }

    DocumentState doc;
    Finder finder;
};

TEST_F(Find, AByteWalksRowsLeftToRightBothWaysAndWraps)
{
    for (const auto& [row, col] : std::vector<std::pair<int, int>>{{1, 4}, {5, 3}, {5, 1}, {8, 2}, {10, 4}})
        test::PutByte(doc, {TabIdSection, 4, col, row}, 0x7B);
    const std::vector<std::pair<int, int>> order = {{1, 4}, {5, 1}, {5, 3}, {8, 2}, {10, 4}};
    for (const QString& query : {u"0x7b"_s, u"123"_s, u"１２３"_s}) {
        SCOPED_TRACE(query.toStdString());
        FindFrom from{TabIdSection, 4, 1, 1};
        for (std::size_t i = 0; i <= order.size(); ++i) {
            const FindHit hit = find(query, from);
            EXPECT_EQ(Of(hit), Landing(FindHit::Cell, 4, order[i % order.size()].first, order[i % order.size()].second)) << i;
            from = after(hit);
        }
        for (std::size_t i = order.size() * 2; i > 0; --i) {
            const FindHit hit = find(query, from, true);
            EXPECT_EQ(Of(hit), Landing(FindHit::Cell, 4, order[(i - 1) % order.size()].first, order[(i - 1) % order.size()].second)) << i;
            from = after(hit);
        }
    }
    // The cursor's own cell comes last, so a lone match is found from itself, either way.
    for (const bool backwards : {false, true})
        EXPECT_EQ(Of(find(u"0x11"_s, {TabIdSection, 3, 2, 1}, backwards)), Landing(FindHit::Cell, 3, 2, 1));
}

TEST_F(Find, AByteNeverMatchesLabelTextAndTextNeverMatchesCells)
{
    // "12" is the byte 0x0C, which no cell of 魔法 holds, though a label reads "12".
    EXPECT_EQ(std::get<0>(Of(find(u"12"_s, {TabIdSection, 3, 1, 1}))), FindHit::None);
    EXPECT_EQ(Of(find(u"0x11"_s, {TabIdSection, 3, 1, 1})), Landing(FindHit::Cell, 3, 2, 1));
    // "0x1G" is no byte: it is looked for as text, and no label or caption has it.
    EXPECT_EQ(std::get<0>(Of(find(u"0x1G"_s, {TabIdSection, 3, 1, 1}))), FindHit::None);
    for (const QString& blank : {QString(), u"  "_s})
        EXPECT_EQ(std::get<0>(Of(find(blank, {TabIdSection, 3, 1, 1}))), FindHit::None);
}

TEST_F(Find, TextIgnoresCaseAndTheWidthOfKanaAndLetters)
{
    EXPECT_EQ(FoldForFind(u"ｶﾞﾝﾏ Ａｂ ﾊﾟ"_s), FoldForFind(u"ガンマ ab パ"_s));
    EXPECT_EQ(FoldForFind(u"ｶﾞﾝﾏ Ａｂ ﾊﾟ"_s), u"ガンマ ab パ"_s);
    EXPECT_NE(FoldForFind(u"①"_s), FoldForFind(u"1"_s)); // only widths, not every compatibility form
    for (const auto& [query, dataSet, row] : std::vector<std::tuple<QString, int, int>>{
             {u"ALPHA"_s, 2, 1}, {u"ＡＬ"_s, 2, 1}, {u"ﾍﾞｰﾀ"_s, 2, 2}, {u"ｶﾞﾝ"_s, 2, 3}, {u"delta"_s, 2, 4},
             {u"ソルジャー"_s, 1, 3}, {u"ﾙｼﾞ"_s, 1, 3}}) {
        SCOPED_TRACE(query.toStdString());
        EXPECT_EQ(Of(find(query, {TabIdSection, dataSet, 1, 1})), Landing(FindHit::Label, dataSet, row, 1));
    }
    EXPECT_EQ(Of(find(u"レベル"_s, {TabIndividual, 0, 1, 1})), Landing(FindHit::Label, 0, 2, 1));
}

TEST_F(Find, LabelsThenCaptionsFormOneCycleEitherWay)
{
    // "ベータ" is the label of row 2 and the caption of column 3 of 表.
    const FindHit label = find(u"ベータ"_s, {TabIdSection, 2, 1, 2});
    EXPECT_EQ(Of(label), Landing(FindHit::Label, 2, 2, 2)); // the cursor keeps its column
    const FindHit caption = find(u"ベータ"_s, after(label));
    EXPECT_EQ(Of(caption), Landing(FindHit::Caption, 2, 2, 3)); // and its row
    EXPECT_EQ(Of(find(u"ベータ"_s, after(caption))), Landing(FindHit::Label, 2, 2, 3));
    EXPECT_EQ(Of(find(u"ベータ"_s, after(caption), true)), Landing(FindHit::Label, 2, 2, 3));
    EXPECT_EQ(Of(find(u"ベータ"_s, after(label), true)), Landing(FindHit::Caption, 2, 2, 3));
    // Tab 3: the labels are the classes' names, then the captions.
    EXPECT_EQ(Of(find(u"戦士"_s, {TabBattle, 0, 2, 5})), Landing(FindHit::Label, 0, 4, 5));
    EXPECT_EQ(Of(find(u"戦士"_s, {TabBattle, 0, 4, 5})), Landing(FindHit::Label, 0, 2, 5));
    EXPECT_EQ(Of(find(u"項目2"_s, {TabBattle, 0, 3, 1})), Landing(FindHit::Caption, 0, 3, 2));
}

TEST_F(Find, EveryDataSetInTurnAfterTheShownOne)
{
    EXPECT_EQ(std::get<0>(Of(find(u"ファイア"_s, {TabIdSection, 2, 1, 3}))), FindHit::None);
    EXPECT_EQ(Of(find(u"ファイア"_s, {TabIdSection, 2, 1, 3}, false, true)), Landing(FindHit::Label, 3, 1, 1));
    // なし lies in 1: after 表 forwards through 魔法 and 大; x only in 大, the last forwards.
    EXPECT_EQ(Of(find(u"なし"_s, {TabIdSection, 2, 1, 1}, false, true)), Landing(FindHit::Label, 1, 1, 1));
    EXPECT_EQ(Of(find(u"x"_s, {TabIdSection, 2, 1, 1}, false, true)), Landing(FindHit::Label, 4, 1, 1));
    EXPECT_EQ(Of(find(u"x"_s, {TabIdSection, 2, 1, 1}, true, true)), Landing(FindHit::Label, 4, 10, 1));
    EXPECT_EQ(Of(find(u"0x13"_s, {TabIdSection, 3, 1, 1}, true, true)), Landing(FindHit::Cell, 2, 4, 1));
    // Around every other data set and back to the shown one's own row.
    EXPECT_EQ(Of(find(u"ガンマ"_s, {TabIdSection, 2, 3, 2}, false, true)), Landing(FindHit::Label, 2, 3, 2));
    EXPECT_EQ(Of(find(u"ガンマ"_s, {TabIdSection, 2, 3, 2}, true, true)), Landing(FindHit::Label, 2, 3, 2));
}

TEST_F(Find, EachFindSaysWhatItFoundWhereAndWhetherItWrapped)
{
    struct Case {
        QString text;
        FindFrom from;
        bool backwards;
        bool all;
        QString said;
    };
    for (const Case& c : std::vector<Case>{
             {u" ｶﾞﾝ "_s, {TabIdSection, 2, 1, 1}, false, false, u"行の名前の「ｶﾞﾝ」を見つけました"_s},
             {u"ｶﾞﾝ"_s, {TabIdSection, 2, 4, 1}, false, false, u"行の名前の「ｶﾞﾝ」を見つけました。先頭から探し直しました"_s},
             {u"ｶﾞﾝ"_s, {TabIdSection, 2, 1, 1}, true, false, u"行の名前の「ｶﾞﾝ」を見つけました。末尾から探し直しました"_s},
             {u"0x11"_s, {TabIdSection, 3, 2, 1}, false, false, u"値「0x11」のセルを見つけました。先頭から探し直しました"_s},
             {u"消費"_s, {TabIdSection, 2, 1, 1}, false, true, u"見出しの「消費」を見つけました（データセット「魔法」）"_s},
             {u"消費"_s, {TabIdSection, 2, 1, 1}, false, false, u"「消費」は見つかりません"_s},
         }) {
        SCOPED_TRACE(c.text.toStdString());
        const FindHit hit = find(c.text, c.from, c.backwards, c.all);
        EXPECT_EQ(DescribeFind(doc, c.text, c.from, hit, c.backwards), c.said);
    }
}

TEST_F(Find, LabelsChangedAfterForgetAreFound)
{
    EXPECT_EQ(std::get<0>(Of(find(u"alpha"_s, {TabIdSection, 2, 1, 1}))), FindHit::Label);
    doc.DataSets(2).IdNames(3) = u"Omega"_s;
    finder.forget();
    EXPECT_EQ(Of(find(u"omega"_s, {TabIdSection, 2, 1, 1})), Landing(FindHit::Label, 2, 3, 1));
}

} // namespace
} // namespace zor
