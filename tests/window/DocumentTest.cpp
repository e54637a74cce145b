// The window over an open document: each command reached as a user would, its result on the controls and files.

#include "core/edit/EditHistory.h"
#include "core/patch/Patch.h"
#include "core/document/CellBytes.h"
#include "core/view/CellInput.h"
#include "core/view/Conversions.h"
#include "core/view/TabView.h"
#include "tests/window/Harness.h"
#include "window/Application.h"
#include "window/CellChoices.h"
#include "window/CellEditing.h"
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
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QToolTip>

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

QStringList Texts(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int i = 0; i < model.rowCount(); ++i)
        texts << model.index(i, 0).data().toString();
    return texts;
}

QStringList Items(const QComboBox& box) { return Texts(*box.model()); }
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

QStringList Lines(const Form1& form) { return Texts(*Changes(form).view()->model()); }

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

// Sets one field (from 1) of one line (from 1) of an exported CP932 file.
void SetCsvField(const QString& path, int line, int field, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines = zor::DecodeCp932(file.readAll()).text.split(u"\r\n"_s);
    file.close();
    QStringList fields = lines[line - 1].split(u',');
    fields[field - 1] = text;
    lines[line - 1] = fields.join(u',');
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(*zor::EncodeCp932(lines.join(u"\r\n"_s)));
}

// The value of a cell of 表 as the document holds it.
std::uint32_t Value(Form1& form, int row, int col) { return zor::CellValueOf(Doc(form), {zor::TabIdSection, 2, col, row}).value_or(~0U); }

// 表's first section holds an ID of クラス (a name two IDs share, one of full-width letters), its second a byte of flags.
void TypeTheTable(const Opened& o)
{
    o.folder->write(u"m/クラス.idn"_s, u"なし|戦士|魔法使い|戦士|ＡＢＣ"_s);
    o.folder->write(u"m/表.ini"_s, u"[Notation]|Section2=10|[ColWidth]|Section0=1500|[Names]|Section1=クラス|[Bits]|Section2=装備可,,呪い|"_s);
    o.reread();
}

qsizetype ChangeLines(const Form1& form) { return Control<zor::ChangesPanel>(form, "ChangesPanel").model()->list().size(); }

struct Cell {
    int row, col;
    const char16_t* text;
};

struct Command {
    const char* name;
    const char* steps;
    std::vector<Cell> cells;        // texts afterwards; a cell whose text changed must have been drawn again
    const char16_t* status;         // the status bar's message; nullptr: not checked
    const char16_t* told = nullptr; // a part of the one message shown; nullptr: none
    bool modified = false;
    std::function<void(Opened&)> prepare = {};
    const char* at = nullptr; // the tab, the cursor and the selection's other corner afterwards, as "#1 @r,c:r2,c2"
    const char16_t* file = u"x.rom"; // the open file the title names
};

