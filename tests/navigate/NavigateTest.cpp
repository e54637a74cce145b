#include "core/navigate/CellDescription.h"
#include "core/navigate/Find.h"
#include "core/navigate/FindFold.h"
#include "core/navigate/GoTo.h"
#include "core/navigate/SnesAddressText.h"
#include "core/view/TabView.h"

#include "tests/support/HandTables.h"
#include "tests/support/PutByte.h"
#include "tests/support/TypedTables.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::MakeDataSet;

// Entries at the given offsets, named as given, each holding its number.
void SetEntries(DocumentState& doc, const QStringList& names, const std::vector<std::int32_t>& offsets)
{
    doc.IndividualCount = static_cast<int>(names.size());
    doc.IndividualNames.redim(doc.IndividualCount + 1);
    doc.IndividualAddresses.redim(doc.IndividualCount + 1);
    doc.IndividualAddressUnusable.redim(doc.IndividualCount + 1);
    NdArray<std::uint8_t, 1>& bytes = TableLoad::IndividualBytes(doc);
    doc.IndividualSettings.redim(2, doc.IndividualCount + 1);
    for (int r = 1; r <= doc.IndividualCount; ++r) {
        doc.IndividualNames(r) = names[r - 1];
        doc.IndividualAddresses(r) = offsets[r - 1];
        bytes(r) = static_cast<std::uint8_t>(r);
    }
}

// Records whose first byte is the class (ID row class + 1 of classDataSet), the rest 0xEE; blocks begin at starts.
void SetClassBattle(DocumentState& doc, int classDataSet, const std::vector<int>& classes, const std::vector<int>& starts)
{
    doc.ClassDataSet = classDataSet;
    test::SetBattleRecords(doc, static_cast<int>(classes.size()), [&](int c, int r) { return c == 1 ? classes[r - 1] : 0xEE; }, starts);
    doc.BattleSettings.redim(2, kBattleRecordSize + 1);
    for (int c = 1; c <= kBattleRecordSize; ++c)
        doc.BattleSectionNames(c) = QStringLiteral("項目%1").arg(c);
}

TEST(SnesAddressText, OffsetsAtTheBankEdges)
{
    for (const auto& [offset, text, address] : std::vector<std::tuple<std::int64_t, QString, QString>>{
             {0, u"0x000000"_s, u"$80:8000"_s},          {0x7FFF, u"0x007FFF"_s, u"$80:FFFF"_s},
             {0x8000, u"0x008000"_s, u"$81:8000"_s},     {0x061002, u"0x061002"_s, u"$8C:9002"_s},
             {0x3FFFFF, u"0x3FFFFF"_s, u"$FF:FFFF"_s},   {0x400000, u"0x400000"_s, QString()},
             {0x1234567, u"0x1234567"_s, QString()},     {-0x10, u"-0x000010"_s, QString()}}) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(OffsetText(offset), text);
        EXPECT_EQ(SnesAddressText(offset), address);
        if (!address.isEmpty()) {
            EXPECT_EQ(ParseSnesAddress(address), offset);
        }
    }
}

TEST(SnesAddressText, AddressesReadWithMirrorsAndRefusals)
{
    for (const auto& [text, offset] : std::vector<std::pair<QString, std::int64_t>>{
             {u"$8C:9002"_s, 0x061002}, {u"$0C:9002"_s, 0x061002}, {u" $8c9002 "_s, 0x061002},
             {u"＄８Ｃ：９００２"_s, 0x061002}, {u"$00:8000"_s, 0}, {u"$7D:FFFF"_s, 0x3EFFFF}}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(ParseSnesAddress(text), offset);
    }
    for (const auto& [text, says] : std::vector<std::pair<QString, QString>>{
             {u"$7E:8000"_s, u"$7E"_s}, {u"$7F:FFFF"_s, u"$7F"_s}, {u"$80:7FFF"_s, u"$7FFF"_s}, {u"$80:8"_s, u"$0008"_s},
             {u"$8C:90021"_s, u"$BB:AAAA"_s}, {u"$100:8000"_s, u"$BB:AAAA"_s}, {u"8C:9002"_s, u"$BB:AAAA"_s},
             {u"$8C:"_s, u"$BB:AAAA"_s}, {u"$8G:9002"_s, u"$BB:AAAA"_s}, {u"$8C9002FF"_s, u"$BB:AAAA"_s}}) {
        SCOPED_TRACE(text.toStdString());
        const Result<std::int64_t> parsed = ParseSnesAddress(text);
        ASSERT_FALSE(parsed);
        EXPECT_TRUE(parsed.failure().message().contains(says)) << parsed.failure().message().toStdString();
    }
}

