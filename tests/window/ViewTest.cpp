// The window over a document: opening an image, the three tabs and the data sets, the
// widths and notes they store, notations and the menu items that follow the cursor, a right
// click on the grid; the status bar, the find bar, the go-to dialog and the shaded battle
// blocks; and what follows the document's changes: 表示 → 変更一覧, 値で色分け and グラフ.
// What the layout, the finds, the change list and the chart hold is decided in the core
// (tests/view, navigate, compare, shade, chart); here it must land on the controls and files.

#include "core/view/TabView.h"
#include "tests/window/Harness.h"
#include "window/ChangesPanel.h"
#include "window/ChartDock.h"
#include "window/FindBar.h"
#include "window/GoToDialog.h"
#include "window/StatusText.h"
#include "window/ValueColours.h"
#include "window/ValueViews.h"

#include <QAbstractItemModelTester>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QGraphicsEllipseItem>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSettings>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::Form1;

namespace {

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

QString CellStatus(const Form1& form) { return Control<zor::StatusText>(form, "CellStatus").text(); }
std::pair<int, int> Cursor(const Form1& form) { return {Grid(form).Row(), Grid(form).Col()}; }

// Types a query into the open find bar, replacing the last, presses Enter there and says where the cursor went.
std::pair<int, int> Find(const Form1& form, const QString& query)
{
    QLineEdit* field = Control<zor::FindBar>(form, "FindBar").field();
    field->selectAll();
    field->insert(query);
    QTest::keyClick(field, Qt::Key_Return);
    return Cursor(form);
}

zor::ChangesPanel& Changes(const Form1& form) { return Control<zor::ChangesPanel>(form, "ChangesPanel"); }

QStringList Lines(const Form1& form)
{
    QStringList lines;
    const QAbstractItemModel* model = Changes(form).view()->model();
    for (int i = 0; i < model->rowCount(); ++i)
        lines << model->index(i, 0).data().toString();
    return lines;
}

void DoubleClick(const Form1& form, int line)
{
    QListView* view = Changes(form).view();
    const QPoint at = view->visualRect(view->model()->index(line, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at); // the press a double-click follows
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
}

QColor Background(const zor::FlexGrid& grid, int row, int col)
{
    return grid.model()->index(row - 1, col - 1).data(Qt::BackgroundRole).value<QBrush>().color();
}

} // namespace

class ViewTest : public QObject {
    Q_OBJECT

    Opened o; // a window over the test folder's image, opened afresh for each case
    Form1& form() const { return *o.form; }

private Q_SLOTS:
    void init() { o = Open(); }
    void cleanup()
    {
        o.form.reset(); // the window goes before its folder
        o.folder.reset();
    }

    void openingShowsTheFirstDataSetAndEachTabItsTable()
    {
        zor::FlexGrid& grid = Grid(form());
        QCOMPARE(std::pair(Items(DataSets(form())), DataSets(form()).currentIndex()), std::pair(QStringList{u"m"_s, u"クラス"_s, u"表"_s}, 1));
        DataSets(form()).setCurrentIndex(2);
        QVERIFY(grid.isEnabled() && Note(form()).isEnabled());
        QCOMPARE(std::pair(grid.Rows(), grid.Cols()), std::pair(4, 3));
        QCOMPARE((QStringList{grid.TextMatrix(0, 0), grid.TextMatrix(2, 0), grid.TextMatrix(1, 1), grid.TextMatrix(2, 2)}),
                 (QStringList{u"ID"_s, u"に"_s, u"0x80"_s, u"5"_s}));
        QCOMPARE(std::tuple(grid.ColAlignment(0), grid.ColAlignment(2), grid.RowHeight(0), grid.ColWidth(0)),
                 std::tuple(0, 6, 2 * zor::FlexGrid::kDefaultRowHeight, 1500));
        QVERIFY(grid.ColWidth(2) > 380); // the long heading's two-line fit, measured in the grid's font

        // Another tab: the widths left go to their own file.
        grid.setColWidth(1, 2000); // as a drag would leave it
        grid.setColWidth(2, 100);
        ClickTab(form(), 2);
        QCOMPARE(o.folder->ini("m/表.ini", "ColWidth", "Section1"), u"2000"_s); // the floor of 600 is the core's
        QCOMPARE(std::tuple(Items(DataSets(form())), grid.Rows(), grid.Cols()), std::tuple(QStringList{u"m"_s}, 3, 2));
        QCOMPARE((QStringList{grid.TextMatrix(1, 0), grid.TextMatrix(1, 1)}), (QStringList{u"お金"_s, u"0x0A"_s}));
        // Back on tab 1 the data set and its cell come back, with the widths it kept.
        ClickTab(form(), 1);
        QCOMPARE(std::tuple(DataSets(form()).count(), DataSets(form()).currentIndex(), grid.ColWidth(1)), std::tuple(3, 2, 2000));
    }

