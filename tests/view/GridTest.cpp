#include "core/edit/EditHistory.h"
#include "core/files/Ini.h"
#include "core/view/Grid.h"
#include "core/view/TabView.h"
#include "tests/support/Succeeded.h"
#include "tests/view/SmallMode.h"

#include <QFile>

#include <array>
#include <tuple>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using GridView = test::SmallMode;

TEST_F(GridView, CellsShowTheirSectionsNotation)
{
    // An unknown code (7 here, 0 when ZOR.ini has no DefaultNotation) shows hexadecimal;
    // outside the table there is nothing.
    const std::tuple<int, int, int, int, QString> cases[] = {
        {TabIdSection, table, 1, 1, u"0x80"_s}, {TabIdSection, table, 1, 2, u"128"_s}, {TabIdSection, table, 1, 3, u"-128"_s},
        {TabIdSection, table, 2, 1, u"0x00"_s}, {TabIndividual, 0, 1, 1, u"0x0A"_s},    {TabBattle, 0, 1, 25, u"0x00"_s},
        {TabIdSection, table, 3, 1, QString()}, {TabIdSection, table, 1, 4, QString()}, {TabIdSection, 9, 1, 1, QString()},
        {TabIndividual, 0, 1, 2, QString()},    {TabBattle, 0, 4, 1, QString()},
    };
    for (const auto& [tab, dataSet, row, col, text] : cases)
        EXPECT_EQ(CellText(doc, tab, dataSet, row, col), text) << tab << " " << row << " " << col;
}

TEST_F(GridView, LayoutOfEachTab)
{
    const GridLayout ids = LayoutGrid(doc, TabIdSection, table, 240);
    EXPECT_EQ(std::tuple(ids.rows, ids.cols, ids.headingHeight), std::tuple(3, 4, 480));
    EXPECT_EQ(ids.headings, (std::vector<QString>{u"ID"_s, u"ちから"_s, QString(), u"とても長い見出しです"_s}));
    EXPECT_EQ(ids.labels[2], u"に"_s);
    EXPECT_EQ(ids.alignments, (std::vector<int>{0, 6, 6, 6}));

    const GridLayout individual = LayoutGrid(doc, TabIndividual, 0, 240);
    EXPECT_EQ(std::tuple(individual.cols, individual.headingHeight, individual.headings[0], individual.fixedValueWidth),
              std::tuple(2, 200, QString(), true));

    // Battle rows are labelled with their class's name; a class without one gets an empty label.
    const GridLayout battle = LayoutGrid(doc, TabBattle, 0, 240);
    EXPECT_EQ(std::tuple(battle.cols, battle.headings[0]), std::tuple(26, QString()));
    EXPECT_EQ(battle.labels, (std::vector<QString>{QString(), u"戦士"_s, QString(), QString()}));
    doc.ClassDataSet = 0;
    EXPECT_EQ(LayoutGrid(doc, TabBattle, 0, 240).labels[1], QString());

    EXPECT_EQ(LayoutGrid(doc, TabIdSection, 0, 240).rows, 1); // no data set chosen: no table
}

TEST_F(GridView, WidthsFromTheSettingsFileOrFitted)
{
    // Each character measures 100 twips.
    int measured = 0;
    const MeasureText measure = [&](const QString& text) {
        ++measured;
        return 100.0 * text.size();
    };
    const std::vector<int> previous{1, 2, 777, 4};
    std::vector<int> widths = ColumnWidths(LayoutGrid(doc, TabIdSection, table, 240), previous, measure, measure);
    // Labels "いち " and "に ": the second is narrower, so the running width stays.
    EXPECT_EQ(widths[0], 390);
    EXPECT_EQ(widths[1], 600);  // 3 characters + 90 is below the minimum
    EXPECT_EQ(widths[2], 777);  // an empty heading keeps the column's width
    EXPECT_EQ(widths[3], 980);  // 10 characters on two lines, the wider "とても長い " 600 + 380

    const QString ini = home.file(u"mode/表.ini"_s);
    ASSERT_TRUE(WriteIni(u"ColWidth"_s, u"Section0"_s, u"1234.5"_s, ini));
    for (const auto& [key, value] : {std::pair{u"Section1"_s, u"abc"_s}, {u"Section2"_s, u"-5"_s}, {u"Section3"_s, u"1e3"_s}})
        ASSERT_TRUE(WriteIni(u"ColWidth"_s, key, value, ini));
    measured = 0;
    widths = ColumnWidths(LayoutGrid(doc, TabIdSection, table, 240), previous, measure, measure);
    EXPECT_EQ(widths, (std::vector<int>{1234, 600, 777, 1000}));
    EXPECT_EQ(measured, 1); // only the heading whose stored width is unusable; no label at all

    EXPECT_EQ((std::vector<std::optional<int>>{ParseColumnWidth(u"99999"_s), ParseColumnWidth(u"32767"_s), ParseColumnWidth(u"0"_s)}),
              (std::vector<std::optional<int>>{std::nullopt, 32767, 0}));
}

