// Editing in the window: the key table of the cell editor, its commit and the focus
// rules around it, undo and redo, and the cell clipboard, driven by keys and the mouse.

#include "tests/window/TestFolder.h"
#include "core/edit/EditHistory.h"
#include "core/document/CellBytes.h"
#include "core/patch/Patch.h"
#include "core/view/Conversions.h"
#include "window/Application.h"
#include "window/CellEditor.h"
#include "window/FlexGrid.h"
#include "window/NoteEdit.h"

#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolTip>

using zor::Form1;
using zor::test::ClickTab;
using zor::test::Open;

namespace {

// The table 表 of the test folder, its cursor on (row, col); the grid has the focus.
void ShowTable(Form1& form, int row = 1, int col = 1)
{
    form.Combo1->setCurrentIndex(2);
    form.FGrid1->setRow(row);
    form.FGrid1->setCol(col);
    form.FGrid1->setFocus();
}

QPoint CellCenter(zor::FlexGrid& grid, int row, int col)
{
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
}

// Types text as a user would: each key goes to the widget that has the focus then.
void Type(Form1& form, const QString& text)
{
    for (const QChar c : text)
        QTest::keyClick(form.focusWidget(), c.toLatin1());
}

std::uint8_t TableByte(const Form1& form, int col, int row) { return *zor::CellByte(form.doc, zor::TabIdSection, 2, col, row); }

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class EditTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keysOpenTheEditorAsTheTableSays()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::CellEditor& editor = *form.txtForEdit;
        ShowTable(form);
        QVERIFY(!form.doc.History->Modified());

