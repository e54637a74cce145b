// The window over a document: opening an image, the three tabs and the data sets, the
// widths and notes they store, notations and the menu items that follow the cursor, and
// a right click on the grid. The layout, widths and notations themselves are decided in
// the core (tests/view); here they must land on the grid, the menus and the files.

#include "tests/window/Controls.h"
#include "tests/window/TestFolder.h"
#include "core/view/TabView.h"

#include <QActionGroup>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::Form1;

namespace {

QString Ini(const Folder& folder, const char* file, const char* group, const char* key)
{
    return folder.ini(QString::fromUtf8(file), QString::fromUtf8(group), QString::fromUtf8(key));
}

// The checked notation item, and " off" when the three are disabled ("?" when only some are).
QString Notation(const Form1& form)
{
    QStringList checked;
    int enabled = 0;
    for (const char* name : {"NotationHex", "NotationCodeDec", "NotationDec"}) {
        if (Item(form, name).isChecked())
            checked << QString::fromLatin1(name);
        enabled += Item(form, name).isEnabled();
    }
    return checked.join(u'+') + (enabled == 3 ? QString() : enabled == 0 ? u" off"_s : u"?"_s);
}

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

} // namespace

class ViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openingShowsTheFirstDataSet()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        QCOMPARE(std::pair(Items(DataSets(form)), DataSets(form).currentIndex()), std::pair(QStringList{u"m"_s, u"クラス"_s, u"表"_s}, 1));
        DataSets(form).setCurrentIndex(2);
        QVERIFY(grid.isEnabled() && Note(form).isEnabled());
        QCOMPARE(std::pair(grid.Rows(), grid.Cols()), std::pair(4, 3));
        QCOMPARE((QStringList{grid.TextMatrix(0, 0), grid.TextMatrix(2, 0), grid.TextMatrix(1, 1), grid.TextMatrix(2, 2)}),
                 (QStringList{u"ID"_s, u"に"_s, u"0x80"_s, u"5"_s}));
        QCOMPARE(std::tuple(grid.ColAlignment(0), grid.ColAlignment(2), grid.RowHeight(0)), std::tuple(0, 6, 2 * zor::FlexGrid::kDefaultRowHeight));
        // Section0 comes from the settings file; a long heading gets its two-line fit, measured in the grid's font.
        QCOMPARE(grid.ColWidth(0), 1500);
        QVERIFY(grid.ColWidth(2) > 380);
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), u"とても長 \nい見出し"_s);
    }

    void eachTabShowsItsTableAndWidthsGoToTheirOwnFile()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        DataSets(form).setCurrentIndex(2);
        grid.setColWidth(1, 2000); // as a drag would leave it
        grid.setColWidth(2, 100);
        ClickTab(form, 2);
        QCOMPARE(Ini(*o.folder, "m/表.ini", "ColWidth", "Section1"), u"2000"_s); // the floor of 600 is the core's
        QCOMPARE(std::tuple(Items(DataSets(form)), grid.Rows(), grid.Cols()), std::tuple(QStringList{u"m"_s}, 3, 2));
        QCOMPARE((QStringList{grid.TextMatrix(0, 0), grid.TextMatrix(1, 0), grid.TextMatrix(1, 1)}),
                 (QStringList{QString(), u"お金"_s, u"0x0A"_s}));
        QCOMPARE(std::tuple(grid.ColWidth(1), grid.RowHeight(0), grid.ColAlignment(1)), std::tuple(600, 200, 6));

        // By keyboard this time, either way: the widths are stored before the tab changes too.
        Tabs(form).setFocus();
        QTest::keyClick(&Tabs(form), Qt::Key_Right);
        QCOMPARE(std::tuple(Tabs(form).SelectedIndex(), grid.Cols(), grid.TextMatrix(0, 25)), std::tuple(3, 26, u"項目25"_s));
        grid.setColWidth(5, 2100);
        QTest::keyClick(&Tabs(form), Qt::Key_Left);
        QCOMPARE(Ini(*o.folder, "m/敵パラメータ.ini", "ColWidth", "Section5"), u"2100"_s);

        // Back on tab 1 the data set and its cell come back, with the widths it kept.
        ClickTab(form, 1);
        QCOMPARE(std::tuple(DataSets(form).count(), DataSets(form).currentIndex(), grid.ColWidth(1)), std::tuple(3, 2, 2000));
    }

    void whatTheModeLostFallsBack()
    {
        auto o = Open();
        Form1& form = *o.form;
        const auto reread = [&] {
            o.dialogs->openPaths = {o.folder->file(u"x.rom"_s)};
            Run(form, "Read");
        };
        // A table without sections: no note, no notation.
        o.folder->write(u"m/表.sna"_s, {}, false);
        reread();
        DataSets(form).setCurrentIndex(2);
        QVERIFY(Grid(form).Cols() == 1 && Grid(form).isEnabled() && !Note(form).isEnabled());
        QCOMPARE(Notation(form), u" off"_s);
        // The mode loses a data set while tab 2 is shown; tab 1 then falls back to the first.
        ClickTab(form, 2);
        QFile::remove(o.folder->file(u"m/表.idn"_s));
        reread();
        ClickTab(form, 1);
        QCOMPARE(Items(DataSets(form)), (QStringList{u"m"_s, u"クラス"_s}));
        QCOMPARE(std::pair(DataSets(form).currentIndex(), Grid(form).TextMatrix(1, 0)), std::pair(1, u"なし"_s));
        QVERIFY(Note(form).isEnabled());
        // A mode without any data set leaves tab 1 empty and disabled.
        QFile::remove(o.folder->file(u"m/クラス.idn"_s));
        reread();
        QVERIFY(DataSets(form).count() == 1 && !Grid(form).isEnabled() && !Note(form).isEnabled());
        ClickTab(form, 2);
        QVERIFY(Grid(form).isEnabled());
    }

    void badFilesAreToldAndChangeNothing()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        for (const QString& bad : {o.folder->dir.path(), o.folder->file(u"none.rom"_s)}) {
            o.dialogs->openPaths = {bad};
            Run(form, "Read");
            QVERIFY(o.dialogs->messages.size() == 1 && o.dialogs->messages[0].text.contains(bad));
            o.dialogs->messages.clear();
            QVERIFY(form.windowTitle() == u"ZOR - x.rom"_s && Grid(form).isEnabled() && DataSets(form).count() == 3);
        }
        // A tiny image loads, its problems (the controller's to gather) told in one message; its
        // battle blocks couldn't be read: a table without rows, whose columns still have their notes.
        QFile tiny(o.folder->file(u"tiny.rom"_s));
        QVERIFY(tiny.open(QIODevice::WriteOnly) && tiny.write("\x01") == 1);
        tiny.close();
        o.folder->write(u"m/敵パラメータ.ini"_s, {u"[Text]"_s, u"Section1=一つ目"_s});
        o.dialogs->openPaths = {tiny.fileName()};
        Run(form, "Read");
        QCOMPARE(std::pair(o.dialogs->messages.size(), form.windowTitle()), std::pair(std::size_t(1), u"ZOR - tiny.rom"_s));
        ClickTab(form, 3);
        QCOMPARE(std::tuple(Grid(form).Rows(), Grid(form).Cols(), Note(form).toPlainText()), std::tuple(1, 26, u"一つ目"_s));
    }

    void notesStayWithTheirSection()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::NoteEdit& note = Note(form);
        DataSets(form).setCurrentIndex(2);
        Grid(form).setCol(2);
        note.setFocus();
        Type(form, "memo\rtwo");
        ClickTab(form, 3);
        QCOMPARE(Ini(*o.folder, "m/表.ini", "Text", "Section2"), u"memo\\ntwo"_s);
        QCOMPARE(note.toPlainText(), QString());
        ClickTab(form, 1);
        QCOMPARE(note.toPlainText(), u"memo\ntwo"_s);
        Grid(form).setRow(3); // the same column: the same note
        QCOMPARE(note.toPlainText(), u"memo\ntwo"_s);

        // A character CP932 can't hold is not taken; one it holds in another form is mapped.
        note.setFocus();
        note.moveCursor(QTextCursor::End);
        for (const QString& typed : {u"〜"_s, u"😀"_s}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
            QCoreApplication::sendEvent(&note, &press);
        }
        QCOMPARE(note.toPlainText(), u"memo\ntwo～"_s);
        // A note stops at its limit, pasted, typed or broken into lines; what replaces a selection may fill it again.
        const QString kept = note.toPlainText();
        note.setPlainText(QString(zor::kMaxNoteLength - 2, u'x'));
        note.moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(u"abcdef"_s);
        note.paste();
        QVERIFY(note.toPlainText().size() == zor::kMaxNoteLength && note.toPlainText().endsWith(u"xab"_s));
        Type(form, "z\r");
        QCOMPARE(note.toPlainText().size(), zor::kMaxNoteLength);
        QTest::keyClick(&note, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&note, Qt::Key_Left, Qt::ShiftModifier);
        Type(form, "yzw");
        QVERIFY(note.toPlainText().endsWith(u"xyz"_s));
        note.setPlainText(kept);
        // Closing the window stores a note that the cursor has not yet moved away from.
        form.close();
        QCOMPARE(Ini(*o.folder, "m/表.ini", "Text", "Section2"), u"memo\\ntwo～"_s);
    }

    void notationItemsCheckTheSectionUnderTheCursor()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        ShowTable(form);
        QCOMPARE(Notation(form), u"NotationHex"_s);
        Key(form, Qt::Key_Right);
        QCOMPARE(Notation(form), u"NotationDec"_s);
        // The checked item still runs its command and stays checked; the notation is stored.
        for (int i = 0; i < 2; ++i)
            Run(form, "NotationCodeDec");
        QCOMPARE(Notation(form), u"NotationCodeDec"_s);
        QCOMPARE(Ini(*o.folder, "m/表.ini", "Notation", "Section2"), u"-10"_s);
        // A command the open editor holds back leaves the check on the notation shown.
        Key(form, Qt::Key_F);
        Run(form, "NotationDec");
        QVERIFY(Editor(form).isVisible());
        QCOMPARE(Notation(form), u"NotationCodeDec"_s);
        QTest::keyClick(&Editor(form), Qt::Key_Escape);
        // On 個別データ the row's entry decides.
        ClickTab(form, 2);
        Key(form, Qt::Key_Down);
        Run(form, "NotationDec");
        QCOMPARE(Ini(*o.folder, "m/個別データ.ini", "Notation", "Section2"), u"10"_s);
        Key(form, Qt::Key_Up);
        QCOMPARE(Notation(form), u"NotationHex"_s);
        // A settings file that can't be written: the table shows the notation all the same, and says so.
        ClickTab(form, 1);
        QFile::remove(o.folder->file(u"m/表.ini"_s));
        QVERIFY(QDir(o.folder->dir.path()).mkpath(u"m/表.ini"_s));
        Run(form, "NotationHex");
        QCOMPARE(Grid(form).TextMatrix(2, 2), u"0x05"_s);
        QTRY_COMPARE(o.dialogs->messages.size(), std::size_t(1));
        // The mode's name shows no table: no section, no notation.
        DataSets(form).setCurrentIndex(0);
        QVERIFY(!Grid(form).isEnabled() && !Note(form).isEnabled());
        QCOMPARE(Notation(form), u" off"_s);
    }

    void aRightClickOpensTheEditMenuOnTheSelection()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        QMenu& edit = Control<QMenu>(form, "Edit");
        const auto rightClick = [](QWidget* widget, const QPoint& at) {
            QTest::mousePress(widget, Qt::RightButton, {}, at);
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
            QCoreApplication::sendEvent(widget, &menu);
            QTest::mouseRelease(widget, Qt::RightButton, {}, at);
        };
        const auto place = [&] { return std::tuple(grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()); };
        ClickTab(form, 3);
        grid.setRow(2);
        grid.setCol(2);
        grid.setRowSel(3);
        grid.setColSel(3);
        // Inside the selection nothing moves, and the menu's copy takes the whole selection.
        rightClick(grid.viewport(), CellCenter(grid, 3, 3));
        QTRY_VERIFY(edit.isVisible());
        QCOMPARE(edit.geometry().topLeft(), grid.viewport()->mapToGlobal(CellCenter(grid, 3, 3)));
        QCOMPARE(place(), std::tuple(2, 2, 3, 3));
        QTest::mouseClick(&edit, Qt::LeftButton, {}, edit.actionGeometry(&Item(form, "Cope")).center());
        QTRY_VERIFY(!edit.isVisible());
        QCOMPARE(std::pair(form.control().clipboard().cols(), form.control().clipboard().rows()), std::pair(2, 2));
        // Outside it the cursor moves there first, as a left click would.
        rightClick(grid.viewport(), CellCenter(grid, 5, 4));
        QTRY_VERIFY(edit.isVisible());
        QCOMPARE(place(), std::tuple(5, 4, 5, 4));
        edit.hide();
        // A heading is no cell to act on, and selects no whole column.
        QHeaderView* headings = grid.horizontalHeader();
        const QPoint heading(headings->sectionViewportPosition(1) + 5, 5);
        rightClick(headings->viewport(), heading);
        QTest::mouseClick(headings->viewport(), Qt::LeftButton, {}, heading);
        QCoreApplication::processEvents();
        QVERIFY(!edit.isVisible());
        QCOMPARE(place(), std::tuple(5, 4, 5, 4));
    }
};

int RunViewTests(int argc, char** argv)
{
    ViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ViewTest.moc"