TEST_F(GridView, RowLabelWidthGrowsOnlyPastTheRunningWidth)
{
    GridLayout layout;
    layout.rows = 4;
    layout.cols = 1;
    layout.labels = {QString(), u"a"_s, u"bb"_s, u"cccc"_s};
    const std::vector<double> sizes{100, 150, 300}; // "a " 100, "bb " 150, "cccc " 300
    int next = 0;
    const std::vector<int> widths = ColumnWidths(layout, {0}, nullptr, [&](const QString&) { return sizes[next++]; });
    // 100 → 190; 150 is not above 190; 300 is: 390.
    EXPECT_EQ(widths[0], 390);
    EXPECT_EQ(HeadingLines(u"1234567"_s), (QStringList{u"123 "_s, u"4567"_s}));
    EXPECT_EQ(HeadingLines(u"123456"_s), QStringList{u"123456"_s});
}

TEST_F(GridView, NotationIsWrittenAtOnceAndOnlyForASection)
{
    EXPECT_EQ(SetNotation(doc, {TabIdSection, table}, 1, 1, NotationSigned), NotationChange::Changed);
    EXPECT_EQ(CellText(doc, TabIdSection, table, 1, 1), u"-128"_s);
    EXPECT_EQ(ReadIni(u"Notation"_s, u"Section1"_s, home.file(u"mode/表.ini"_s)), u"-10"_s);
    EXPECT_FALSE(doc.History->Modified());
    // On 個別データ the row is the section.
    EXPECT_EQ(SetNotation(doc, {TabIndividual, 0}, 1, 1, NotationUnsigned), NotationChange::Changed);
    EXPECT_EQ(ReadIni(u"Notation"_s, u"Section1"_s, home.file(u"mode/個別データ.ini"_s)), u"10"_s);
    EXPECT_EQ(CellText(doc, TabIndividual, 0, 1, 1), u"10"_s);
    // A cursor on no section changes nothing.
    for (const auto& [tab, row, col] : {std::tuple{TabIdSection, 1, 4}, {TabIndividual, 2, 1}, {TabBattle, 1, 26}})
        EXPECT_EQ(SetNotation(doc, {tab, tab == TabIdSection ? table : 0}, row, col, NotationHex), NotationChange::NoSection) << tab;
    EXPECT_EQ(SetNotation(doc, {TabIdSection, 0}, 1, 1, NotationHex), NotationChange::NoSection);
    // A settings file that can't be written: the document changes, and the caller is told.
    QFile::remove(home.file(u"mode/表.ini"_s));
    ASSERT_TRUE(QDir(home.path()).mkpath(u"mode/表.ini"_s)); // a folder where the file should be
    const Result<NotationChange> notWritten = SetNotation(doc, {TabIdSection, table}, 1, 2, NotationHex);
    ASSERT_FALSE(notWritten);
    EXPECT_TRUE(notWritten.failure().message().contains(u"表.ini"_s)) << notWritten.failure().message().toStdString();
    EXPECT_EQ(CellText(doc, TabIdSection, table, 1, 2), u"0x80"_s);
}

TEST_F(GridView, ColumnWidthsAreSavedWithAFloorOf600)
{
    ASSERT_TRUE(test::Succeeded(SaveColumnWidths(doc, {TabIdSection, table}, {1500, 0, 599, 601})));
    QStringList widths;
    for (int q = 0; q <= 3; ++q)
        widths << ReadIni(u"ColWidth"_s, u"Section%1"_s.arg(q), home.file(u"mode/表.ini"_s));
    EXPECT_EQ(widths, (QStringList{u"1500"_s, u"600"_s, u"600"_s, u"601"_s}));
}

TEST_F(GridView, NotesAreStoredUnderTheSectionTheyWereLoadedFor)
{
    ViewState view;
    view.TabState(TabIdSection, 0) = table;
    view.TabState(TabIdSection, 1) = 3;
    view.TabState(TabIndividual, 2) = 1;
    const QString longNote = QString(200, u'長') + u"\r\n二行目\n三行目\r四行目〜"_s;
    ASSERT_TRUE(test::Succeeded(StoreNote(doc, view, TabIdSection, longNote)));
    const QString stored = ReadIniWhole(u"Text"_s, u"Section3"_s, home.file(u"mode/表.ini"_s));
    EXPECT_TRUE(stored.endsWith(u"\\n二行目\\n三行目\\n四行目～"_s)) << stored.toStdString();
    // Read back whole, past the 254-byte cut, with its line breaks.
    EXPECT_EQ(LoadNote(doc, view, TabIdSection), QString(200, u'長') + u"\n二行目\n三行目\n四行目～"_s);
    // Tab 2 keys its notes by row, in its own file; tab 1's note is not there.
    EXPECT_EQ(LoadNote(doc, view, TabIndividual), QString());
    EXPECT_EQ(NotePlaceOf(doc, view, TabIndividual).key, u"Section1"_s);
    // A "\n" typed by the user comes back as a line break.
    EXPECT_EQ(NoteForShow(NoteForStore(u"a\\nb"_s)), u"a\nb"_s);
    EXPECT_EQ(ToCp932Forms(u"〜‖−—¢£¬"_s), u"～∥－―￠￡￢"_s);
    EXPECT_TRUE(FitsCp932(ToCp932Forms(u"〜‖−—¢£¬"_s)));
    EXPECT_FALSE(FitsCp932(u"😀"_s));
}