    void badFilesAreToldAndWhatTheModeLacksIsLeftOut()
    {
        o.dialogs->messagesExpected = true;
        for (const QString& bad : {o.folder->dir.path(), o.folder->file(u"none.rom"_s)}) {
            o.dialogs->openPaths = {bad};
            Run(form(), "Read");
            QVERIFY(o.dialogs->messages.size() == 1 && o.dialogs->messages[0].text.contains(bad));
            o.dialogs->messages.clear();
            QVERIFY(form().windowTitle() == u"ZOR - x.rom"_s && Grid(form()).isEnabled() && DataSets(form()).count() == 3);
        }
        // A tiny image loads, its problems (the controller's to gather) told in one message.
        o.folder->write(u"tiny.rom"_s, u"x"_s);
        o.dialogs->openPaths = {o.folder->file(u"tiny.rom"_s)};
        Run(form(), "Read");
        QCOMPARE(std::pair(o.dialogs->messages.size(), form().windowTitle()), std::pair(std::size_t(1), u"ZOR - tiny.rom"_s));
        o.dialogs->messages.clear();

        // A table without sections: no note, no notation.
        o.folder->write(u"m/表.sna"_s, QString());
        o.reread();
        DataSets(form()).setCurrentIndex(2);
        QVERIFY(Grid(form()).Cols() == 1 && Grid(form()).isEnabled() && !Note(form()).isEnabled());
        QCOMPARE(Notation(form()), u" off"_s);
        // A mode without any data set leaves tab 1 empty and disabled.
        QFile::remove(o.folder->file(u"m/表.idn"_s));
        QFile::remove(o.folder->file(u"m/クラス.idn"_s));
        o.reread();
        QVERIFY(DataSets(form()).count() == 1 && !Grid(form()).isEnabled() && !Note(form()).isEnabled());
        ClickTab(form(), 2);
        QVERIFY(Grid(form()).isEnabled() && o.dialogs->messages.empty());
    }

    void notesStayWithTheirSection()
    {
        zor::NoteEdit& note = Note(form());
        DataSets(form()).setCurrentIndex(2);
        Grid(form()).setCol(2);
        note.setFocus();
        Type(form(), "memo\rtwo");
        ClickTab(form(), 3);
        QCOMPARE(o.folder->ini("m/表.ini", "Text", "Section2"), u"memo\\ntwo"_s);
        ClickTab(form(), 1);
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
        Type(form(), "z\r");
        QCOMPARE(note.toPlainText().size(), zor::kMaxNoteLength);
        QTest::keyClick(&note, Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&note, Qt::Key_Left, Qt::ShiftModifier);
        Type(form(), "yzw");
        QVERIFY(note.toPlainText().endsWith(u"xyz"_s));
        note.setPlainText(kept);
        // Closing the window stores a note that the cursor has not yet moved away from.
        form().close();
        QCOMPARE(o.folder->ini("m/表.ini", "Text", "Section2"), u"memo\\ntwo～"_s);
    }

