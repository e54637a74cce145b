#include "core/view/Session.h"

#include "core/files/Ini.h"
#include "core/view/TabView.h"
#include "tests/support/Succeeded.h"
#include "tests/view/SmallMode.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

class SessionView : public test::SmallMode {
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

    QString note(const QString& file, int section) const
    {
        return ReadIniWhole(u"Text"_s, u"Section%1"_s.arg(section), home.file(u"mode/"_s + file));
    }

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

    // Nothing open: no cell, no row commands.
    DocumentState empty;
    Session none(empty);
    EXPECT_EQ(none.CellAt(1, 1), std::nullopt);
    none.SetTab(TabBattle);
    EXPECT_FALSE(none.RowCommandsApply());
}

} // namespace
} // namespace zor
