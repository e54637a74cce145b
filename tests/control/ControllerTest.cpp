#include "core/control/Controller.h"

#include "core/edit/CellChange.h"
#include "core/edit/EditHistory.h"
#include "core/files/Ini.h"
#include "core/sample/Sample.h"

#include "tests/support/ModeFolder.h"
#include "tests/support/Succeeded.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// Steps run in the order the window's controls call them. Mode m: data sets クラス (1) and 表 (2: three IDs, two
// sections), two individual entries and the sample image's battle records.
class Control : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.writeMode(u"m"_s, u"クラス.idn なし|戦士\n クラス.sna 100|HP|\n 表.idn いち|に|さん\n 表.sna 200|力|210|守り|\n"
                               " 個別データ.sna 300|お金|301|レベル|"_s);
        static const QByteArray image = MakeSampleImage().value_or(QByteArray());
        home.writeBytes(u"x.rom"_s, image);
        const Result<Controller::Opened> read = c.Open(home.file(u"x.rom"_s), home.path(), TabIdSection, QString());
        ASSERT_TRUE(test::Succeeded(read));
        ASSERT_EQ(std::pair(read->dataSetItem, read->problems), std::pair(1, QString()));
        // The window's first fill: the box chooses クラス, whose note comes.
        ASSERT_TRUE(c.ChooseDataSet(TabIdSection, 1, {900, 900}).fill);
        ASSERT_TRUE(c.ShowNote(TabIdSection, {1, 1, 1, 1, 2}, QString()).note.editable);
        c.NoteLoaded(TabIdSection);
    }

    QString ini(const QString& file, const QString& group, int section) const
    {
        return ReadIniWhole(group, u"Section%1"_s.arg(section), home.file(u"m/"_s + file));
    }
    const ViewState& view() const { return c.session().view(); }
    std::tuple<int, int, int, int> place() const { return {view().CurrentTab, view().CurrentDataSet, view().CurrentRow, view().CurrentCol}; }

    test::ProgramFolder home;
    Controller c;
};

TEST_F(Control, AReadThatFailsChangesNothingAndOneThatWorksStoresTheNoteTyped)
{
    c.session().NoteEdited();
    const Result<Controller::Opened> none = c.Open(home.file(u"none.rom"_s), QString(), TabIdSection, u"メモ"_s);
    ASSERT_FALSE(none);
    EXPECT_TRUE(none.failure().missing());
    EXPECT_EQ(c.document().RomPath, home.file(u"x.rom"_s));
    EXPECT_TRUE(c.session().NotePending());
    // The note goes to the closed document's section; a tiny image's problems are told in one text.
    home.writeBytes(u"tiny.rom"_s, "\x01");
    const Result<Controller::Opened> tiny = c.Open(home.file(u"tiny.rom"_s), QString(), TabBattle, u"メモ"_s);
    ASSERT_TRUE(test::Succeeded(tiny));
    EXPECT_EQ(std::pair(ini(u"クラス.ini"_s, u"Text"_s, 1), tiny->dataSetItem), std::pair(u"メモ"_s, 0));
    EXPECT_TRUE(tiny->problems.startsWith(u"読み込みで "_s)) << tiny->problems.toStdString();
    EXPECT_EQ(std::pair(c.ProgramFolderInUse(), c.ReopensWith(home.path())), std::pair(home.path(), false));
    EXPECT_TRUE(c.ReopensWith(home.file(u"other"_s)));
}