TEST(SnesAddressText, OffsetsAfterAnAtSign)
{
    for (const QString& text : {u"@61002"_s, u"@0x61002"_s, u" ＠６１００２ "_s, u"@ 0X061002"_s})
        EXPECT_EQ(ParseOffsetText(text), 0x061002) << text.toStdString();
    EXPECT_EQ(ParseOffsetText(u"@FFFFFFFF"_s), 0xFFFFFFFFLL);
    for (const QString& text : {u"@"_s, u"@0x"_s, u"@123456789"_s, u"@-1"_s, u"61002"_s, u"@61g02"_s})
        EXPECT_FALSE(ParseOffsetText(text)) << text.toStdString();
}

class CellDescription : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SetDataSets(doc, {MakeDataSet(u"クラス"_s, {u"なし"_s, u"戦士"_s}, {{u"HP"_s, 0x100}}),
                                MakeDataSet(u"表"_s, {u"いち"_s, u"に"_s},
                                            {{u"力"_s, 0x061000, 2}, {QString(), 0x3FFFFF}, {u"読めない"_s, 0, 1, true},
                                             {u"前"_s, -0x10}, {u"遠い"_s, 0x3FFFFFF}})});
        test::FillIdBytes(doc, 2, [](int q, int i) { return q == 1 && i == 1 ? 0x80 : q * 16 + i; });
        SetEntries(doc, {u"お金"_s}, {0x300});
        SetClassBattle(doc, 1, {1, 0, 200}, {2});
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
        SetEntries(doc, {u"お金"_s}, {0x3000});
        SetClassBattle(doc, 1, {0, 1, 2, 3, 4}, {3});
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