    void notationItemsCheckTheSectionUnderTheCursor()
    {
        o.dialogs->messagesExpected = true;
        ShowTable(form());
        QCOMPARE(Notation(form()), u"NotationHex"_s);
        Key(form(), Qt::Key_Right);
        QCOMPARE(Notation(form()), u"NotationDec"_s);
        // The checked item still runs its command and stays checked; the notation is stored.
        for (int i = 0; i < 2; ++i)
            Run(form(), "NotationCodeDec");
        QCOMPARE(Notation(form()), u"NotationCodeDec"_s);
        QCOMPARE(o.folder->ini("m/表.ini", "Notation", "Section2"), u"-10"_s);
        // A command the open editor holds back leaves the check on the notation shown.
        Perform(form(), "F !NotationDec");
        QVERIFY(Editor(form()).isVisible());
        QCOMPARE(Notation(form()), u"NotationCodeDec"_s);
        QTest::keyClick(&Editor(form()), Qt::Key_Escape);
        // A settings file that can't be written: the table shows the notation all the same, and says so.
        QFile::remove(o.folder->file(u"m/表.ini"_s));
        QVERIFY(QDir(o.folder->dir.path()).mkpath(u"m/表.ini"_s));
        Run(form(), "NotationHex");
        QCOMPARE(Grid(form()).TextMatrix(2, 2), u"0x05"_s);
        QTRY_COMPARE(o.dialogs->messages.size(), std::size_t(1));
        // The mode's name shows no table: no section, no notation.
        DataSets(form()).setCurrentIndex(0);
        QVERIFY(!Grid(form()).isEnabled() && !Note(form()).isEnabled());
        QCOMPARE(Notation(form()), u" off"_s);
    }

