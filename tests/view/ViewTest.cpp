#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/EditHistory.h"
#include "core/files/Ini.h"
#include "core/view/ColumnValues.h"
#include "core/view/Conversions.h"
#include "core/view/Grid.h"
#include "core/view/Session.h"
#include "core/view/TabView.h"

#include "tests/support/HandTables.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/Succeeded.h"
#include "tests/support/TypedTables.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// The mode below, without a DefaultNotation; battle records of classes 1, 2 (an empty name) and 200 (none).
class SmallMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.writeMode(u"mode"_s, uR"(
            クラス.idn      なし|戦士||僧侶
            クラス.sna      100|HP|
            表.idn          いち|に
            表.sna          200|ちから|210||220|とても長い見出しです|
            表.ini          [Notation]|Section1=16|Section2=10|Section3=-10|
            個別データ.sna  300|お金|
            個別データ.ini  [Notation]|Section1=7|
        )"_s, {});
        QByteArray image(0x400, '\0');
        image.replace(0x200, 1, "\x80").replace(0x210, 1, "\x80").replace(0x220, 1, "\x80").replace(0x300, 1, "\x0A");
        LoadDocument(doc, home.file(u"x.rom"_s), image, home.path());
        ASSERT_EQ(doc.DataSets(table).Name, u"表"_s);
        test::SetBattleRecords(doc, 3, [](int c, int r) { return c == 1 ? std::array{1, 2, 200}[r - 1] : 0; });
    }

    static constexpr int table = 2;
    test::ProgramFolder home;
    DocumentState doc;
};

using test::HandColumn;

std::uint8_t Parsed(const QString& text, std::uint8_t before = 77)
{
    std::uint8_t target = before;
    ParseByte(target, text);
    return target;
}

TEST(ByteToSigned, SplitsAt128)
{
    EXPECT_EQ((std::vector<int>{ByteToSigned(0), ByteToSigned(127), ByteToSigned(128), ByteToSigned(255)}),
              (std::vector<int>{0, 127, -128, -1}));
}

// The Parts' reading of a cell's text: what it can't read is 0.
TEST(ParseByte, DecimalHexAndNegativeText)
{
    const std::pair<QString, int> cases[] = {
        {u"255"_s, 255}, {u"0"_s, 0},      {u"256"_s, 0},    {u"254.5"_s, 254}, {u"253.5"_s, 254}, {u"255.5"_s, 0},
        {u" 12 "_s, 12}, {u"+7"_s, 7},     {u"abc"_s, 0},    {u""_s, 0},        {u"12abc"_s, 0},
        {u"0X1F"_s, 0}, // a capital X takes the decimal path
        {u"0x1F"_s, 31}, {u"0xff"_s, 255}, {u"0x0A"_s, 10},  {u"0x123"_s, 0},   // five characters
        {u"0x5"_s, 0},  // only "x5" is read
        {u"0x"_s, 0},    {u"-1"_s, 255},   {u"-128"_s, 128}, {u"-129"_s, 127},  {u"-256"_s, 0},    {u"-257"_s, 0},
        {u"-0.5"_s, 255}, {u"-0"_s, 0},    {u"-"_s, 0},      {u"-1x"_s, 0},
    };
    for (const auto& [text, byte] : cases)
        EXPECT_EQ(Parsed(text), byte) << text.toStdString();
    EXPECT_EQ(ParseHexByte(u"0x1G"), 1);
}

TEST(ParseCellText, TakesExactlyTheEditorsForms)
{
    const std::vector<std::pair<QString, int>> accepted{
        {u""_s, 0},       {u"   "_s, 0},      {u"0x5"_s, 5},     {u"0XfF"_s, 255},  {u" 0x0a "_s, 10},
        {u"255"_s, 255},  {u"+7"_s, 7},       {u"254.5"_s, 254}, {u"253.5"_s, 254}, {u"-1"_s, 0xFF},
        {u"-128"_s, 0x80}, {u"-0"_s, 0},      {u"-0.5"_s, 0xFF}, {u"-127.5"_s, 0x80},
        // an input method's full-width forms
        {u"１２"_s, 12},   {u"０ｘＦＦ"_s, 255}, {u"－１"_s, 0xFF}, {u"\u3000７\u3000"_s, 7},
    };
    for (const auto& [text, byte] : accepted)
        EXPECT_EQ(ParseCellText(text), std::optional<std::uint8_t>(byte)) << text.toStdString();
    for (const QString& text : {u"FF"_s, u"$20"_s, u"300"_s, u"abc"_s, u"-129"_s, u"255.5"_s, u"-128.5"_s, u"1e2"_s,
                                u"0x"_s, u"0x123"_s, u"0x+5"_s, u"0xG"_s, u"- 1"_s, u"+-1"_s, u"--1"_s, u"0.5.1"_s})
        EXPECT_EQ(ParseCellText(text), std::nullopt) << text.toStdString();
    // Whatever a cell shows, in any notation, reads back as its byte.
    for (int b = 0; b <= 255; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        EXPECT_EQ(ParseCellText(u"0x"_s + QString::number(b, 16).toUpper().rightJustified(2, u'0')), byte);
        EXPECT_EQ(ParseCellText(QString::number(ByteToSigned(byte))), byte);
    }
}