// A typed cell holds each of its bytes: 力 (step 3) two, お金 three.
TEST_F(GoTo, AnOffsetInsideAWiderCellFindsThatCell)
{
    using Place = std::optional<CellRef>;
    doc.DataSets(1).SectionTypes = NdArray<CellType, 1>(4);
    doc.DataSets(1).SectionTypes(1).Size = 2;
    doc.IndividualTypes = NdArray<CellType, 1>(2);
    doc.IndividualTypes(1).Size = 3;
    for (const auto& [offset, place] : std::vector<std::pair<std::int64_t, Place>>{
             {0x1000, Place({TabIdSection, 1, 1, 1})}, {0x1001, Place({TabIdSection, 1, 1, 1})}, {0x1002, std::nullopt},
             {0x101C, Place({TabIdSection, 1, 1, 10})}, {0x101D, std::nullopt}, {0x0FFF, std::nullopt},
             {0x3002, Place({TabIndividual, 0, 1, 1})}, {0x3003, std::nullopt}, {0x2FFF, std::nullopt}})
        EXPECT_EQ(CellAtOffset(doc, 1, offset), place) << std::hex << offset;
    EXPECT_EQ(ResolveGoTo(doc, TabIdSection, 1, 1, 1, u"@1019"_s), CellRef({TabIdSection, 1, 1, 9}));
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
        SetEntries(doc, {u"お金"_s, u"ﾚﾍﾞﾙ"_s}, {0x600, 0x601});
        SetClassBattle(doc, 1, {0, 1, 2, 1}, {3});
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
    struct Case { QString text; FindFrom from; bool backwards, all; QString said; };
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

// Typed cells found and described: numbers by each cell's size, names shown in cells as
// text, and the status bar's offsets and values.
class TypedFind : public test::TypedTables {
protected:
    std::tuple<int, int, int> find(const QString& text, FindFrom from) const
    {
        const FindHit hit = Finder().find(doc, FindQuery(text), from, false, false);
        return {hit.kind, hit.row, hit.col};
    }
    // The cells a query lands on in turn from a cell, once round.
    std::vector<std::pair<int, int>> round(const QString& text, FindFrom from) const
    {
        std::vector<std::pair<int, int>> cells;
        for (FindHit hit; (hit = Finder().find(doc, FindQuery(text), from, false, false)).kind && !(cells.size() && hit.wrapped);
             from = {hit.tab, hit.dataSet, hit.row, hit.col, false, hit.byName})
            cells.emplace_back(hit.row, hit.col);
        return cells;
    }
};

TEST_F(TypedFind, ANumberFindsTheCellsOfEverySizeThatHoldIt)
{
    const FindFrom last{TabIdSection, kItems, 3, 6};
    const std::tuple<QString, FindFrom, std::vector<std::pair<int, int>>> cases[] = {
        {u"-1"_s, last, {{1, 4}, {1, 5}, {1, 6}}}, // 差 0xFFFF, 重さ 0xFF, 大 0xFFFFFFFF
        {u"255"_s, last, {{1, 5}, {2, 1}}},        // 価格 0x00FF, not its low byte 0xFF
        {u"0x1234"_s, last, {{1, 1}}},
        {u"-32768"_s, last, {{3, 4}}},
        {u"65536"_s, last, {{3, 6}}},
        {u"0x07"_s, last, {{2, 2}}}, // a Names cell by its number, in its own byte column after 価格's two
        {u"300"_s, last, {}},        // a number no cell holds is no text either
        {u"0x00FF"_s, {TabIndividual, 0, 2, 1}, {{1, 1}}},
        {u"255"_s, {TabIndividual, 0, 2, 1}, {{1, 1}, {2, 1}}},
    };
    for (const auto& [text, from, cells] : cases)
        EXPECT_EQ(round(text, from), cells) << text.toStdString();
    // Battle field 3 holds 0x00FF; byte 4, inside it, is a byte of its own holding 0.
    EXPECT_EQ(std::pair(find(u"255"_s, {TabBattle, 0, 1, 1}), find(u"0"_s, {TabBattle, 0, 1, 1})),
              std::pair(std::tuple(int{FindHit::Cell}, 1, 3), std::tuple(int{FindHit::Cell}, 1, 4)));
}

TEST_F(TypedFind, TextFindsTheNamesCellsShowBesideLabelsAndCaptions)
{
    const std::pair<QString, std::tuple<int, int, int>> cases[] = {
        {u"防具"_s, {FindHit::Cell, 1, 2}},  {u"氷"_s, {FindHit::Cell, 1, 3}},  {u"bit 1"_s, {FindHit::Cell, 3, 3}},
        {u"x07"_s, {FindHit::Cell, 2, 2}},   // the number a Names cell shows for an ID without a name
        {u"薬"_s, {FindHit::Label, 3, 1}},   {u"重"_s, {FindHit::Caption, 1, 5}},
    };
    for (const auto& [text, landing] : cases)
        EXPECT_EQ(find(text, {TabIdSection, kItems, 1, 1}), landing) << text.toStdString();
    // A row's label comes before its cells: from row 3's label 武器 lies ahead, from its own cell only after a round.
    const FindHit ahead = Finder().find(doc, FindQuery(u"武器"_s), {TabIdSection, kItems, 3, 3}, false, false);
    const FindHit round = Finder().find(doc, FindQuery(u"武器"_s), {TabIdSection, kItems, 3, 2, false, true}, false, false);
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