TEST_F(Control, ADataSetOrTabChangeStoresTheNoteAndWidthsOfThePlaceLeft)
{
    EXPECT_EQ(ini(u"クラス.ini"_s, u"ColWidth"_s, 0), QString()); // the grid held the closed document's table
    c.session().NoteEdited();
    EXPECT_TRUE(c.ChooseDataSet(TabIdSection, 2, {1500, 2000}).fill);
    EXPECT_EQ(ini(u"クラス.ini"_s, u"ColWidth"_s, 1), u"2000"_s);
    const Controller::NoteToShow shown = c.ShowNote(TabIdSection, {2, 3, 1, 1, 3}, u"メモ"_s);
    EXPECT_EQ(ini(u"クラス.ini"_s, u"Text"_s, 1), u"メモ"_s);
    EXPECT_EQ(std::pair(shown.note.text, shown.note.editable), std::pair(QString(), true));
    c.NoteLoaded(TabIdSection);

    ASSERT_TRUE(test::Succeeded(c.LeaveTab(TabIdSection, {2, 3, 1, 1, 3}, {1500, 700, 800})));
    EXPECT_EQ(ini(u"表.ini"_s, u"ColWidth"_s, 2), u"800"_s);
    EXPECT_EQ(c.EnterTab(TabBattle), 0);
    EXPECT_EQ(place(), std::tuple(int{TabBattle}, 0, 1, 1));
    // Back on tab 1 its data set and cell return, and the box's choice stores none of the grid's widths; a mode name no table.
    EXPECT_EQ(c.EnterTab(TabIdSection), 2);
    EXPECT_EQ(place(), std::tuple(int{TabIdSection}, 2, 3, 2));
    EXPECT_TRUE(c.ChooseDataSet(TabIdSection, 2, std::vector<int>(26, 650)).fill);
    EXPECT_EQ(ini(u"表.ini"_s, u"ColWidth"_s, 1), u"700"_s);
    EXPECT_FALSE(c.ChooseDataSet(TabIdSection, 0, {}).fill);
}

TEST_F(Control, AnUndoLandsOnTheTabDataSetAndCellOfItsStep)
{
    const CellRef edited{TabIdSection, 2, 2, 3};
    const auto edit = [&] {
        ASSERT_TRUE(c.ChooseDataSet(TabIdSection, 2, {}).fill);
        c.session().SetCursor(3, 2);
        const Controller::Committed done = c.CommitText(TabIdSection, u"7"_s, {2, 1});
        ASSERT_EQ(done.write->result, CommitResult::Changed);
        EXPECT_EQ(done.touched, std::vector{edited});
    };
    const std::optional<CellContents> before = ContentsOf(c.document(), edited);
    // From tab 3: its widths are stored, and the tab change the window makes then shows the step's cell.
    edit();
    ASSERT_TRUE(c.LeaveTab(TabIdSection, {1, 1, 1, 1, 3}, {}));
    c.EnterTab(TabBattle);
    Controller::StepTaken step = c.TakeStep(Controller::StepKind::Undo, TabBattle, std::vector<int>(26, 700));
    ASSERT_TRUE(step.taken);
    EXPECT_EQ(std::tuple(step.cell, step.scroll.topRow, step.scroll.leftCol, step.touched), std::tuple(edited, 2, 1, std::vector{edited}));
    EXPECT_EQ(std::pair(ContentsOf(c.document(), edited), ini(u"敵パラメータ.ini"_s, u"ColWidth"_s, 25)), std::pair(before, u"700"_s));
    c.EnterTab(step.cell.tab);
    EXPECT_EQ(c.StepShown(TabIdSection), 2);
    EXPECT_EQ(place(), std::tuple(int{TabIdSection}, 2, 3, 2));

    // From another data set of tab 1: the data set and cursor change at once.
    edit();
    ASSERT_TRUE(c.ChooseDataSet(TabIdSection, 1, {}).fill);
    step = c.TakeStep(Controller::StepKind::Undo, TabIdSection, {});
    EXPECT_EQ(std::pair(step.taken, c.StepShown(TabIdSection)), std::pair(true, 2));
    EXPECT_EQ(place(), std::tuple(int{TabIdSection}, 2, 3, 2));
    // Nothing to take: nothing is stored.
    c.session().SetTab(TabIndividual);
    EXPECT_FALSE(c.TakeStep(Controller::StepKind::Undo, TabIndividual, {700, 700}).taken);
    EXPECT_EQ(ini(u"個別データ.ini"_s, u"ColWidth"_s, 1), QString());
}

