// The menus say what applies where the cursor is, a right click on the grid opens the
// 編集 menu there, and commands that show nothing else say in the status bar what they did.

#include "tests/window/TestFolder.h"
#include "core/document/CellBytes.h"
#include "window/CellEditor.h"
#include "window/FlexGrid.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QStatusBar>

using zor::Form1;
using zor::test::ClickTab;
using zor::test::Open;

namespace {

// The checked notation item ("hex", "signed", "unsigned", joined when several are),
// and " off" when the three are disabled ("?" when only some are).
QString Notation(const Form1& form)
{
    const std::pair<QAction*, const char*> items[] = {
        {form.NotationHex, "hex"}, {form.NotationCodeDec, "signed"}, {form.NotationDec, "unsigned"}};
    QStringList checked;
    int enabled = 0;
    for (const auto& [item, name] : items) {
        if (item->isChecked())
            checked << QString::fromLatin1(name);
        enabled += item->isEnabled();
    }
    return checked.join(u'+') + (enabled == 3 ? QString() : enabled == 0 ? QStringLiteral(" off") : QStringLiteral("?"));
}

QPoint CellCenter(zor::FlexGrid& grid, int row, int col)
{
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
}

// A right click as the platform gives it: the press, then the context menu event.
void RightClick(QWidget* widget, const QPoint& at)
{
    QTest::mousePress(widget, Qt::RightButton, {}, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &menu);
    QTest::mouseRelease(widget, Qt::RightButton, {}, at);
}

QString Status(const Form1& form) { return form.statusBar()->currentMessage(); }

} // namespace

class MenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void notationItemsFollowTheCursor()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        o.folder->write(QStringLiteral("m/個別データ.ini"), {QStringLiteral("[Notation]"), QStringLiteral("Section2=-10")});
        o.folder->write(QStringLiteral("m/敵パラメータ.ini"),
                        {QStringLiteral("[Notation]"), QStringLiteral("Section1=7"), QStringLiteral("Section2=10")});
        o.dialogs->openPaths = {o.folder->file(QStringLiteral("x.rom"))};
        form.Read->trigger();

        form.Combo1->setCurrentIndex(2); // 表: 力 in the default hexadecimal, the long heading unsigned
        grid.setFocus();
        QCOMPARE(Notation(form), QStringLiteral("hex"));
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(Notation(form), QStringLiteral("unsigned"));
        // On 個別データ the row's entry decides.
        ClickTab(form, 2);
        QCOMPARE(Notation(form), QStringLiteral("hex"));
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(Notation(form), QStringLiteral("signed"));
        // A code that is neither 10 nor -10 shows hexadecimal, and so says the menu.
        ClickTab(form, 3);
        QCOMPARE(Notation(form), QStringLiteral("hex"));
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(Notation(form), QStringLiteral("unsigned"));
        ClickTab(form, 1);
        QCOMPARE(grid.Col(), 2);
        QCOMPARE(Notation(form), QStringLiteral("unsigned"));
        // The mode's name shows no table: no section, no notation.
        form.Combo1->setCurrentIndex(0);
        QCOMPARE(Notation(form), QStringLiteral(" off"));
        form.Combo1->setCurrentIndex(1);
        QCOMPARE(Notation(form), QStringLiteral("hex"));
    }

    void notationCommandsSayWhatTheyDidAndKeepTheCheckTrue()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        const auto stored = [&] {
            return o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("Notation"), QStringLiteral("Section1"));
        };
        form.Combo1->setCurrentIndex(2);
        grid.setFocus();
        // The checked item still runs its command, and stays checked.
        form.NotationHex->trigger();
        QCOMPARE(Notation(form), QStringLiteral("hex"));
        QCOMPARE(stored(), QStringLiteral("16"));
        QCOMPARE(Status(form), QStringLiteral("セクション「力」を16進数表記にしました"));
        form.NotationCodeDec->trigger();
        QCOMPARE(Notation(form), QStringLiteral("signed"));
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("-128"));
        QCOMPARE(Status(form), QStringLiteral("セクション「力」を符号付き10進数表記にしました"));

        // A command the open editor holds back leaves the check on the notation shown.
        QTest::keyClick(&grid, Qt::Key_F);
        form.NotationDec->trigger();
        QVERIFY(form.txtForEdit->isVisible());
        QCOMPARE(Notation(form), QStringLiteral("signed"));
        QCOMPARE(stored(), QStringLiteral("-10"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Escape);

        // The settings file can't be written: the table shows the notation all the same, and says so.
        QFile::remove(o.folder->file(QStringLiteral("m/表.ini")));
        QVERIFY(QDir(o.folder->dir.path()).mkpath(QStringLiteral("m/表.ini")));
        QTest::keyClick(&grid, Qt::Key_Right);
        form.NotationDec->trigger();
        QCOMPARE(Notation(form), QStringLiteral("unsigned"));
        QCOMPARE(Status(form), QStringLiteral("セクション「とても長い見出し」を符号無し10進数表記にしました"));
        QTRY_COMPARE(o.dialogs->messages.size(), std::size_t(1));
    }

    void rowItemsApplyOnTheBattleTabOnly()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        const auto rowItems = [&] { return std::make_pair(form.NewRow->isEnabled(), form.DeleteRow->isEnabled()); };
        QCOMPARE(rowItems(), std::make_pair(false, false));
        ClickTab(form, 2);
        QCOMPARE(rowItems(), std::make_pair(false, false));
        ClickTab(form, 3);
        QCOMPARE(rowItems(), std::make_pair(true, true));
        // Read again while tab 3 shows.
        o.dialogs->openPaths = {o.folder->file(QStringLiteral("x.rom"))};
        form.Read->trigger();
        QCOMPARE(rowItems(), std::make_pair(true, true));

        const int rows = grid.Rows();
        grid.setRow(2);
        form.NewRow->trigger();
        QCOMPARE(grid.Rows(), rows + 1);
        QCOMPARE(Status(form), QStringLiteral("レコード 2 を追加しました"));
        grid.setRow(3);
        form.DeleteRow->trigger();
        QCOMPARE(grid.Rows(), rows);
        QCOMPARE(Status(form), QStringLiteral("レコード 3 を削除しました"));
        ClickTab(form, 1);
        QCOMPARE(rowItems(), std::make_pair(false, false));
    }

    void ctrlShiftZRedoesToo()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        QCOMPARE(form.redou->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
        form.Combo1->setCurrentIndex(2);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_7);
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        const auto byte = [&] { return *zor::CellByte(form.doc, zor::TabIdSection, 2, 1, 1); };
        QCOMPARE(byte(), std::uint8_t(7));
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(byte(), std::uint8_t(0x80));
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(byte(), std::uint8_t(7));
        QCOMPARE(form.doc.History->RedoCount(), 0);
    }

    void aRightClickOpensTheEditMenuOnTheSelection()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        QWidget* cells = grid.viewport();
        ClickTab(form, 3);
        grid.setFocus();
        grid.setRow(2);
        grid.setCol(2);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);

        // Inside the selection nothing moves, and the menu's copy takes the whole selection.
        RightClick(cells, CellCenter(grid, 3, 3));
        QTRY_VERIFY(form.Edit->isVisible());
        QCOMPARE(form.Edit->geometry().topLeft(), cells->mapToGlobal(CellCenter(grid, 3, 3)));
        QCOMPARE(std::make_tuple(grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()), std::make_tuple(2, 2, 3, 3));
        QTest::mouseClick(form.Edit, Qt::LeftButton, {}, form.Edit->actionGeometry(form.Cope).center());
        QTRY_VERIFY(!form.Edit->isVisible());
        QCOMPARE(std::make_pair(form.clipboard().cols(), form.clipboard().rows()), std::make_pair(2, 2));

        // Outside it the cursor moves there first, as a left click would.
        RightClick(cells, CellCenter(grid, 5, 4));
        QTRY_VERIFY(form.Edit->isVisible());
        QCOMPARE(std::make_tuple(grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()), std::make_tuple(5, 4, 5, 4));
        form.Edit->hide();

        // A heading is no cell to act on.
        QHeaderView* headings = grid.horizontalHeader();
        RightClick(headings->viewport(), QPoint(headings->sectionViewportPosition(1) + 5, 5));
        QCoreApplication::processEvents();
        QVERIFY(!form.Edit->isVisible());
        QCOMPARE(std::make_pair(grid.Row(), grid.Col()), std::make_pair(5, 4));
    }

    void savesAndTheExportSayWhereTheyWrote()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        QCOMPARE(Status(form), QString());
        form.Combo1->setCurrentIndex(2);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_5);
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        QTest::keyClick(&grid, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Status(form), QStringLiteral("上書き保存しました"));

        form.statusBar()->clearMessage();
        o.dialogs->savePaths = {o.folder->file(QStringLiteral("写し.rom"))};
        form.SaveAs->trigger();
        QCOMPARE(Status(form), QStringLiteral("「写し.rom」に保存しました"));

        form.OpCSV->trigger();
        QVERIFY(QFile::exists(o.folder->file(QStringLiteral("表.csv"))));
        QCOMPARE(Status(form), QStringLiteral("CSVファイルを %1 に保存しました").arg(QDir::toNativeSeparators(o.folder->dir.path())));

        // Nothing to save: nothing is said.
        form.statusBar()->clearMessage();
        form.Save->trigger();
        QCOMPARE(Status(form), QString());
    }
};

int RunMenuTests(int argc, char** argv)
{
    MenuTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MenuTest.moc"