TEST(NoteLimit, AnInsertionIsCutAtTheLimitNeverInsideAPair)
{
    const QString pair = u"😀"_s;
    struct Case {
        qsizetype length, replaced;
        QString inserted, kept;
    };
    for (const Case& c : std::vector<Case>{{0, 0, u"abc"_s, u"abc"_s},
                                           {kMaxNoteLength - 3, 0, u"abcd"_s, u"abc"_s},
                                           {kMaxNoteLength, 0, u"a"_s, QString()},
                                           {kMaxNoteLength, 2, u"abc"_s, u"ab"_s},
                                           {kMaxNoteLength - 1, 0, pair, QString()},
                                           {kMaxNoteLength - 2, 0, u"a"_s + pair, u"a"_s},
                                           {kMaxNoteLength + 5, 1, u"a"_s, QString()}}) {
        SCOPED_TRACE(c.length);
        EXPECT_EQ(NoteInsertion(c.length, c.replaced, c.inserted), c.kept);
    }
}

TEST_F(GridView, DataSetFallbacks)
{
    DocumentState empty;
    EXPECT_EQ((std::vector<int>{DataSetToShow(doc, 2), DataSetToShow(doc, 5), DataSetToShow(doc, 0), DataSetToShow(empty, 1)}),
              (std::vector<int>{2, 1, 1, 0}));
    EXPECT_FALSE(HasTable(empty, TabIdSection, 1));
}

TEST_F(GridView, ARevealPlanSaysWhichMovesShowTheCell)
{
    const auto plan = [&](int tab, int dataSet, int row, int col) {
        const RevealPlan p = PlanReveal(doc, {TabIdSection, 1}, tab, dataSet, row, col);
        return std::make_tuple(p.valid, p.tab, p.dataSet, p.row, p.col, p.changesTab, p.changesDataSet);
    };
    EXPECT_EQ(plan(TabIdSection, 1, 4, 1), std::make_tuple(true, 1, 1, 4, 1, false, false));
    EXPECT_EQ(plan(TabIdSection, 2, 2, 3), std::make_tuple(true, 1, 2, 2, 3, false, true));
    EXPECT_EQ(plan(TabIndividual, 2, 1, 7), std::make_tuple(true, 2, 0, 1, 1, true, false)); // one column, no data set
    EXPECT_EQ(plan(TabBattle, 0, 3, 25), std::make_tuple(true, 3, 0, 3, 25, true, false));
    // Cells outside their tables: nothing to do.
    for (const auto& [tab, dataSet, row, col] : {std::array{1, 1, 5, 1}, std::array{1, 3, 1, 1}, std::array{1, 1, 1, 2},
                                                 std::array{2, 0, 2, 1}, std::array{3, 0, 4, 1}, std::array{3, 0, 1, 26},
                                                 std::array{4, 0, 1, 1}, std::array{1, 1, 0, 1}})
        EXPECT_FALSE(std::get<0>(plan(tab, dataSet, row, col))) << tab << " " << dataSet << " " << row << " " << col;

    // Aimed at another tab, that tab's memory holds the cell; on the tab shown, the cursor does.
    ViewState view;
    AimReveal(view, PlanReveal(doc, {TabIdSection, 1}, TabBattle, 0, 3, 25));
    EXPECT_EQ(std::make_tuple(view.TabState(TabBattle, ItemDataSet), view.TabState(TabBattle, ItemRow), view.TabState(TabBattle, ItemCol)),
              std::make_tuple(0, 3, 25));
    EXPECT_EQ(std::make_pair(view.CurrentRow, view.CurrentCol), std::make_pair(0, 0));
    AimReveal(view, PlanReveal(doc, {TabIdSection, 1}, TabIdSection, 2, 2, 1));
    EXPECT_EQ(std::make_pair(view.CurrentRow, view.CurrentCol), std::make_pair(2, 1));
    EXPECT_EQ(view.TabState(TabIdSection, ItemRow), 0);
}

} // namespace
} // namespace zor