    void aRightClickOpensTheEditMenuOnTheSelection()
    {
        zor::FlexGrid& grid = Grid(form());
        QMenu& edit = Control<QMenu>(form(), "Edit");
        const auto rightClick = [](QWidget* widget, const QPoint& at) {
            QTest::mousePress(widget, Qt::RightButton, {}, at);
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
            QCoreApplication::sendEvent(widget, &menu);
            QTest::mouseRelease(widget, Qt::RightButton, {}, at);
        };
        const auto place = [&] { return std::tuple(grid.Row(), grid.Col(), grid.RowSel(), grid.ColSel()); };
        Perform(form(), "#3 @2,2");
        grid.setRowSel(3);
        grid.setColSel(3);
        // Inside the selection nothing moves, and the menu's copy takes the whole selection.
        rightClick(grid.viewport(), CellCenter(grid, 3, 3));
        QTRY_VERIFY(edit.isVisible());
        QCOMPARE(edit.geometry().topLeft(), grid.viewport()->mapToGlobal(CellCenter(grid, 3, 3)));
        QCOMPARE(place(), std::tuple(2, 2, 3, 3));
        QTest::mouseClick(&edit, Qt::LeftButton, {}, edit.actionGeometry(&Item(form(), "Cope")).center());
        QTRY_VERIFY(!edit.isVisible());
        QCOMPARE(std::pair(form().control().clipboard().cols(), form().control().clipboard().rows()), std::pair(2, 2));
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

    void theStatusBarDescribesTheCellAndTheBattleBlocksAreShaded()
    {
        QVERIFY(CellStatus(Form1(std::make_unique<FakeDialogs>())).isEmpty());
        ShowTable(form());
        Perform(form(), "Down Right");
        QCOMPARE(CellStatus(form()), u"ID 1 (0x01)「に」  とても長い見出し  オフセット 0x000211  $80:8211  値 0x05 / 5 / 5"_s);
        ClickTab(form(), 2);
        QVERIFY2(CellStatus(form()).startsWith(u"個別データ 1「お金」  オフセット 0x000300"_s), qPrintable(CellStatus(form())));

        // Every other battle block, as the status bar names them, has shaded row labels.
        ClickTab(form(), 3);
        const QAbstractItemModel* model = Grid(form()).model();
        const auto shaded = [&](int row) {
            return model->headerData(row - 1, Qt::Vertical, Qt::BackgroundRole).value<QBrush>().color() == zor::FlexGrid::shadeColour();
        };
        int second = 1; // the first row whose status names block 2
        for (Grid(form()).setRow(1); !CellStatus(form()).contains(u"ブロック 2"_s); Grid(form()).setRow(++second)) {
        }
        int third = second;
        for (; !CellStatus(form()).contains(u"ブロック 3"_s); Grid(form()).setRow(++third)) {
        }
        QVERIFY(!shaded(1) && !shaded(second - 1) && shaded(second) && shaded(third - 1) && !shaded(third));
        ClickTab(form(), 2);
        QVERIFY(!model->headerData(0, Qt::Vertical, Qt::BackgroundRole).isValid());
    }

    void theFindBarFindsAgainOverEveryDataSetAndFollowsLabels()
    {
        zor::FindBar& bar = Control<zor::FindBar>(form(), "FindBar");
        ShowTable(form());
        Key(form(), Qt::Key_F, Qt::ControlModifier);
        // Enter finds again from the bar, never opening the editor; what is nowhere marks the bar.
        QCOMPARE(Find(form(), u"5"_s), std::pair(2, 2));
        QCOMPARE(Find(form(), u"5"_s), std::pair(2, 2));
        QVERIFY(!Editor(form()).isVisible() && bar.field()->hasFocus() && !bar.notFound());
        QCOMPARE(Find(form(), u"ｶ"_s), std::pair(2, 2));
        QVERIFY(bar.notFound());
        // F3 from the grid, and Shift+F3 back: いち is the only one, either way.
        QCOMPARE(Find(form(), u"いち"_s), std::pair(1, 2));
        for (const Qt::KeyboardModifier backwards : {Qt::NoModifier, Qt::ShiftModifier}) {
            Grid(form()).setRow(3);
            QTest::keyClick(&Grid(form()), Qt::Key_F3, backwards);
            QCOMPARE(Cursor(form()), std::pair(1, 2));
        }
        // Escape closes the bar and gives the grid the focus.
        QTest::keyClick(bar.field(), Qt::Key_Escape);
        QVERIFY(!bar.isVisible() && Grid(form()).hasFocus());
        // Over every data set the box follows the find; on the other tabs it has no say.
        Run(form(), "Search");
        bar.allDataSets()->setChecked(true);
        QCOMPARE(Find(form(), u"戦士"_s), std::pair(2, 1));
        QCOMPARE(DataSets(form()).currentIndex(), 1);
        ClickTab(form(), 3);
        QVERIFY(!bar.allDataSets()->isEnabled() && !Modified(form()));

        // A record's label, and the find, follow its class at once.
        zor::FlexGrid& grid = Grid(form());
        int row = 1;
        while (row < grid.Rows() && grid.TextMatrix(row, 1) == u"0x01"_s)
            ++row;
        const QString before = grid.TextMatrix(row, 0);
        Run(form(), "Search");
        Find(form(), u"戦士"_s); // the find's labels are folded now
        grid.setRow(row);
        grid.setFocus();
        Type(form(), "1\r");
        QCOMPARE(grid.TextMatrix(row, 0), u"戦士"_s);
        grid.setRow(row > 1 ? row - 1 : grid.Rows() - 1);
        Run(form(), "SearchNext");
        QCOMPARE(grid.Row(), row);
        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(grid.TextMatrix(row, 0), before);
    }

    void theGoToDialogStaysOpenOnARefusedTextAndGrowsToShowIt()
    {
        QStringList asked;
        const QString refused = u"「bad」は移動先として読めません。番号（ID は 0x を付けて 16 進数でも）、"
                                u"「@」と 16 進数のオフセット、または $BB:AAAA の形の SNES アドレスを入力してください。"_s;
        const QString prompt = u"移動先を入力してください:\n・ID（10 進数、または 0x を付けて 16 進数）\n"
                               u"・「@」と 16 進数のオフセット（例: @61002）\n・SNES アドレス（例: $8C:9002）"_s;
        zor::GoToDialog dialog(nullptr, u"移動"_s, prompt, [&](const QString& text) {
            asked << text;
            return text == u"ok"_s ? QString() : refused;
        });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.field(), u"bad"_s);
        QTest::keyClick(dialog.field(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.reason()->text(), refused);
        QCoreApplication::processEvents();
        // Every line shows: the labels have the height their text needs, the prompt above the field.
        const QLabel& shown = Control<QLabel>(dialog, "GoToPrompt");
        for (const QLabel* label : {&shown, static_cast<const QLabel*>(dialog.reason())})
            QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->text()));
        QVERIFY(shown.geometry().bottom() < dialog.field()->geometry().top());
        QVERIFY(dialog.field()->geometry().bottom() < dialog.reason()->geometry().top());
        QCOMPARE(dialog.field()->selectedText(), u"bad"_s); // ready to be typed over
        QTest::keyClicks(dialog.field(), u"ok"_s);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(asked, (QStringList{u"bad"_s, u"ok"_s}));
    }