TEST(ColumnValues, AColumnsBytesAreItsCellsOnEveryTab)
{
    DocumentState doc;
    test::SetIdTable(doc, {HandColumn{NotationHex, {1, 2, 3}}, HandColumn{NotationHex, {4, 5, 6}}});
    test::SetIndividual(doc, {{NotationHex, 7}, {NotationHex, 8}});
    test::SetBattleColumn(doc, 25, NotationHex, {9, 10, 11, 12});
    const struct { int tab, dataSet, col, rows; } columns[] = {{TabIdSection, 1, 1, 3}, {TabIdSection, 1, 2, 3},
                                                               {TabIndividual, 0, 1, 2}, {TabBattle, 0, 25, 4}};
    for (const auto& c : columns) {
        const std::span<const std::uint8_t> bytes = ColumnBytes(doc, c.tab, c.dataSet, c.col);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(c.rows)) << c.tab << "," << c.col;
        for (int row = 1; row <= c.rows; ++row)
            EXPECT_EQ(bytes[row - 1], *CellByte(doc, c.tab, c.dataSet, c.col, row)) << c.tab << "," << c.col << "," << row;
    }
    for (const auto& [tab, dataSet, col] : {std::array<int, 3>{TabIdSection, 1, 0}, {TabIdSection, 1, 3}, {TabIdSection, 2, 1},
                                                   {TabIndividual, 0, 2}, {TabBattle, 0, 26}, {4, 0, 1}})
        EXPECT_TRUE(ColumnBytes(doc, tab, dataSet, col).empty()) << tab << "," << dataSet << "," << col;
}

using GridView = SmallMode;