        struct Case {
            const char* name;
            std::function<void()> press;
            QString text;
            bool allSelected;
        };
        const std::vector<Case> cases{
            {"digit", [&] { QTest::keyClick(&grid, Qt::Key_5); }, QStringLiteral("5"), false},
            {"space", [&] { QTest::keyClick(&grid, Qt::Key_Space); }, QStringLiteral("0x80"), false},
            {"enter", [&] { QTest::keyClick(&grid, Qt::Key_Return); }, QStringLiteral("0x80"), true},
            {"F2", [&] { QTest::keyClick(&grid, Qt::Key_F2); }, QStringLiteral("0x80"), true},
            {"double-click",
             [&] {
                 QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 1));
                 QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 1));
             },
             QStringLiteral("0x80"), true},
            {"delete", [&] { QTest::keyClick(&grid, Qt::Key_Delete); }, QString(), false},
            {"backspace", [&] { QTest::keyClick(&grid, Qt::Key_Backspace); }, QString(), false},
        };
        for (const Case& c : cases) {
            grid.setFocus();
            c.press();
            QVERIFY2(editor.isVisible(), c.name);
            QCOMPARE(editor.text(), c.text);
            QCOMPARE(editor.hasSelectedText() && editor.selectedText() == c.text, c.allSelected && !c.text.isEmpty());
            QCOMPARE(editor.cursorPosition(), c.text.size());
            QVERIFY2(!form.doc.History->Modified(), c.name); // filling the editor changes no byte
            // Placed exactly over the cell.
            const QRect cell = grid.visualRect(grid.model()->index(0, 0)).translated(grid.viewport()->mapTo(form.centralWidget(), QPoint()));
            QVERIFY2(editor.geometry().intersects(cell) && std::abs(editor.geometry().left() - cell.left()) <= 1, c.name);
            // Escape and Enter never reach the text; Escape stores nothing.
            QTest::keyClick(&editor, Qt::Key_Escape);
            QVERIFY2(!editor.isVisible(), c.name);
            QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
            QCOMPARE(form.doc.History->UndoCount(), 0);
            QVERIFY2(!form.doc.History->Modified(), c.name); // nothing to save or to ask about
            QVERIFY(grid.hasFocus());
            QCOMPARE(grid.Row(), 1);
        }
        // Other control codes open nothing.
        QTest::keyClick(&grid, Qt::Key_Escape);
        QVERIFY(!editor.isVisible());
    }

    void enterCommitsAndUpDownMove()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::CellEditor& editor = *form.txtForEdit;
        ShowTable(form, 1, 2);
        Type(form, QStringLiteral("200"));
        QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("0")); // the cell shows its old text until the commit
        QTest::keyClick(&editor, Qt::Key_Return);
        QVERIFY(!editor.isVisible());
        QCOMPARE(TableByte(form, 2, 1), std::uint8_t(200));
        QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("200"));
        QCOMPARE(grid.Row(), 1);
        QCOMPARE(form.doc.History->UndoCount(), 1);

        // Up on the first row commits and stays; Down moves on after the commit.
        Type(form, QStringLiteral("3"));
        QTest::keyClick(&editor, Qt::Key_Up);
        QCOMPARE(TableByte(form, 2, 1), std::uint8_t(3));
        QCOMPARE(grid.Row(), 1);
        Type(form, QStringLiteral("4"));
        QTest::keyClick(&editor, Qt::Key_Down);
        QCOMPARE(TableByte(form, 2, 1), std::uint8_t(4));
        QCOMPARE(grid.Row(), 2);
        grid.setRow(3);
        Type(form, QStringLiteral("6"));
        QTest::keyClick(&editor, Qt::Key_Down);
        QCOMPARE(TableByte(form, 2, 3), std::uint8_t(6));
        QCOMPARE(grid.Row(), 3); // the last row

        // A commit that changes nothing leaves no record.
        QTest::keyClick(&grid, Qt::Key_Return);
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(form.doc.History->UndoCount(), 4);

        // On the battle tab, Down onto the first row not wholly in view scrolls by one row.
        ClickTab(form, 3);
        grid.setFocus();
        grid.setTopRow(1);
        int last = 1; // the last row wholly in view
        while (grid.visualRect(grid.model()->index(last, 0)).bottom() < grid.viewport()->height())
            ++last;
        grid.setRow(last - 1);
        grid.setTopRow(1);
        Type(form, QStringLiteral("1"));
        QTest::keyClick(&editor, Qt::Key_Down);
        QCOMPARE(grid.Row(), last);
        QCOMPARE(grid.TopRow(), 1);
        Type(form, QStringLiteral("1"));
        QTest::keyClick(&editor, Qt::Key_Down);
        QCOMPARE(grid.Row(), last + 1);
        QCOMPARE(grid.TopRow(), 2);
    }

    void focusDecidesWhenAnEditCommits()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::CellEditor& editor = *form.txtForEdit;
        ShowTable(form, 1, 1);

        // Another window or a menu taking the focus leaves the editor open with its text.
        Type(form, QStringLiteral("12"));
        for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
            QFocusEvent out(QEvent::FocusOut, reason);
            QCoreApplication::sendEvent(&editor, &out);
            QVERIFY(editor.isVisible());
            QCOMPARE(editor.text(), QStringLiteral("12"));
            QCOMPARE(form.doc.History->UndoCount(), 0);
        }
        // A click on another cell commits into the cell that was edited.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 2, 2));
        QVERIFY(!editor.isVisible());
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(12));
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 2);

        // A tab change commits before the old view is saved.
        Type(form, QStringLiteral("0x21"));
        ClickTab(form, 2);
        QCOMPARE(TableByte(form, 2, 2), std::uint8_t(0x21));
        QVERIFY(!editor.isVisible());

        // So does a notation command, and the value shows in the new notation.
        grid.setFocus();
        Type(form, QStringLiteral("255"));
        form.NotationCodeDec->trigger();
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("-1"));
    }

    void undoAndRedoWalkBackAcrossTabs()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        ShowTable(form, 2, 1);
        Type(form, QStringLiteral("7"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        ClickTab(form, 2);
        grid.setFocus();
        Type(form, QStringLiteral("9"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        QCOMPARE(form.doc.IndividualBytes(1), std::uint8_t(9));

        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.doc.IndividualBytes(1), std::uint8_t(0x0A));
        QCOMPARE(form.Tab1->SelectedIndex(), 2);
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        // The step's tab comes to the front with the table it remembers, on the edited cell.
        QCOMPARE(form.Tab1->SelectedIndex(), 1);
        QCOMPARE(form.Combo1->currentIndex(), 2);
        QCOMPARE(TableByte(form, 1, 2), std::uint8_t(0));
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 1);
        QVERIFY(!form.doc.History->Modified());
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier); // nothing left: nothing happens
        QCOMPARE(form.doc.History->RedoCount(), 2);

        QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(TableByte(form, 1, 2), std::uint8_t(7));
        QVERIFY(form.doc.History->Modified());
        QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(form.Tab1->SelectedIndex(), 2);
        QCOMPARE(form.doc.IndividualBytes(1), std::uint8_t(9));
        QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(form.doc.History->UndoCount(), 2);
    }

    void anUndoInAnotherDataSetShowsItInTheBoxToo()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        const auto file = [&](const char* name) { return ReadFile(o.folder->file(QString::fromUtf8(name))); };
        ShowTable(form, 2, 1);
        Type(form, QStringLiteral("7"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        form.Combo1->setCurrentIndex(1); // クラス; the widths of 表 are stored as it goes
        const QByteArray tableIni = file("m/表.ini");
        grid.setColWidth(1, 1900);
        grid.setFocus();

        QSignalSpy chosen(form.Combo1, &QComboBox::currentIndexChanged);
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(TableByte(form, 1, 2), std::uint8_t(0));
        QCOMPARE(grid.TextMatrix(2, 0), QStringLiteral("に"));
        QCOMPARE(form.Combo1->currentIndex(), form.session.view().CurrentDataSet);
        QCOMPARE(form.Combo1->currentText(), QStringLiteral("表"));
        // Set as the grid's follower, not chosen: the widths of the data set left are stored
        // as before, and nothing is stored for 表.
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(o.folder->ini(QStringLiteral("m/クラス.ini"), QStringLiteral("ColWidth"), QStringLiteral("Section1")),
                 QStringLiteral("1900"));
        QVERIFY(file("m/表.ini") == tableIni);

        // So does the redo, from クラス again.
        form.Combo1->setCurrentIndex(1);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(TableByte(form, 1, 2), std::uint8_t(7));
        QCOMPARE(grid.TextMatrix(2, 0), QStringLiteral("に"));
        QCOMPARE(form.Combo1->currentText(), QStringLiteral("表"));

        // An undo from another tab comes back to the step's data set and cell, not to what tab 1 remembers.
        form.Combo1->setCurrentIndex(1);
        grid.setRow(1);
        form.FocusTab(1);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.Tab1->SelectedIndex(), 1);
        QCOMPARE(form.Combo1->currentText(), QStringLiteral("表"));
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 1);
        QCOMPARE(TableByte(form, 1, 2), std::uint8_t(0));

        // Widths dragged after a step on the table shown are stored when the user leaves the table.
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(TableByte(form, 1, 2), std::uint8_t(7));
        grid.setColWidth(1, 2100);
        form.Combo1->setCurrentIndex(1);
        QCOMPARE(o.folder->ini(QStringLiteral("m/表.ini"), QStringLiteral("ColWidth"), QStringLiteral("Section1")),
                 QStringLiteral("2100"));
    }

    void theCellClipboardMovesRectangles()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        ClickTab(form, 3);
        grid.setFocus();
        grid.setRow(1);
        grid.setCol(1);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(form.clipboard().cols(), 3);
        QCOMPARE(form.clipboard().rows(), 2);
        QCOMPARE(form.clipboard().at(3, 2), form.doc.BattleParams(3, 2));
        QVERIFY(!form.doc.History->Modified());

        // Pasted on the last row, the block is clipped: 3 cells, one step, the document modified.
        grid.setRow(grid.Rows() - 1);
        grid.setCol(4);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        const int last = grid.Rows() - 1;
        QCOMPARE(form.doc.BattleParams(4, last), form.doc.BattleParams(1, 1));
        QCOMPARE(form.doc.BattleParams(6, last), form.doc.BattleParams(3, 1));
        QCOMPARE(form.doc.History->UndoCount(), 3);
        QVERIFY(form.doc.History->Modified());
        QCOMPARE(grid.Row(), last);
        QCOMPARE(grid.Col(), 6);

        // A heading or a row label selects no whole column or row.
        const QPoint heading(grid.horizontalHeader()->sectionViewportPosition(2) + 5, 5);
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, heading);
        QCOMPARE(grid.RowSel(), last);
        QCOMPARE(grid.ColSel(), 6);

        // A cut zeroes the block and is one step.
        grid.setRow(1);
        grid.setCol(2);
        QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(form.doc.BattleParams(2, 1), std::uint8_t(0));
        QCOMPARE(form.doc.History->UndoCount(), 4);
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.doc.BattleParams(2, 1), form.clipboard().at(1, 1));
    }

    void textBoxesKeepTheirOwnShortcuts()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::CellEditor& editor = *form.txtForEdit;
        ShowTable(form, 1, 1);
        QTest::keyClick(&grid, Qt::Key_Return); // then Ctrl+C copies the editor's selected text
        QTest::keyClick(&editor, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(&editor, Qt::Key_End);
        QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor.text(), QStringLiteral("0x800x80"));
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor.text(), QStringLiteral("0x80"));
        QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(editor.text(), QStringLiteral("0x800x80"));
        QTest::keyClick(&editor, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(form.clipboard().cols(), 0);
        QCOMPARE(form.doc.History->UndoCount(), 0);
        // The menu's commands, too, leave the cells alone while a text box has the focus.
        form.doc.History->Clear(zor::JournalSide::Redo);
        form.Cope->trigger();
        form.andou->trigger();
        QCOMPARE(form.clipboard().cols(), 0);
        QVERIFY(editor.isVisible());
        QTest::keyClick(&editor, Qt::Key_Escape);

        form.Text1->setFocus();
        QTest::keyClicks(form.Text1, QStringLiteral("ab"));
        QTest::keyClick(form.Text1, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(form.Text1->toPlainText().size() < 2);
        QTest::keyClick(form.Text1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(form.Text1, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(form.Text1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.clipboard().cols(), 0);
        QCOMPARE(form.doc.History->UndoCount(), 0);
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
    }

    void saveAndSaveAsWriteTheEdits()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        ShowTable(form, 1, 1);
        Type(form, QStringLiteral("9")); // left open: the save commits it first
        form.Save->trigger();
        const QString rom = o.folder->file(QStringLiteral("x.rom"));
        QFile saved(rom);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().at(0x200), char(9));
        QVERIFY(QFile::exists(rom + QStringLiteral(".bak")));
        QVERIFY(!form.doc.History->Modified());
        QCOMPARE(form.windowTitle(), QStringLiteral("ZOR - x.rom"));

        grid.setFocus();
        Type(form, QStringLiteral("8"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        QCOMPARE(form.windowTitle(), QStringLiteral("ZOR - x.rom*")); // unsaved changes
        o.dialogs->savePaths = {o.folder->file(QStringLiteral("新しい.rom"))};
        form.SaveAs->trigger();
        QCOMPARE(form.windowTitle(), QStringLiteral("ZOR - 新しい.rom"));
        QFile copy(o.folder->file(QStringLiteral("新しい.rom")));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll().at(0x200), char(8));
        QVERIFY(!form.doc.History->Modified());
    }

    void rowCommandsAndTheCsvExport()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        // On tab 1 the row commands change nothing, flags included.
        ShowTable(form, 1, 1);
        form.NewRow->trigger();
        form.DeleteRow->trigger();
        QVERIFY(!form.doc.History->Modified());
        QVERIFY(!form.doc.History->RecordCountChanged());

        ClickTab(form, 3);
        const int rows = grid.Rows();
        grid.setRow(2);
        form.NewRow->trigger();
        QCOMPARE(grid.Rows(), rows + 1);
        QCOMPARE(grid.TextMatrix(3, 5), grid.TextMatrix(2, 5)); // the copy and the record it copied
        QVERIFY(form.doc.History->Modified() && form.doc.History->RecordCountChanged());
        form.DeleteRow->trigger();
        QCOMPARE(grid.Rows(), rows);
        // The only record of a block can't go: the sample's blocks hold one to three records.
        int single = 0;
        for (int g = 0; g < 313 && !single; ++g) {
            const int first = g == 0 ? 1 : form.doc.GroupStarts(g);
            if (form.doc.GroupStarts(g + 1) == first + 1)
                single = first;
        }
        QVERIFY(single > 0);
        grid.setRow(single);
        form.DeleteRow->trigger();
        QCOMPARE(grid.Rows(), rows);
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));

        form.OpCSV->trigger();
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));
        QVERIFY(QFile::exists(o.folder->file(QStringLiteral("表.csv"))));
        QVERIFY(QFile::exists(o.folder->file(QStringLiteral("敵パラメータ.csv"))));
    }

    void aStepTooLargeToUndoIsAskedFirstAndUndoFollowsTheHistory()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::EditHistory small(2);
        small.TakeBaseline(form.doc);
        *form.doc.History = small;
        ClickTab(form, 3);
        QVERIFY(!form.andou->isEnabled() && !form.redou->isEnabled());
        const std::uint8_t before = form.doc.BattleParams(1, 1);
        grid.setFocus();
        grid.setRow(1);
        grid.setCol(1);
        QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);

        // Four cells against a history of two: asked first; No changes nothing.
        o.dialogs->answers = {QMessageBox::No, QMessageBox::Yes};
        QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(o.dialogs->asked.size(), std::size_t(1));
        QVERIFY(o.dialogs->asked[0].text.contains(QStringLiteral("元に戻せなくなります")));
        QCOMPARE(form.doc.BattleParams(1, 1), before);
        QVERIFY(!form.doc.History->Modified());

        // Yes takes it, and it can't be undone.
        QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(form.doc.BattleParams(1, 1), std::uint8_t(0));
        QVERIFY(form.doc.History->Modified());
        QCOMPARE(form.doc.History->UndoCount(), 0);
        QVERIFY(!form.andou->isEnabled());
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.doc.BattleParams(1, 1), std::uint8_t(0));

        // A row command is one undoable step; undo enables redo.
        const int rows = grid.Rows();
        grid.setRow(2);
        form.NewRow->trigger();
        QCOMPARE(grid.Rows(), rows + 1);
        QVERIFY(form.andou->isEnabled() && !form.redou->isEnabled());
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid.Rows(), rows);
        QVERIFY(!form.andou->isEnabled() && form.redou->isEnabled());
        QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(grid.Rows(), rows + 1);
        QCOMPARE(o.dialogs->messages.size(), std::size_t(0));
    }

    void anInputMethodOpensTheEditorEmpty()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::CellEditor& editor = *form.txtForEdit;
        ShowTable(form, 1, 1);
        QInputMethodEvent compose(QStringLiteral("じゅう"), {});
        QCoreApplication::sendEvent(&grid, &compose);
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.text(), QString());
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("１０"));
        QCoreApplication::sendEvent(&editor, &commit);
        QCOMPARE(editor.text(), QStringLiteral("１０"));
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(10)); // full-width digits read as their half-width forms
        QCOMPARE(form.doc.History->UndoCount(), 1);
    }

    void unreadableTextNeverReachesTheCell()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::CellEditor& editor = *form.txtForEdit;
        ShowTable(form, 1, 1);
        const QByteArray image = ReadFile(o.folder->file(QStringLiteral("x.rom")));

        // Enter, Down, a tab change and a save keep the editor open on its text, selected, and do nothing else.
        Type(form, QStringLiteral("FF"));
        for (const std::function<void()>& command : std::vector<std::function<void()>>{
                 [&] { QTest::keyClick(&editor, Qt::Key_Return); },
                 [&] { QTest::keyClick(&editor, Qt::Key_Down); },
                 [&] { ClickTab(form, 2); },
                 [&] { form.Save->trigger(); },
             }) {
            command();
            QVERIFY(editor.isVisible() && editor.hasFocus());
            QCOMPARE(editor.selectedText(), QStringLiteral("FF"));
            QVERIFY(QToolTip::text().contains(zor::CellTextForms()));
        }
        QCOMPARE(form.Tab1->SelectedIndex(), 1);
        QCOMPARE(grid.Row(), 1);
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
        QCOMPARE(form.doc.History->UndoCount(), 0);
        QVERIFY(ReadFile(o.folder->file(QStringLiteral("x.rom"))) == image);
        QVERIFY(o.dialogs->messages.empty());

        // A click elsewhere nobody asked to commit: the edit goes, the cell keeps its byte.
        QToolTip::hideText();
        QTest::mouseClick(form.Text1->viewport(), Qt::LeftButton);
        QVERIFY(!editor.isVisible());
        QVERIFY(QToolTip::text().contains(zor::CellTextForms()));
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
        QCOMPARE(form.doc.History->UndoCount(), 0);

        // A form the editor reads is stored as usual.
        grid.setFocus();
        Type(form, QStringLiteral("0x5"));
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(5));
    }

    void aMenuClosedWithEscapeLeavesTheEditOpen()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::CellEditor& editor = *form.txtForEdit;
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        ShowTable(form, 1, 1);
        Type(form, QStringLiteral("12"));
        QMenuBar* bar = form.menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(form.Edit->menuAction()).center());
        QTRY_VERIFY(form.Edit->isVisible());
        QTest::keyClick(form.Edit, Qt::Key_Escape);
        QTRY_VERIFY(!form.Edit->isVisible());
        QCoreApplication::processEvents();
        // The offscreen platform deactivates the window when a popup closes; active again,
        // it gives the focus to the widget that last had it in the window.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(editor.isVisible());
        QTRY_VERIFY(editor.hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_3);
        QCOMPARE(editor.text(), QStringLiteral("123"));
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(123));
    }

    void aPasteLandsWhereTheSelectionBegan()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        ClickTab(form, 3);
        grid.setFocus();
        grid.setRow(1);
        grid.setCol(1);
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        // Shift+Down moves the selection's other end; the paste goes to the cell it began at.
        grid.setRow(5);
        grid.setCol(2);
        QSignalSpy entered(&grid, &zor::FlexGrid::enterCell);
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(entered.count(), 0); // the cursor, and with it the note, stays
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.doc.BattleParams(2, 5), form.doc.BattleParams(1, 1));
        QCOMPARE(form.doc.History->UndoCount(), 1);
        entered.clear();

        // A drag with the mouse: the cursor stays on the pressed cell, the other corner follows.
        const QPoint from = CellCenter(grid, 3, 4);
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, CellCenter(grid, 2, 2), grid.viewport()->mapToGlobal(CellCenter(grid, 2, 2)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid.viewport(), &move);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 2, 2));
        QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(4, 3));
        QCOMPARE(QPoint(grid.ColSel(), grid.RowSel()), QPoint(2, 2));
        QCOMPARE(entered.count(), 1);
        // Shift and a click move the other corner too.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCenter(grid, 4, 5));
        QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(4, 3));
        QCOMPARE(QPoint(grid.ColSel(), grid.RowSel()), QPoint(5, 4));
    }

    void undoOntoASmallerTableKeepsTheDocument()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        QStringList ids;
        for (int id = 0; id < 200; ++id)
            ids << QStringLiteral("ID%1").arg(id);
        o.folder->write(QStringLiteral("m/長.idn"), ids, false);
        o.folder->write(QStringLiteral("m/長.sna"), {QStringLiteral("400"), QStringLiteral("値")});
        o.dialogs->openPaths = {o.folder->file(QStringLiteral("x.rom"))};
        form.Read->trigger();
        form.Combo1->setCurrentIndex(3);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        Type(form, QStringLiteral("7"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        QCOMPARE(*zor::CellByte(form.doc, zor::TabIdSection, 3, 1, 200), std::uint8_t(7));
        form.Combo1->setCurrentIndex(2); // 3 IDs
        ClickTab(form, 2);
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier); // its view lay 200 rows down
        QCOMPARE(*zor::CellByte(form.doc, zor::TabIdSection, 3, 1, 200), std::uint8_t(0));
        QCOMPARE(form.doc.History->RedoCount(), 1);
        QCOMPARE(form.Tab1->SelectedIndex(), 1);
        // The step's own table comes back, its cell in view, whatever tab 1 showed last.
        QCOMPARE(form.Combo1->currentIndex(), 3);
        QCOMPARE(grid.Row(), 200);
        QVERIFY(grid.RowIsVisible(200));
        QVERIFY(grid.isEnabled());
    }

    void changedCellsAreMarkedUntilSaved()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        const auto marked = [&](int row, int col) {
            return grid.model()->index(row - 1, col - 1).data(Qt::BackgroundRole).isValid();
        };
        ShowTable(form, 1, 1);
        QVERIFY(!marked(1, 1));
        Type(form, QStringLiteral("0x33"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        QVERIFY(marked(1, 1) && !marked(1, 2) && !marked(2, 1));
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier); // back to the file's byte
        QVERIFY(!marked(1, 1));
        QTest::keyClick(&grid, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(marked(1, 1));
        form.Save->trigger();
        QVERIFY(!marked(1, 1));
        QCOMPARE(form.windowTitle(), QStringLiteral("ZOR - x.rom"));

        // An inserted battle row is marked whole; the rows below keep their own marks.
        ClickTab(form, 3);
        grid.setRow(2);
        form.NewRow->trigger();
        for (int col = 1; col <= 25; ++col)
            QVERIFY(marked(2, col));
        QVERIFY(!marked(1, 1) && !marked(3, 1));
    }

    void aPatchTurnsTheOriginalIntoTheSavedImage()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        const QString rom = o.folder->file(QStringLiteral("x.rom"));
        const QString original = o.folder->file(QStringLiteral("original.rom"));
        QVERIFY(QFile::copy(rom, original));
        ShowTable(form, 2, 2);
        Type(form, QStringLiteral("77"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);

        // Unsaved changes are asked about first; the original is remembered for the next time.
        o.dialogs->answers = {QMessageBox::Yes};
        o.dialogs->openPaths = {original};
        o.dialogs->savePaths = {o.folder->file(QStringLiteral("hack"))}; // no extension: the BPS filter's
        form.MakePatch->trigger();
        QCOMPARE(o.dialogs->asked.size(), std::size_t(1));
        QCOMPARE(o.dialogs->messages.back().icon, QMessageBox::Information);
        const zor::Result<QByteArray> applied = zor::ApplyPatch(ReadFile(o.folder->file(QStringLiteral("hack.bps"))), ReadFile(original));
        QVERIFY(applied);
        QVERIFY(*applied == ReadFile(rom));
        QVERIFY(ReadFile(rom) != ReadFile(original));

        o.dialogs->openPaths = {QString()}; // cancelled: nothing written
        form.MakePatch->trigger();
        QCOMPARE(o.dialogs->openStarts.back(), original);
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));

        // The open image or its .bak chosen as the patch (the dialog's "replace?" answered yes): refused.
        const QByteArray saved = ReadFile(rom);
        const QByteArray backup = ReadFile(rom + QStringLiteral(".bak"));
        for (const QString& out : {rom, rom + QStringLiteral(".bak")}) {
            o.dialogs->openPaths = {original};
            o.dialogs->savePaths = {out};
            form.MakePatch->trigger();
            QCOMPARE(o.dialogs->messages.back().icon, QMessageBox::Warning);
            QVERIFY(o.dialogs->messages.back().text.contains(QStringLiteral("同じファイル")));
        }
        QVERIFY(ReadFile(rom) == saved && ReadFile(rom + QStringLiteral(".bak")) == backup);

        // Unsaved changes left out are told of; two identical images write no patch.
        Type(form, QStringLiteral("78"));
        QTest::keyClick(form.txtForEdit, Qt::Key_Return);
        for (const QString& from : {original, rom}) {
            o.dialogs->answers = {QMessageBox::No};
            o.dialogs->openPaths = {from};
            o.dialogs->savePaths = {o.folder->file(QStringLiteral("again.bps"))};
            form.MakePatch->trigger();
            QCOMPARE(o.dialogs->messages.back().icon, QMessageBox::Information);
            QVERIFY(o.dialogs->messages.back().text.contains(QStringLiteral("保存していない変更はパッチに入っていません")));
        }
        QVERIFY(o.dialogs->messages.back().text.contains(QStringLiteral("違いはありません")));
        QVERIFY(ReadFile(o.folder->file(QStringLiteral("again.bps"))) == ReadFile(o.folder->file(QStringLiteral("hack.bps"))));
    }

    void aCellThatCantBeWrittenStaysShut()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        o.folder->write(QStringLiteral("m/読.idn"), {QStringLiteral("あ"), QStringLiteral("い")}, false);
        o.folder->write(QStringLiteral("m/読.sna"), {QStringLiteral("ZZ"), QStringLiteral("壊れた"), QStringLiteral("200"),
                                                     QStringLiteral("良い")});
        o.dialogs->openPaths = {o.folder->file(QStringLiteral("x.rom"))};
        form.Read->trigger();
        o.dialogs->messages.clear(); // the load's report of the offset
        form.Combo1->setCurrentIndex(3);
        grid.setFocus();
        grid.setRow(1);
        grid.setCol(1);
        QToolTip::hideText();
        QTest::keyClick(&grid, Qt::Key_5);
        QVERIFY(!form.txtForEdit->isVisible());
        QVERIFY(QToolTip::text().contains(QStringLiteral("壊れた")));
        QVERIFY(!form.doc.History->Modified());

        // A paste whose rectangle holds such a cell is refused whole, naming it.
        grid.setCol(2);
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        grid.setRowSel(2);
        grid.setColSel(1);
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        grid.setRow(1);
        grid.setCol(1);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));
        QVERIFY(o.dialogs->messages.front().text.contains(QStringLiteral("壊れた")));
        QCOMPARE(form.doc.History->UndoCount(), 0);
        QVERIFY(!form.doc.History->Modified());
    }

    void aHandlerThatThrowsKeepsTheDocument()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        ShowTable(form, 2, 2);
        o.dialogs->failOpen = true;
        form.Read->trigger();
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));
        QCOMPARE(o.dialogs->messages.front().icon, QMessageBox::Critical);
        QCOMPARE(form.doc.RomPath, o.folder->file(QStringLiteral("x.rom")));
        QVERIFY(form.FGrid1->isEnabled());
        QCOMPARE(form.FGrid1->Row(), 2);

        // Anything else that reaches the event loop is the application's to catch.
        struct Throwing : QObject {
            bool event(QEvent*) override { throw std::runtime_error("thrown"); }
        } throwing;
        auto* app = qobject_cast<zor::Application*>(QCoreApplication::instance());
        QVERIFY(app);
        QSignalSpy failed(app, &zor::Application::failed);
        QCoreApplication::postEvent(&throwing, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.front().front().toString(), QStringLiteral("thrown"));
    }
};

int RunEditTests(int argc, char** argv)
{
    EditTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EditTest.moc"