    void theListFollowsEditsUndoNotationSaveAndRowCommands()
    {
        zor::FlexGrid& grid = Grid(form());
        QAbstractItemModelTester tester(Changes(form()).model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        Run(form(), "ShowChanges");
        QVERIFY(Item(form(), "ShowChanges").isChecked() && !Changes(form()).isHidden());
        QCOMPARE(Lines(form()), QStringList{zor::ChangeListModel::EmptyText()});

        Perform(form(), "#2 =9 #1");
        ShowTable(form(), 2, 1);
        Type(form(), "7\r");
        const QStringList lines = Lines(form());
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(u"ID 1「に」"_s) && lines[0].endsWith(u"0x00 → 0x07"_s), qPrintable(lines[0]));
        QVERIFY2(lines[1].contains(u"お金"_s) && lines[1].endsWith(u"0x0A → 0x09"_s), qPrintable(lines[1]));
        // At the pane's first width a line is too long to show whole: the place is cut short,
        // its values keep a column of their own, and the whole line is the tooltip.
        QListView* view = Changes(form()).view();
        QVERIFY(view->fontMetrics().horizontalAdvance(lines[0]) > view->viewport()->width());
        for (int i = 0; i < lines.size(); ++i) {
            const QModelIndex index = view->model()->index(i, 0);
            const QString values = index.data(zor::ChangeListModel::ValuesRole).toString();
            QCOMPARE(index.data(zor::ChangeListModel::PlaceRole).toString() + u": "_s + values, lines[i]);
            QCOMPARE(index.data(Qt::ToolTipRole).toString(), lines[i]);
            const QRect room = Changes(form()).valuesRect(i);
            QVERIFY2(room.width() >= view->fontMetrics().horizontalAdvance(values) && view->viewport()->rect().contains(room),
                     qPrintable(values));
        }

        // The undo of the edit of 表 takes its line away; the redo brings it back.
        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(form()), lines.mid(1));
        Key(form(), Qt::Key_Y, Qt::ControlModifier);
        // A change of notation shows the lines again in it.
        QSignalSpy repainted(Changes(form()).model(), &QAbstractItemModel::dataChanged);
        Run(form(), "NotationDec");
        QCOMPARE(repainted.count(), 1);
        QVERIFY2(Lines(form())[0].endsWith(u": 0 → 7"_s), qPrintable(Lines(form())[0]));
        Run(form(), "NotationHex");

        // From another data set and tab, a double-click goes back to the cell.
        DataSets(form()).setCurrentIndex(1);
        ClickTab(form(), 3);
        DoubleClick(form(), 0);
        QCOMPARE(std::tuple(Tabs(form()).SelectedIndex(), DataSets(form()).currentIndex(), grid.Row(), grid.Col()), std::tuple(1, 2, 2, 1));
        Perform(form(), "#3 !Save");
        QCOMPARE(Lines(form()), QStringList{zor::ChangeListModel::EmptyText()});
        DoubleClick(form(), 0); // the empty line shows nothing
        QCOMPARE(Tabs(form()).SelectedIndex(), 3);

        // Closed, the list catches up when shown again.
        Changes(form()).close(); // as its own close button does
        QVERIFY(!Item(form(), "ShowChanges").isChecked());
        grid.setRow(2);
        Perform(form(), "!NewRow @4,2");
        Type(form(), grid.TextMatrix(4, 2) == u"0x01"_s ? "2\r" : "1\r");
        Run(form(), "ShowChanges");
        const QStringList caught = Lines(form());
        QCOMPARE(caught.size(), 2);
        QVERIFY2(caught[0].contains(u"レコード 2"_s) && caught[0].endsWith(u"追加"_s), qPrintable(caught[0]));
        QVERIFY2(caught[1].contains(u"レコード 4"_s) && caught[1].contains(u"項目2"_s), qPrintable(caught[1]));