// The answers a dialog gives, or the clipboard's text, before a command.
auto Clipboard(const QString& text) { return [text](Opened&) { QGuiApplication::clipboard()->setText(text); }; }
auto Values(zor::SelectionOperation operation, const QString& text)
{
    return [=](Opened& o) { o.dialogs->selectionAnswers = {{zor::SelectionOperation::Add, u"abc"_s}, {operation, text}}; };
}
auto Places(QStringList places) { return [=](Opened& o) { o.dialogs->places = {places.begin(), places.end()}; }; }
auto LargeStep(QMessageBox::StandardButton answer)
{
    return [=](Opened& o) {
        zor::EditHistory small(2);
        small.TakeBaseline(Doc(*o.form));
        *Doc(*o.form).History = small;
        o.dialogs->answers = {answer};
    };
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT

    Opened o; // a window over the test folder's image, opened afresh for each case
    Form1& form() const { return *o.form; }

private Q_SLOTS:
    void init() { o = Open(); }
    void cleanup() { o.form.reset(); } // the window goes before its folder

    void openingShowsTheFirstDataSetAndEachTabItsTable()
    {
        zor::FlexGrid& grid = Grid(form());
        QCOMPARE(std::pair(Items(DataSets(form())), DataSets(form()).currentIndex()), std::pair(QStringList{u"m"_s, u"クラス"_s, u"表"_s}, 1));
        DataSets(form()).setCurrentIndex(2);
        QCOMPARE(std::tuple(grid.isEnabled(), Note(form()).isEnabled(), grid.Rows(), grid.Cols()), std::tuple(true, true, 4, 3));
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
        ClickTab(form(), 1);
        QCOMPARE(std::tuple(DataSets(form()).count(), DataSets(form()).currentIndex(), grid.ColWidth(1)), std::tuple(3, 2, 2000));
    }

    void aTypedColumnFitsItsValuesWithoutStoringTheFit()
    {
        o.folder->write(u"m/表.ini"_s, u"[Notation]|Section2=10|[ColWidth]|Section0=1500|[Step]|Section1=2|[Size]|Section1=2|[Names]|Section2=クラス|"_s);
        o.folder->write(u"m/敵パラメータ.ini"_s, u"[Size]|Section3=2|"_s);
        o.reread();
        zor::FlexGrid& grid = Grid(form());
        ShowTable(form());
        const int hex = grid.ColWidth(1); // "0x0080" is wider than 力's heading
        QVERIFY(hex > 600);
        ClickTab(form(), 2);
        ClickTab(form(), 1);
        QCOMPARE(std::pair(o.folder->ini("m/表.ini", "ColWidth", "Section1"), grid.ColWidth(1)), std::pair(QString(), hex));
        Run(form(), "NotationDec"); // "65535" fits anew
        QVERIFY(grid.ColWidth(1) < hex);
        grid.setColWidth(1, 2000); // as a drag would leave it
        ClickTab(form(), 2);
        QCOMPARE(o.folder->ini("m/表.ini", "ColWidth", "Section1"), u"2000"_s);
        // Battle byte 4 lies inside field 3: greyed.
        ClickTab(form(), 3);
        QCOMPARE(std::tuple(grid.ColGreyed(3), grid.ColGreyed(4), grid.model()->index(0, 3).data(Qt::ForegroundRole).value<QBrush>()),
                 std::tuple(false, true, grid.palette().brush(QPalette::Disabled, QPalette::Text)));
        // The names a Names column shows are found one after another: なし, 5 (no such class), なし.
        ClickTab(form(), 1);
        Key(form(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(Find(form(), u"なし"_s), std::pair(1, 2));
        QCOMPARE(Find(form(), u"なし"_s), std::pair(3, 2));
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
        Perform(form(), "Shift+Left Shift+Left");
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
        QCOMPARE(std::pair(Notation(form()), o.folder->ini("m/表.ini", "Notation", "Section2")), std::pair(u"NotationCodeDec"_s, u"-10"_s));
        // A command the open editor holds back leaves the check on the notation shown.
        Perform(form(), "F !NotationDec");
        QCOMPARE(std::pair(Editor(form()).isVisible(), Notation(form())), std::pair(true, u"NotationCodeDec"_s));
        QTest::keyClick(&Editor(form()), Qt::Key_Escape);
        // A settings file that can't be written: the table shows the notation all the same, and says so.
        QFile::remove(o.folder->file(u"m/表.ini"_s));
        QVERIFY(QDir(o.folder->dir.path()).mkpath(u"m/表.ini"_s));
        Run(form(), "NotationHex");
        QCOMPARE(Grid(form()).TextMatrix(2, 2), u"0x05"_s);
        QTRY_COMPARE(o.dialogs->messages.size(), std::size_t(1));
        // The mode's name shows no table: no section, no notation.
        DataSets(form()).setCurrentIndex(0);
        QCOMPARE(std::tuple(Grid(form()).isEnabled(), Note(form()).isEnabled(), Notation(form())), std::tuple(false, false, u" off"_s));
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
        Perform(form(), "#3 @2,2:3,3");
        // Inside the selection nothing moves, and the menu's copy takes the whole selection.
        rightClick(grid.viewport(), CellCenter(grid, 3, 3));
        QTRY_VERIFY(edit.isVisible());
        QCOMPARE(edit.geometry().topLeft(), grid.viewport()->mapToGlobal(CellCenter(grid, 3, 3)));
        QCOMPARE(place(), std::tuple(2, 2, 3, 3));
        QTest::mouseClick(&edit, Qt::LeftButton, {}, edit.actionGeometry(&Item(form(), "Cope")).center());
        QTRY_VERIFY(!edit.isVisible());
        QCOMPARE(std::pair(form().control().clipboard().cols(), form().control().clipboard().rows()), std::pair(2, 2));
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
        QCOMPARE(std::pair(edit.isVisible(), place()), std::pair(false, std::tuple(5, 4, 5, 4)));
    }

    void theStatusBarDescribesTheCellAndTheBattleBlocksAreShaded()
    {
        QVERIFY(CellStatus(*MakeForm().first).isEmpty());
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
        QVERIFY(Exposed(dialog));
        QTest::keyClicks(dialog.field(), u"bad"_s);
        QTest::keyClick(dialog.field(), Qt::Key_Return);
        QCOMPARE(std::pair(dialog.isVisible(), dialog.reason()->text()), std::pair(true, refused));
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
        QCOMPARE(std::pair(dialog.result(), asked), std::pair(int(QDialog::Accepted), QStringList{u"bad"_s, u"ok"_s}));
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
        // At the pane's first width the place is cut short; the values keep a column, the tooltip the whole.
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

        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(form()), lines.mid(1));
        Key(form(), Qt::Key_Y, Qt::ControlModifier);
        QSignalSpy repainted(Changes(form()).model(), &QAbstractItemModel::dataChanged);
        Run(form(), "NotationDec");
        QCOMPARE(repainted.count(), 1);
        QVERIFY2(Lines(form())[0].endsWith(u": 0 → 7"_s), qPrintable(Lines(form())[0]));
        Run(form(), "NotationHex");

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

    void keysOpenTheEditorAsTheTableSays()
    {
        zor::FlexGrid& grid = Grid(form());
        zor::CellEditor& editor = Editor(form());
        ShowTable(form());
        const auto key = [&grid](Qt::Key k) { return [&grid, k] { QTest::keyClick(&grid, k); }; };
        const auto doubleClick = [&grid] {
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 1));
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 1));
        };
        using Case = std::tuple<const char*, std::function<void()>, QString, bool>; // the text shown, and whether selected
        for (const auto& [name, press, text, selected] : std::vector<Case>{
                 {"digit", key(Qt::Key_5), u"5"_s, false}, {"space", key(Qt::Key_Space), u"0x80"_s, false},
                 {"enter", key(Qt::Key_Return), u"0x80"_s, true}, {"F2", key(Qt::Key_F2), u"0x80"_s, true},
                 {"double-click", doubleClick, u"0x80"_s, true}, {"delete", key(Qt::Key_Delete), QString(), false},
                 {"backspace", key(Qt::Key_Backspace), QString(), false}}) {
            grid.setFocus();
            press();
            QVERIFY2(editor.isVisible() && editor.hasFocus(), name);
            QCOMPARE(std::tuple(editor.text(), editor.selectedText(), editor.cursorPosition()),
                     std::tuple(text, selected ? text : QString(), text.size()));
            const QPoint cell = grid.visualRect(grid.model()->index(0, 0)).topLeft() + grid.viewport()->mapTo(form().centralWidget(), QPoint());
            QVERIFY2((editor.geometry().topLeft() - cell).manhattanLength() <= 2, name); // over the cell
            QTest::keyClick(&editor, Qt::Key_Escape);
            QVERIFY2(!editor.isVisible() && grid.hasFocus() && grid.TextMatrix(1, 1) == u"0x80"_s, name);
            QVERIFY2(!Modified(form()) && !Item(form(), "andou").isEnabled(), name);
        }
        QTest::keyClick(&grid, Qt::Key_Escape); // other control codes open nothing
        QVERIFY(!editor.isVisible());
        // An input method's composing opens it empty; full-width digits read as their half-width forms.
        QInputMethodEvent compose(u"じゅう"_s, {});
        QCoreApplication::sendEvent(&grid, &compose);
        QVERIFY(editor.isVisible() && editor.text().isEmpty());
        QInputMethodEvent commit;
        commit.setCommitString(u"１０"_s);
        QCoreApplication::sendEvent(&editor, &commit);
        QCOMPARE(editor.text(), u"１０"_s);
        Type(form(), "\r");
        QCOMPARE(grid.TextMatrix(1, 1), u"0x0A"_s);
    }

    void enterCommitsAndUpDownMoveOn()
    {
        zor::FlexGrid& grid = Grid(form());
        ShowTable(form(), 1, 2);
        Type(form(), "200");
        QCOMPARE(grid.TextMatrix(1, 2), u"0"_s); // the old text until the commit, a row of the command table
        Type(form(), "\r");
        // Up on the first row commits and stays; Down commits and moves on, but not past the last row.
        for (const auto& [typed, key, row, rowAfter] : {std::tuple("3", Qt::Key_Up, 1, 1), {"4", Qt::Key_Down, 1, 2}, {"6", Qt::Key_Down, 3, 3}}) {
            grid.setRow(row);
            Type(form(), typed);
            QTest::keyClick(&Editor(form()), key);
            QCOMPARE(std::pair(grid.TextMatrix(row, 2), grid.Row()), std::pair(QString::fromLatin1(typed), rowAfter));
        }
        // On the battle tab, Down onto the first row not wholly in view scrolls by one row.
        ClickTab(form(), 3);
        int last = 1; // the last row wholly in view
        while (grid.visualRect(grid.model()->index(last, 0)).bottom() < grid.viewport()->height())
            ++last;
        grid.setRow(last - 1);
        for (const int row : {last, last + 1}) {
            Type(form(), "1");
            QTest::keyClick(&Editor(form()), Qt::Key_Down);
            QCOMPARE(std::pair(grid.Row(), grid.TopRow()), std::pair(row, row - last + 1));
        }
    }

    void focusDecidesWhenAnEditCommits()
    {
        zor::FlexGrid& grid = Grid(form());
        zor::CellEditor& editor = Editor(form());
        // A menu closed with Escape leaves the edit open.
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        ShowTable(form());
        Type(form(), "12");
        QMenu& edit = Control<QMenu>(form(), "Edit");
        QTest::mouseClick(form().menuBar(), Qt::LeftButton, {}, form().menuBar()->actionGeometry(edit.menuAction()).center());
        QTRY_VERIFY(edit.isVisible());
        QTest::keyClick(&edit, Qt::Key_Escape);
        QTRY_VERIFY(!edit.isVisible());
        // The offscreen platform deactivates the window as a popup closes: the focus comes back with it.
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        QTRY_VERIFY(editor.isVisible() && editor.hasFocus());
        Type(form(), "3\r");
        QCOMPARE(grid.TextMatrix(1, 1), u"0x7B"_s);
        Type(form(), "12");
        for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
            QFocusEvent out(QEvent::FocusOut, reason);
            QCoreApplication::sendEvent(&editor, &out);
            QVERIFY(editor.isVisible() && editor.text() == u"12"_s);
        }
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 2, 2));
        QCOMPARE(std::tuple(editor.isVisible(), grid.TextMatrix(1, 1), grid.Row(), grid.Col()), std::tuple(false, u"0x0C"_s, 2, 2));
        // A tab change commits before the view left is stored, a notation command in the notation it sets.
        Type(form(), "0x21");
        Perform(form(), "#2 #1");
        Type(form(), "255");
        Run(form(), "NotationCodeDec");
        QCOMPARE(std::pair(grid.TextMatrix(2, 2), editor.isVisible()), std::pair(u"-1"_s, false));
    }

    void unreadableTextAndUnwritableCellsNeverReachTheDocument()
    {
        o.dialogs->messagesExpected = true;
        zor::CellEditor& editor = Editor(form());
        ShowTable(form());
        // Enter, Down, a tab change and a save keep the editor open on its text, selected, and do nothing else.
        Type(form(), "FF");
        for (const std::function<void()>& command : std::vector<std::function<void()>>{
                 [&] { QTest::keyClick(&editor, Qt::Key_Return); }, [&] { QTest::keyClick(&editor, Qt::Key_Down); },
                 [&] { ClickTab(form(), 2); }, [&] { Run(form(), "Save"); }}) {
            command();
            QVERIFY(editor.isVisible() && editor.hasFocus() && editor.selectedText() == u"FF"_s);
            QVERIFY(QToolTip::text().contains(zor::CellTextForms()));
        }
        QCOMPARE(std::tuple(Tabs(form()).SelectedIndex(), Grid(form()).Row(), Grid(form()).TextMatrix(1, 1)), std::tuple(1, 1, u"0x80"_s));
        QVERIFY(!QFile::exists(o.folder->file(u"x.rom.bak"_s)) && o.dialogs->messages.empty());
        // A click elsewhere nobody asked to commit: the edit goes, the cell keeps its byte.
        QToolTip::hideText();
        QTest::mouseClick(Note(form()).viewport(), Qt::LeftButton);
        QVERIFY(!editor.isVisible() && QToolTip::text().contains(zor::CellTextForms()));
        QVERIFY(Grid(form()).TextMatrix(1, 1) == u"0x80"_s && !Modified(form()));
        Grid(form()).setFocus();
        Type(form(), "0x5\r");
        QCOMPARE(Grid(form()).TextMatrix(1, 1), u"0x05"_s);

        // A cell whose section can't be read opens no editor, and says why.
        o.folder->write(u"m/読.idn"_s, u"あ|い"_s);
        o.folder->write(u"m/読.sna"_s, u"ZZ|壊れた|200|良い|"_s);
        o.dialogs->answers = {QMessageBox::No}; // the edit above goes unsaved
        o.reread();
        o.dialogs->messages.clear(); // the load's report of the offset
        DataSets(form()).setCurrentIndex(3);
        QToolTip::hideText();
        Key(form(), Qt::Key_5);
        QVERIFY(!Editor(form()).isVisible() && QToolTip::text().contains(u"壊れた"_s));
        Perform(form(), "@1,2 Ctrl+C @1,1 Ctrl+V");
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));
        QVERIFY(o.dialogs->messages.front().text.contains(u"壊れた"_s) && !Modified(form()));
    }

    void textBoxesKeepTheirOwnShortcuts()
    {
        zor::CellEditor& editor = Editor(form());
        ShowTable(form());
        Perform(form(), "=7 Return"); // a step the menu could undo, and the editor open
        QStringList texts;
        for (const Qt::Key key : {Qt::Key_C, Qt::Key_End, Qt::Key_V, Qt::Key_Z, Qt::Key_Y}) {
            Key(form(), key, key == Qt::Key_End ? Qt::NoModifier : Qt::ControlModifier);
            texts << editor.text();
        }
        QCOMPARE(texts.mid(2), (QStringList{u"0x070x07"_s, u"0x07"_s, u"0x070x07"_s}));
        // The cell commands, from the menu too, leave the cells alone while a text box has the focus.
        Perform(form(), "!Cope !andou");
        QTest::keyClick(&editor, Qt::Key_Escape);
        Note(form()).setFocus();
        Run(form(), "andou");
        QTest::keyClicks(&Note(form()), u"ab"_s);
        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Note(form()).toPlainText().size() < 2);
        Perform(form(), "Ctrl+A Ctrl+X Ctrl+V");
        QCOMPARE(std::pair(form().control().clipboard().cols(), Grid(form()).TextMatrix(1, 1)), std::pair(0, u"0x07"_s));
    }

    void undoAndRedoBringBackTheirPlace()
    {
        // The data set box follows a step's place without storing the grid's widths; the set left stores its own.
        zor::FlexGrid& grid = Grid(form());
        Perform(form(), "#3 Ctrl+End");
        const std::pair last(grid.Row(), grid.Col());
        Perform(form(), "=7 #1");
        ShowTable(form());
        Type(form(), "9\r");
        DataSets(form()).setCurrentIndex(1);
        grid.setColWidth(1, 1900);
        grid.setFocus();
        QSignalSpy chosen(&DataSets(form()), &QComboBox::currentIndexChanged);
        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(std::tuple(DataSets(form()).currentText(), grid.Row(), grid.TextMatrix(1, 1), chosen.count()),
                 std::tuple(u"表"_s, 1, u"0x80"_s, 0));
        QCOMPARE(o.folder->ini("m/クラス.ini", "ColWidth", "Section1"), u"1900"_s);
        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(std::tuple(Tabs(form()).SelectedIndex(), grid.Row(), grid.Col()), std::tuple(3, last.first, last.second));
        QVERIFY(grid.RowIsVisible(last.first) && grid.isEnabled());
        QVERIFY(!Modified(form()) && !Item(form(), "andou").isEnabled() && Item(form(), "redou").isEnabled());
    }

    void changedCellsAreMarkedAndRowCommandsApplyOnTheBattleTabOnly()
    {
        zor::FlexGrid& grid = Grid(form());
        const auto marked = [&](int row, int col) { return grid.model()->index(row - 1, col - 1).data(Qt::BackgroundRole).isValid(); };
        const auto rowItems = [&] { return std::pair(Item(form(), "NewRow").isEnabled(), Item(form(), "DeleteRow").isEnabled()); };
        ShowTable(form());
        Type(form(), "0x33\r");
        QVERIFY(marked(1, 1) && !marked(1, 2) && !marked(2, 1));
        QCOMPARE(rowItems(), std::pair(false, false));
        // An inserted battle row is marked whole; the rows around it keep their own marks.
        ClickTab(form(), 3);
        QCOMPARE(rowItems(), std::pair(true, true));
        const int rows = grid.Rows();
        grid.setRow(2);
        Run(form(), "NewRow");
        QCOMPARE(std::pair(grid.Rows(), grid.TextMatrix(2, 5)), std::pair(rows + 1, grid.TextMatrix(3, 5))); // the copy, before its record
        for (int col = 1; col <= 25; ++col)
            QVERIFY(marked(2, col));
        QVERIFY(!marked(1, 1) && !marked(3, 1));
    }

    void aPatchRunsFromAnOriginalToTheSavedImage()
    {
        o.dialogs->messagesExpected = true;
        const QString rom = o.folder->file(u"x.rom"_s);
        const QString original = o.folder->file(u"original.rom"_s);
        QVERIFY(QFile::copy(rom, original));
        const auto makePatch = [&](QMessageBox::StandardButton save, const QString& from, const QString& to) {
            o.dialogs->answers = {save};
            o.dialogs->openPaths = {from};
            o.dialogs->savePaths = {to};
            Run(form(), "MakePatch");
        };
        ShowTable(form(), 2, 2);
        Type(form(), "77\r");
        // Unsaved changes are asked about first; a name without an extension takes the filter's.
        makePatch(QMessageBox::Yes, original, o.folder->file(u"hack"_s));
        QCOMPARE(std::pair(o.dialogs->asked.size(), o.dialogs->messages.back().icon), std::pair(std::size_t(1), QMessageBox::Information));
        const zor::Result<QByteArray> applied = zor::ApplyPatch(ReadFile(o.folder->file(u"hack.bps"_s)), ReadFile(original));
        QVERIFY(applied && *applied == ReadFile(rom) && ReadFile(rom) != ReadFile(original));
        // The original is remembered; unsaved changes left out are told; equal images, or the .bak, give no patch.
        Type(form(), "78\r");
        makePatch(QMessageBox::No, rom, o.folder->file(u"again.bps"_s));
        QCOMPARE(o.dialogs->openStarts.back(), original);
        const QString told = o.dialogs->messages.back().text;
        QVERIFY2(told.contains(u"違いはありません"_s) && told.contains(u"保存していない変更はパッチに入っていません"_s), qPrintable(told));
        QVERIFY(!QFile::exists(o.folder->file(u"again.bps"_s)));
        const QByteArray backup = ReadFile(rom + u".bak"_s);
        makePatch(QMessageBox::No, original, rom + u".bak"_s);
        QVERIFY(o.dialogs->messages.back().icon == QMessageBox::Warning && ReadFile(rom + u".bak"_s) == backup);
    }

    void aHandlerThatThrowsKeepsTheDocument()
    {
        o.dialogs->messagesExpected = true;
        ShowTable(form(), 2, 2);
        o.dialogs->failOpen = true;
        Run(form(), "Read");
        QCOMPARE(std::pair(o.dialogs->messages.size(), o.dialogs->messages.front().icon), std::pair(std::size_t(1), QMessageBox::Critical));
        QCOMPARE(std::tuple(form().windowTitle(), Grid(form()).isEnabled(), Grid(form()).Row()), std::tuple(u"ZOR - x.rom"_s, true, 2));
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
        QCOMPARE(failed.front().front().toString(), u"thrown"_s);
    }

    void eachCommandShowsWhatItDid()
    {
        using zor::SelectionOperation;
        const std::vector<Command> commands{
            {"a commit", "@1,2 =200", {{1, 2, u"200"}}, nullptr, nullptr, true},
            {"an undo", "=7 Ctrl+Z", {{1, 1, u"0x80"}}, nullptr},
            {"a redo, by either key", "=7 Ctrl+Z Ctrl+Shift+Z =8 Ctrl+Z Ctrl+Y", {{1, 1, u"0x08"}}, nullptr, nullptr, true},
            {"a notation", "!NotationCodeDec", {{1, 1, u"-128"}, {2, 2, u"5"}}, u"セクション「力」を符号付き10進数表記にしました"},
            {"a notation on 個別データ, by its row", "#2 @2,1 !NotationDec", {{2, 1, u"0"}, {1, 1, u"0x0A"}}, u"セクション「レベル」を符号無し10進数表記にしました"},
            {"a copy pasted at the cursor", "@1,1:2,1 Ctrl+C @2,2:3,2 Ctrl+V", {{2, 2, u"128"}, {3, 2, u"0"}}, nullptr, nullptr, true},
            {"a cut", "@1,1:2,2 Ctrl+X", {{1, 1, u"0x00"}, {2, 2, u"0"}}, nullptr, nullptr, true},
            {"a cut larger than the history, declined", "@1,1:2,2 Ctrl+X", {{1, 1, u"0x80"}}, nullptr, nullptr, false, LargeStep(QMessageBox::No)},
            {"a cut larger than the history, taken", "@1,1:2,2 Ctrl+X", {{2, 2, u"0"}}, nullptr, nullptr, true, LargeStep(QMessageBox::Yes)},
            {"another program's text, one value for the selection", "@2,1:3,2 Ctrl+V", {{2, 1, u"0x09"}, {3, 2, u"9"}}, nullptr, nullptr, true,
             Clipboard(u"9"_s)},
            {"a text paste, clipped", "@3,2 Ctrl+Shift+V", {{3, 2, u"1"}}, u"1 個のセルにテキストを貼り付けました", nullptr, true,
             Clipboard(u"1\t2\n3\t4\n"_s), "#1 @3,2:3,2"},
            {"a text paste that can't be read", "Ctrl+Shift+V", {{1, 1, u"0x80"}}, nullptr, u"zz", false, Clipboard(u"5\t6\n7\tzz\n"_s)},
            {"values for a selection", "@1,1:3,1 !SelectionValues", {{1, 1, u"0xFF"}, {3, 1, u"0xC8"}},
             u"3 個のセルの値を変えました。1 個のセルを範囲内に収めました", nullptr, true, Values(SelectionOperation::Add, u"200"_s), "#1 @1,1:3,1"},
            {"values a battle record refuses", "#3 !SelectionValues", {}, nullptr, u"レコード 1", false, Values(SelectionOperation::Set, u"0"_s)},
            {"a row added", "#3 @2,1 !NewRow", {}, u"レコード 2 を追加しました", nullptr, true},
            {"a row deleted", "#3 @2,1 !NewRow @3,1 !DeleteRow", {}, u"レコード 3 を削除しました", nullptr, true},
            {"the only record of a block, kept", "#3 @3,1 !DeleteRow", {}, nullptr, u"ただ 1 件のレコード", false},
            {"a save of an edit left open", "9 Ctrl+S", {{1, 1, u"0x09"}}, u"上書き保存しました"},
            {"a save as", "=8 !SaveAs", {{1, 1, u"0x08"}}, u"「新しい.rom」に保存しました", nullptr, false,
             [](Opened& o) { o.dialogs->savePaths = {o.folder->file(u"新しい.rom"_s)}; }, nullptr, u"新しい.rom"},
            {"a go to", "#2 Ctrl+G", {}, nullptr, nullptr, false, Places({u"$80:7FFF"_s, u"$80:8211"_s}), "#1 @2,2:2,2"},
            {"a find", "Ctrl+F =5", {}, u"値「5」のセルを見つけました", nullptr, false, {}, "#1 @2,2:2,2"},
            {"a find of nothing", "Ctrl+F =Z", {}, u"「Z」は見つかりません", nullptr, false, {}, "#1 @1,1:1,1"},
        };
        for (const Command& c : commands) {
            o.form.reset(); // the window goes before its folder
            o = Open(true);
            Form1& form = *o.form;
            ShowTable(form);
            if (c.prepare)
                c.prepare(o);
            const zor::FlexGrid& grid = Grid(form);
            QStringList before;
            for (const Cell& cell : c.cells)
                before << (cell.row < grid.Rows() && cell.col < grid.Cols() ? grid.TextMatrix(cell.row, cell.col) : QString());
            const Redraws redrawn(grid);
            const QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
            Perform(form, c.steps);
            for (std::size_t i = 0; i < c.cells.size(); ++i) {
                const Cell& cell = c.cells[i];
                QCOMPARE(grid.TextMatrix(cell.row, cell.col), QString::fromUtf16(cell.text));
                QVERIFY2(before[qsizetype(i)] == grid.TextMatrix(cell.row, cell.col) || redrawn.of(cell.row, cell.col), c.name);
            }
            if (c.status)
                QCOMPARE(Status(form), QString::fromUtf16(c.status));
            QCOMPARE(o.dialogs->messages.size(), std::size_t(c.told ? 1 : 0));
            QVERIFY2(!c.told || o.dialogs->messages[0].text.contains(QString::fromUtf16(c.told)), c.name);
            QCOMPARE(form.windowTitle(), u"ZOR - "_s + QString::fromUtf16(c.file) + (c.modified ? u"*"_s : QString()));
            QVERIFY2(o.dialogs->answers.empty() && o.dialogs->selectionAnswers.empty() && o.dialogs->savePaths.empty(), c.name);
            if (c.at)
                QCOMPARE(u"#%1 @%2,%3:%4,%5"_s.arg(Tabs(form).SelectedIndex()).arg(grid.Row()).arg(grid.Col()).arg(grid.RowSel()).arg(grid.ColSel()),
                         QString::fromLatin1(c.at));
        }
    }

    void anImportIsPreviewedTakenBackWithOneUndoOrRefused()
    {
        o.dialogs->messagesExpected = true;
        const QString home = o.folder->dir.path();
        const QString table = o.folder->file(u"表.csv"_s);
        Perform(form(), "!ShowChanges !OpCSV"); // the list follows the commands while it is open
        QCOMPARE(Status(form()), u"CSVファイルを %1 に保存しました"_s.arg(QDir::toNativeSeparators(home)));
        ShowTable(form(), 2, 1);
        o.dialogs->folders = {home, home, home, home, home, home};
        Run(form(), "ImportCSV"); // nothing differs: said, and no preview
        QCOMPARE(std::pair(o.dialogs->messages.back().text, o.dialogs->folderStarts), std::pair(u"変更はありません"_s, std::vector<QString>{home}));

        SetCsvField(table, 2, 2, u"0x1F"_s);
        SetCsvField(o.folder->file(u"個別データ.csv"_s), 1, 2, u"0x63"_s);
        o.dialogs->importAnswers = {false, true};
        Run(form(), "ImportCSV");
        QCOMPARE(std::pair(o.dialogs->previews.at(0).changes(), Modified(form())), std::pair(2, false));
        // Taken: one step over two tables, the grid refilled, the cursor where it was.
        Run(form(), "ImportCSV");
        QCOMPARE(std::pair(Grid(form()).TextMatrix(1, 1), Grid(form()).Row()), std::pair(u"0x1F"_s, 2));
        QCOMPARE(std::pair(ChangeLines(form()), Status(form())), std::pair(qsizetype(2), u"CSVから 2 件の変更を読み込みました"_s));
        Key(form(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!Modified(form()) && !Item(form(), "andou").isEnabled());
        QCOMPARE(ChangeLines(form()), 0);

        SetCsvField(table, 3, 3, u"zz"_s);
        Run(form(), "ImportCSV");
        QCOMPARE(o.dialogs->messages.back().icon, QMessageBox::Warning);
        QVERIFY2(o.dialogs->messages.back().text.contains(u"表.csv:3:3:"_s), qPrintable(o.dialogs->messages.back().text));
        QVERIFY(o.dialogs->previews.size() == 2 && !Modified(form()));

        // More than the history keeps: asked after the preview; No leaves the cells as they are.
        SetCsvField(table, 3, 3, u"5"_s);
        zor::EditHistory none(0);
        none.TakeBaseline(Doc(form()));
        *Doc(form()).History = none;
        o.dialogs->importAnswers = {true, true};
        o.dialogs->answers = {QMessageBox::No, QMessageBox::Yes};
        Run(form(), "ImportCSV");
        QCOMPARE(o.dialogs->asked.size(), std::size_t(1));
        QVERIFY(Grid(form()).TextMatrix(1, 1) == u"0x80"_s && !Modified(form()));
        Run(form(), "ImportCSV");
        QVERIFY(Grid(form()).TextMatrix(1, 1) == u"0x1F"_s && Modified(form()) && !Item(form(), "andou").isEnabled());
    }

    void copiesGoToTheSystemClipboardAndForeignTextIsPasted()
    {
        zor::FlexGrid& grid = Grid(form());
        QClipboard& clipboard = *QGuiApplication::clipboard();
        Run(form(), "ShowChanges");
        ShowTable(form());
        Perform(form(), "@1,2 =255 @1,1:2,2 Ctrl+C");
        QCOMPARE(clipboard.text(), u"0x80\t255\n0x00\t5\n"_s);
        // ZOR's own text back with other line breaks: the cell clipboard is pasted, one block at the cursor.
        Perform(form(), "@1,1 Ctrl+C");
        clipboard.setText(u"0x80\r\n"_s);
        Perform(form(), "@2,1:3,2 Ctrl+V");
        QCOMPARE((QStringList{grid.TextMatrix(2, 1), grid.TextMatrix(3, 2)}), (QStringList{u"0x80"_s, u"0"_s}));
        QCOMPARE(ChangeLines(form()), 2); // the open list follows a paste
        // A cut puts the cells' texts as they were shown before it zeroed them.
        Perform(form(), "@1,1 Ctrl+X");
        QCOMPARE(clipboard.text(), u"0x80\n"_s);
    }

    void hexadecimalColumnsTakeBareHexadecimalWhenAskedAndRememberIt()
    {
        QSettings().remove(QLatin1StringView(zor::CellEditing::kHexColumnsKey));
        o = Open();
        zor::FlexGrid& grid = Grid(form());
        const QLabel& said = Control<QLabel>(form(), "HexColumnsLabel");
        ShowTable(form(), 1, 1); // 力 is hexadecimal, とても長い見出し unsigned
        QVERIFY(!Item(form(), "HexColumns").isChecked() && !said.isVisibleTo(&form()));
        Type(form(), "10\r");
        QCOMPARE(grid.TextMatrix(1, 1), u"0x0A"_s);
        Run(form(), "HexColumns");
        QVERIFY(said.isVisibleTo(&form()) && QSettings().value(QLatin1StringView(zor::CellEditing::kHexColumnsKey)).toBool());
        Perform(form(), "=10 @1,2 =10");
        QCOMPARE(std::pair(grid.TextMatrix(1, 1), grid.TextMatrix(1, 2)), std::pair(u"0x10"_s, u"10"_s));
        // A refusal says how bare digits read; a text paste reads so too, but only in hexadecimal columns.
        Perform(form(), "@1,1 =123");
        QVERIFY(QToolTip::text().contains(u"0x を付けない16進数（2桁まで）"_s));
        Key(form(), Qt::Key_Escape);
        o.dialogs->messagesExpected = true;
        QGuiApplication::clipboard()->setText(u"2A\t2A"_s);
        Perform(form(), "@2,1 !PasteText");
        QCOMPARE(std::pair(grid.TextMatrix(2, 1), o.dialogs->messages.size()), std::pair(u"0x00"_s, std::size_t(1)));
        QGuiApplication::clipboard()->setText(u"2A\t7"_s);
        Perform(form(), "@2,1 !PasteText");
        QCOMPARE(std::pair(grid.TextMatrix(2, 1), grid.TextMatrix(2, 2)), std::pair(u"0x2A"_s, u"7"_s));
        // A window made later keeps it on, until it is turned off.
        const Opened later = Open();
        QVERIFY(Item(*later.form, "HexColumns").isChecked() && Control<QLabel>(*later.form, "HexColumnsLabel").isVisibleTo(later.form.get()));
        Run(*later.form, "HexColumns");
        QVERIFY(!QSettings().value(QLatin1StringView(zor::CellEditing::kHexColumnsKey)).toBool());
    }

    void aNamesCellCompletesItsNamesAndItsListTakesTheIdChosen()
    {
        TypeTheTable(o);
        zor::FlexGrid& grid = Grid(form());
        zor::CellEditor& editor = Editor(form());
        zor::CellChoices& list = Control<zor::CellChoices>(form(), "CellChoices");
        ShowTable(form(), 2, 1); // ID 1 holds 0, なし
        QCOMPARE(Notation(form()), u"NotationHex"_s); // the notation still says how the number is written
        // F4 lists every ID with its name, the cell's own current; the second 戦士 is taken as itself.
        Key(form(), Qt::Key_F4);
        QVERIFY(list.isVisible());
        QCOMPARE(Texts(*list.model()), (QStringList{u"0x00 なし"_s, u"0x01 戦士"_s, u"0x02 魔法使い"_s, u"0x03 戦士"_s, u"0x04 ＡＢＣ"_s}));
        QCOMPARE(list.currentRow(), 0);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
            QTest::keyClick(&list, key);
        QCOMPARE(std::tuple(list.isVisible(), Value(form(), 2, 1), grid.hasFocus()), std::tuple(false, 3u, true));
        // Alt+Down opens it on the cell's ID; Escape takes nothing.
        Key(form(), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(list.currentRow(), 3);
        QTest::keyClick(&list, Qt::Key_Up);
        QTest::keyClick(&list, Qt::Key_Escape);
        QCOMPARE(std::tuple(list.isVisible(), Value(form(), 2, 1), Doc(form()).History->UndoCount()), std::tuple(false, 3u, 1));

        // The editor completes the names holding what was typed, compared in the same form as the core reads them.
        QTest::keyClicks(&grid, u"A"_s);
        QVERIFY(editor.isVisible() && editor.completer());
        QCOMPARE(Texts(*editor.completer()->completionModel()), QStringList{u"ＡＢＣ"_s});
        editor.setText(u"戦士"_s); // the first ID of a name
        Type(form(), "\r");
        QCOMPARE(Value(form(), 2, 1), 1u);
        // From the editor the list opens on the ID its text names, and the text is not stored.
        Type(form(), "2");
        QTest::keyClick(&editor, Qt::Key_F4);
        QCOMPARE(std::tuple(editor.isVisible(), list.isVisible(), list.currentRow(), Value(form(), 2, 1)), std::tuple(false, true, 2, 1u));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(4)).center());
        QCOMPARE(std::pair(list.isVisible(), Value(form(), 2, 1)), std::pair(false, 4u));
    }

    void aNameTwoIdsShareKeepsItsIdWhenItsTextIsLeftAsItWas()
    {
        TypeTheTable(o);
        ShowTable(form(), 2, 1);
        Key(form(), Qt::Key_F4);
        for (const Qt::Key key : {Qt::Key_End, Qt::Key_Up, Qt::Key_Return}) // the second 戦士
            QTest::keyClick(&Control<zor::CellChoices>(form(), "CellChoices"), key);
        QCOMPARE(Value(form(), 2, 1), 3u);
        // The editor opens with the name the cell shows; left as it was, it stores nothing, wherever it closes.
        Grid(form()).setCellTextProvider([](int row, int col) { return row == 2 && col == 1 ? u"戦士"_s : u"0x00"_s; });
        zor::FlexGrid& grid = Grid(form());
        const auto clickElsewhere = [&grid] { QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 1)); };
        const auto key = [this](Qt::Key k) { return [this, k] { Key(form(), k); }; };
        using Case = std::pair<Qt::Key, std::function<void()>>; // the key that opens the editor, then what closes it
        for (const auto& [opens, closes] : {Case{Qt::Key_F2, key(Qt::Key_Return)}, {Qt::Key_Space, key(Qt::Key_Down)}, {Qt::Key_Return, clickElsewhere}}) {
            Perform(form(), "@2,1");
            Key(form(), opens);
            QCOMPARE(Editor(form()).text(), u"戦士"_s);
            closes();
            QVERIFY(!Editor(form()).isVisible() && Value(form(), 2, 1) == 3u);
        }
        QCOMPARE(Doc(form()).History->UndoCount(), 1);
    }

    void aBitsCellOpensItsCheckListAndDeleteClearsIt()
    {
        TypeTheTable(o);
        zor::FlexGrid& grid = Grid(form());
        zor::CellChoices& list = Control<zor::CellChoices>(form(), "CellChoices");
        ShowTable(form(), 2, 2); // ID 1 holds 5: 装備可 and 呪い
        QCOMPARE(Notation(form()), u"NotationDec"_s);
        const auto checks = [&list] {
            QString marks;
            for (int row = 0; row < list.count(); ++row)
                marks += list.item(row)->checkState() == Qt::Checked ? u'1' : u'0';
            return marks;
        };
        // Space, Enter, F2 and a double click open the list; Escape takes nothing of what was toggled.
        const auto doubleClick = [&grid] {
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 2, 2));
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 2, 2));
        };
        const auto key = [&grid](Qt::Key k) { return [&grid, k] { QTest::keyClick(&grid, k); }; };
        for (const std::function<void()>& open : std::vector<std::function<void()>>{key(Qt::Key_Space), key(Qt::Key_Return), key(Qt::Key_F2), doubleClick}) {
            open();
            QVERIFY(list.isVisible() && !Editor(form()).isVisible());
            QCOMPARE(checks(), u"10100000"_s);
            QTest::keyClick(&list, Qt::Key_Space);
            QTest::keyClick(&list, Qt::Key_Escape);
            QCOMPARE(std::pair(list.isVisible(), Value(form(), 2, 2)), std::pair(false, 5u));
        }
        QCOMPARE(Texts(*list.model()), (QStringList{u"装備可"_s, u"bit 1"_s, u"呪い"_s, u"bit 3"_s, u"bit 4"_s, u"bit 5"_s, u"bit 6"_s, u"bit 7"_s}));
        // Space toggles the current bit, Enter takes them as one step.
        QTest::keyClick(&grid, Qt::Key_Space);
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Down, Qt::Key_Space, Qt::Key_End, Qt::Key_Space, Qt::Key_Return})
            QTest::keyClick(&list, key);
        QCOMPARE(std::pair(Value(form(), 2, 2), Doc(form()).History->UndoCount()), std::pair(0x86u, 1));
        // Delete clears every bit; a digit opens the text editor.
        QTest::keyClick(&grid, Qt::Key_Delete);
        QCOMPARE(std::pair(Value(form(), 2, 2), Doc(form()).History->UndoCount()), std::pair(0u, 2));
        QTest::keyClick(&grid, Qt::Key_9);
        QVERIFY(Editor(form()).isVisible() && !list.isVisible());
        Type(form(), "\r");
        QCOMPARE(Value(form(), 2, 2), 9u);
    }
};

int RunDocumentTests(int argc, char** argv)
{
    DocumentTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DocumentTest.moc"