TEST_F(Control, AFailedSaveLeavesTheDocumentModifiedAndSaysWhy)
{
    EXPECT_EQ(c.Save(), false); // nothing to save
    c.session().SetCursor(1, 1);
    ASSERT_EQ(c.CommitText(TabIdSection, u"9"_s, {}).write->result, CommitResult::Changed);
    const QByteArray image = home.readBytes(u"x.rom"_s);
    ASSERT_TRUE(QFile::remove(home.file(u"x.rom"_s)));
    const Result<bool> failed = c.Save();
    ASSERT_FALSE(failed);
    EXPECT_TRUE(failed.failure().message().contains(u"x.rom"_s)) << failed.failure().message().toStdString();
    EXPECT_TRUE(c.document().History->Modified());

    home.writeBytes(u"x.rom"_s, image);
    EXPECT_EQ(c.Save(), true);
    EXPECT_FALSE(c.document().History->Modified());
    EXPECT_EQ(c.SaveAs(home.file(u"y.rom"_s)), u"「y.rom」に保存しました"_s);
    EXPECT_EQ(c.document().RomPath, home.file(u"y.rom"_s));
}

TEST_F(Control, ANotationChangeIsWrittenAndToldEvenWhenItsFileRefusesIt)
{
    ASSERT_TRUE(c.ChooseDataSet(TabIdSection, 2, {}).fill);
    Controller::NotationSet set = c.SetNotation(TabIdSection, 3, 2, NotationSigned);
    EXPECT_TRUE(set.changed && set.written.ok());
    EXPECT_EQ(set.told, u"セクション「守り」を符号付き10進数表記にしました"_s);
    EXPECT_EQ(std::pair(ini(u"表.ini"_s, u"Notation"_s, 2), place()), std::pair(u"-10"_s, std::tuple(int{TabIdSection}, 2, 3, 2)));
    EXPECT_FALSE(c.SetNotation
(TabIdSection, 1, 3, NotationHex).changed); // no section there

    ASSERT_TRUE(QFile::remove(home.file(u"m/表.ini"_s)) && QDir(home.path()).mkpath(u"m/表.ini"_s));
    set = c.SetNotation(TabIdSection, 1, 1, NotationUnsigned);
    EXPECT_TRUE(set.changed && !set.written.ok());
    EXPECT_EQ(c.session().NotationAt(1, 1), NotationUnsigned);
}

TEST_F(Control, ARevealStoresThePlaceLeftAndLandsOnTheCell)
{
    ASSERT_TRUE(c.ChooseDataSet(TabIdSection, 2, {}).fill);
    EXPECT_FALSE(c.PlanReveal(TabIdSection, {TabIdSection, 2, 3, 1}).valid); // no third section
    const RevealPlan other = c.PlanReveal(TabIdSection, {TabBattle, 0, 5, 2});
    ASSERT_TRUE(other.valid && other.changesTab);
    ASSERT_TRUE(c.LeaveTab(TabIdSection, {2, 3, 1, 1, 3}, {}));
    c.AimReveal(other);
    c.EnterTab(TabBattle);
    EXPECT_EQ(place(), std::tuple(int{TabBattle}, 0, 2, 5));
    EXPECT_EQ(std::pair(view().TabState(TabIdSection, ItemDataSet), view().TabState(TabIdSection, ItemRow)), std::pair(2, 3));

    c.EnterTab(TabIdSection);
    const RevealPlan set = c.PlanReveal(TabIdSection, {TabIdSection, 1, 1, 2});
    ASSERT_TRUE(set.changesDataSet);
    c.AimReveal(set);
    ASSERT_TRUE(c.ChooseDataSet(TabIdSection, set.dataSet, {}).fill);
    EXPECT_EQ(place(), std::tuple(int{TabIdSection}, 1, 2, 1));
}

} // namespace
} // namespace zor