        // While shown, a row command moves the lines with their rows, and its undo moves them back.
        // What a paste or a cut adds is the change list's to check (tests/compare).
        grid.setRow(1);
        Run(form(), "NewRow");
        const QStringList moved = Lines(form());
        QCOMPARE(moved.size(), 3);
        QVERIFY2(moved[1].contains(u"レコード 3"_s) && moved[2].contains(u"レコード 5"_s), qPrintable(moved.join(u'\n')));
        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(form()), caught);
    }

    void colourByValueFollowsAnEditAndKeepsTheMarks()
    {
        zor::FlexGrid& grid = Grid(form());
        ShowTable(form(), 2, 1); // 力 holds 0x80, 0, 0
        QVERIFY(!Item(form(), "ColourByValue").isChecked() && !grid.model()->index(0, 0).data(Qt::BackgroundRole).isValid());
        Run(form(), "ColourByValue");
        QVERIFY(QSettings().value(QLatin1StringView(zor::ValueViews::kColourByValueKey)).toBool());
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(1.0));
        QCOMPARE(Background(grid, 2, 1), zor::ValueColours::colourOf(0.0));

        // 0xFF widens the range: the whole column is drawn again, and 0x80 is no longer its top.
        const Redraws redrawn(grid);
        Type(form(), "0xff\r");
        QVERIFY(redrawn.of(1, 1) && redrawn.of(3, 1));
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(128.0 / 255.0));
        QCOMPARE(Background(grid, 2, 1), zor::ValueColours::colourOf(1.0));
        // The changed cell keeps its shade and shows its mark in the corner, over the highlight too.
        const QImage shot = grid.viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(grid.visualRect(grid.model()->index(1, 0)).topLeft() + QPoint(1, 1)), zor::FlexGrid::markCornerColour());

        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Background(grid, 1, 1), zor::ValueColours::colourOf(1.0));
        Run(form(), "ColourByValue"); // off again: colour is no change of the document
        QVERIFY(!Modified(form()) && !grid.model()->index(0, 0).data(Qt::BackgroundRole).isValid());
        Run(form(), "ColourByValue");
        QVERIFY(Item(*Open().form, "ColourByValue").isChecked()); // a window made later remembers it
        QSettings().setValue(QLatin1StringView(zor::ValueViews::kColourByValueKey), false);
    }

    void theChartFollowsTheCursorsColumnAndEdits()
    {
        zor::FlexGrid& grid = Grid(form());
        zor::ChartDock& chart = Control<zor::ChartDock>(form(), "ChartDock");
        ShowTable(form(), 2, 2); // とても長い見出し (unsigned) holds 0, 5, 0
        const int height = form().height();
        Run(form(), "ShowChart");
        QCoreApplication::processEvents();
        QVERIFY(Item(form(), "ShowChart").isChecked() && form().height() > height);
        QCOMPARE(chart.chart()->title(), u"表 / とても長い見出し"_s);
        QCOMPARE(chart.line()->points(), (QList<QPointF>{{0, 0}, {1, 5}, {2, 0}}));
        QCOMPARE(chart.markedPoint(), QPointF(1, 5));
        QCOMPARE(chart.marker()->pos(), chart.chart()->mapToPosition(QPointF(1, 5), chart.line()));

        // Down moves the marker alone; an edit moves the line.
        QSignalSpy lineReplaced(chart.line(), &QXYSeries::pointsReplaced);
        Key(form(), Qt::Key_Down);
        QCoreApplication::processEvents();
        QCOMPARE(std::pair(chart.markedPoint(), lineReplaced.count()), std::pair(std::optional(QPointF(2, 0)), qsizetype(0)));
        Type(form(), "48\r");
        QCoreApplication::processEvents();
        QCOMPARE(std::pair(chart.line()->points().last(), chart.markedPoint()), std::pair(QPointF(2, 48), std::optional(QPointF(2, 48))));
        grid.setCol(1);
        QCoreApplication::processEvents();
        QCOMPARE(chart.chart()->title(), u"表 / 力"_s);
        // A click near ID 1's point puts the cursor on its row.
        const QPointF at = chart.chart()->mapToPosition(QPointF(1.2, 100), chart.line());
        QTest::mouseClick(chart.view()->viewport(), Qt::LeftButton, {}, chart.view()->mapFromScene(chart.chart()->mapToScene(at)));
        QCOMPARE(std::pair(grid.Row(), grid.Col()), std::pair(2, 1));

        chart.close();
        QVERIFY(!Item(form(), "ShowChart").isChecked());
    }
};

int RunViewTests(int argc, char** argv)
{
    ViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ViewTest.moc"