TEST_F(GridView, CellsShowTheirSectionsNotation)
{
    // An unknown code (7 here, 0 with no DefaultNotation) shows hexadecimal; outside the table there is nothing.
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
    struct Case { qsizetype length, replaced; QString inserted, kept; };
    for (const Case& c : std::vector<Case>{{0, 0, u"abc"_s, u"abc"_s}, {kMaxNoteLength - 3, 0, u"abcd"_s, u"abc"_s},
                                           {kMaxNoteLength, 0, u"a"_s, QString()}, {kMaxNoteLength, 2, u"abc"_s, u"ab"_s},
                                           {kMaxNoteLength - 1, 0, pair, QString()}, {kMaxNoteLength - 2, 0, u"a"_s + pair, u"a"_s},
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

class SessionView : public SmallMode {
protected:
    // Tab 1 shows 表 with the cursor on (row, col); the note box holds that section's note.
    void showTable(int row, int col)
    {
        ASSERT_EQ(session.Opened(TabIdSection), 1);
        session.BeginDataSetChoice();
        ASSERT_TRUE(session.ChooseDataSet(TabIdSection, 2));
        session.RememberView(TabIdSection, {col, row, 1, 1, 4});
        session.NoteShown(TabIdSection);
    }

    QString note(const QString& file, int q) const { return ReadIniWhole(u"Text"_s, u"Section%1"_s.arg(q), home.file(u"mode/"_s + file)); }

    Session session{doc};
};

TEST_F(SessionView, APendingNoteGoesUnderTheTabAndSectionItWasLoadedFor)
{
    showTable(1, 2);
    EXPECT_EQ(session.NoteOf(TabIdSection).text, QString());
    EXPECT_TRUE(session.NoteOf(TabIdSection).editable);
    session.NoteEdited();
    // The strip moves on to tab 3 before the note box loads that tab's note.
    session.LeaveTab(TabIdSection, {2, 1, 1, 1, 4});
    session.EnterTab(TabBattle);
    ASSERT_TRUE(test::Succeeded(session.StorePendingNote(u"二行\n目"_s)));
    EXPECT_EQ(note(u"表.ini"_s, 2), u"二行\\n目"_s);
    EXPECT_EQ(note(u"敵パラメータ.ini"_s, 2), QString());
    EXPECT_FALSE(session.NotePending());

    // Nothing edited since: nothing is written, even with other text in the box.
    ASSERT_TRUE(session.StorePendingNote(u"別"_s));
    EXPECT_EQ(note(u"表.ini"_s, 2), u"二行\\n目"_s);
    // The change a load makes in the box is no edit once the note is shown.
    session.NoteEdited();
    session.NoteShown(TabBattle);
    ASSERT_TRUE(session.StorePendingNote(u"別"_s));
    EXPECT_FALSE(QFile::exists(home.file(u"mode/敵パラメータ.ini"_s)));
    // A read forgets an edit of the closed document's note.
    session.NoteEdited();
    session.Opened(TabBattle);
    EXPECT_FALSE(session.NotePending());
}

TEST_F(SessionView, ANoteThatCantBeWrittenOrHasNoSection)
{
    showTable(1, 1);
    session.NoteEdited();
    QFile::remove(home.file(u"mode/表.ini"_s));
    ASSERT_TRUE(QDir(home.path()).mkpath(u"mode/表.ini"_s)); // a folder where the file should be
    const Result<void> stored = session.StorePendingNote(u"x"_s);
    ASSERT_FALSE(stored);
    EXPECT_TRUE(stored.failure().message().contains(u"表.ini"_s)) << stored.failure().message().toStdString();
    EXPECT_FALSE(session.NotePending()); // told once, not again with every move

    // A table without rows keeps the remembered section under its cursor; without columns there is none.
    session.SetCursorCol(9);
    session.RememberView(TabIdSection, {0, 0, 0, 0, 4});
    EXPECT_EQ(session.view().TabState(TabIdSection, ItemCol), 3);
    session.RememberView(TabIdSection, {0, 0, 0, 0, 1});
    EXPECT_EQ(session.view().TabState(TabIdSection, ItemCol), 0);
    EXPECT_FALSE(session.NoteOf(TabIdSection).editable);

    // A new image: every tab's cursor and scroll start at 1, the data set each showed stays.
    session.RememberView(TabIdSection, {3, 2, 5, 6, 4});
    session.Opened(TabIndividual);
    for (int item = ItemDataSet; item <= ItemTopRow; ++item)
        EXPECT_EQ(session.view().TabState(TabIdSection, item), item == ItemDataSet ? 2 : 1) << item;
    EXPECT_EQ(std::tuple(session.view().CurrentTab, session.view().CurrentRow, session.view().CurrentCol),
              std::tuple(int{TabIndividual}, 1, 1));
}

TEST_F(SessionView, WidthsAreStoredOnlyWhenTheGridShowsTheDataSetLeft)
{
    // Right after a read on tab 1 the grid holds the closed document's table.
    session.Opened(TabIdSection);
    EXPECT_FALSE(session.BeginDataSetChoice());
    EXPECT_TRUE(session.BeginDataSetChoice());
    session.Opened(TabIndividual);
    EXPECT_TRUE(session.BeginDataSetChoice());

    // A tab change stores the widths itself; so does an undo before its step.
    session.LeaveTab(TabIndividual, {1, 1, 1, 1, 2});
    EXPECT_FALSE(session.BeginDataSetChoice());
    ASSERT_TRUE(session.ChooseDataSet(TabIdSection, 2));
    session.BeforeStep(TabIdSection);
    EXPECT_EQ(session.view().TabState(TabIdSection, ItemDataSet), 2);
    EXPECT_FALSE(session.BeginDataSetChoice());
    EXPECT_TRUE(session.BeginDataSetChoice());

    // The mode's name shows no table and keeps the data set; tabs 2 and 3 always show theirs.
    EXPECT_FALSE(session.ChooseDataSet(TabIdSection, 0));
    EXPECT_FALSE(session.ChooseDataSet(TabIdSection, -1));
    EXPECT_EQ(session.view().CurrentDataSet, 2);
    EXPECT_TRUE(session.ChooseDataSet(TabIdSection, 1));
    EXPECT_EQ(session.view().CurrentDataSet, 1);
    EXPECT_TRUE(session.ChooseDataSet(TabBattle, -1));
    EXPECT_EQ(session.view().CurrentDataSet, 1);
}

TEST_F(SessionView, AGridCellIsACellOfTheTableShown)
{
    showTable(1, 1);
    using Place = std::optional<CellPlace>;
    EXPECT_EQ(session.CellAt(1, 1), Place(CellPlace{TabIdSection, 2, 1, 0}));
    EXPECT_EQ(session.CellAt(2, 3), Place(CellPlace{TabIdSection, 2, 3, 1}));
    for (const auto& [row, col] : {std::pair{0, 1}, {1, 0}, {3, 1}, {1, 4}})
        EXPECT_EQ(session.CellAt(row, col), std::nullopt) << row << " " << col;
    EXPECT_EQ(session.NotationAt(1, 1), NotationHex);
    EXPECT_EQ(session.NotationAt(2, 2), NotationUnsigned);
    EXPECT_EQ(session.NotationAt(1, 3), NotationSigned);
    EXPECT_EQ(session.NotationAt(1, 4), std::nullopt);
    EXPECT_EQ(session.SectionCaption(*session.CellAt(1, 3)), u"とても長い見出しです"_s);
    EXPECT_FALSE(session.RowCommandsApply());

    // On 個別データ the row is the entry and its section; the one column is the value.
    session.EnterTab(TabIndividual);
    EXPECT_EQ(session.CellAt(1, 1), Place(CellPlace{TabIndividual, 0, 1, 1}));
    EXPECT_EQ(session.CellAt(1, 2), std::nullopt);
    EXPECT_EQ(session.CellAt(2, 1), std::nullopt);
    EXPECT_EQ(session.NotationAt(1, 1), NotationHex); // code 7 shows hexadecimal, as the grid does
    EXPECT_EQ(session.SectionCaption(*session.CellAt(1, 1)), u"お金"_s);

    session.EnterTab(TabBattle);
    EXPECT_EQ(session.CellAt(3, 25), Place(CellPlace{TabBattle, 0, 25, 3}));
    EXPECT_EQ(session.CellAt(4, 1), std::nullopt);
    EXPECT_EQ(session.CellAt(1, 26), std::nullopt);
    EXPECT_EQ(session.SectionCaption(*session.CellAt(3, 25)), u"項目25"_s);
    EXPECT_TRUE(session.RowCommandsApply());

    DocumentState empty;
    Session none(empty);
    EXPECT_EQ(none.CellAt(1, 1), std::nullopt);
    none.SetTab(TabBattle);
    EXPECT_FALSE(none.RowCommandsApply());
}

// Typed columns' widths, fitted from their types and stored only when dragged.
using TypedView = test::TypedTables;

TEST_F(TypedView, ATypedColumnIsAsWideAsItsWidestTextWithoutReadingAValue)
{
    // Every character 100 twips but "8", the widest digit, 150; the margin is 90.
    const MeasureText measure = [](const QString& text) { return 100.0 * text.size() + 50.0 * text.count(u'8'); };
    // 価格 "0x8888"; 種別 its longest name (10 characters); 属性 火・bit 1・氷・bit 3…bit 7 (39);
    // 差 "-88888"; 重さ a plain byte; 大 ten digits. Battle byte 4, inside field 3, is a plain byte, greyed.
    EXPECT_EQ(ValueWidths(doc, TabIdSection, kItems, measure), (std::vector<int>{0, 890, 1090, 3990, 940, 0, 1590}));
    EXPECT_EQ(ValueWidths(doc, TabIdSection, kKinds, measure), (std::vector<int>{0, 0}));
    EXPECT_EQ(ValueWidths(doc, TabIndividual, 0, measure), (std::vector<int>{0, 890}));
    const std::vector<int> battle = ValueWidths(doc, TabBattle, 0, measure);
    const std::vector<bool> greyed = LayoutGrid(doc, TabBattle, 0, 240).greyed;
    EXPECT_EQ(std::tuple(battle[3], std::accumulate(battle.begin(), battle.end(), 0), greyed[4], std::count(greyed.begin(), greyed.end(), true)),
              std::tuple(890, 890, true, 1));
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
}

} // namespace
} // namespace zor
