// Each command once, from a fresh window on 表 with the cursor on ID 0's 力: the keys or menu
// items a user would use, and what lands on the grid, the status bar, the title and the
// messages. What the commands compute is the core's to check (tests/edit, tests/output,
// tests/selection, tests/navigate, tests/view); here each must reach it and show its result.

#include "tests/window/Controls.h"
#include "tests/window/TestFolder.h"
#include "core/edit/EditHistory.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::Form1;

namespace {

// Steps, separated by blanks: "#3" clicks tab 3; "@r,c" puts the cursor on a grid cell and
// "@r,c:r2,c2" also selects to the other corner; "=text" types text and Enter where the focus
// is; "!Item" runs a menu item; anything else is a key sequence pressed where the focus is.
void Perform(Form1& form, const char* steps)
{
    for (const QString& step : QString::fromUtf8(steps).split(u' ', Qt::SkipEmptyParts)) {
        const QString rest = step.mid(1);
        if (step.startsWith(u'#')) {
            ClickTab(form, rest.toInt());
        } else if (step.startsWith(u'@')) {
            const QStringList at = rest.split(QRegularExpression(u"[,:]"_s));
            Grid(form).setRow(at[0].toInt());
            Grid(form).setCol(at[1].toInt());
            if (at.size() == 4) {
                Grid(form).setRowSel(at[2].toInt());
                Grid(form).setColSel(at[3].toInt());
            }
        } else if (step.startsWith(u'=')) {
            Type(form, rest + u'\r');
        } else if (step.startsWith(u'!')) {
            Item(form, rest.toLatin1().constData()).trigger();
        } else {
            QTest::keySequence(form.focusWidget(), QKeySequence(step));
        }
    }
}

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

class CommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
            {"values that change nothing", "@1,1:3,1 !SelectionValues", {{1, 1, u"0x80"}}, u"値の変わるセルはありませんでした", nullptr, false,
             Values(SelectionOperation::Scale, u"100"_s)},
            {"values a battle record refuses", "#3 !SelectionValues", {}, nullptr, u"レコード 1", false, Values(SelectionOperation::Set, u"0"_s)},
            {"a row added", "#3 @2,1 !NewRow", {}, u"レコード 2 を追加しました", nullptr, true},
            {"a row deleted", "#3 @2,1 !NewRow @3,1 !DeleteRow", {}, u"レコード 3 を削除しました", nullptr, true},
            {"a save of an edit left open", "9 Ctrl+S", {{1, 1, u"0x09"}}, u"上書き保存しました"},
            {"a save as", "=8 !SaveAs", {{1, 1, u"0x08"}}, u"「新しい.rom」に保存しました", nullptr, false,
             [](Opened& o) { o.dialogs->savePaths = {o.folder->file(u"新しい.rom"_s)}; }, nullptr, u"新しい.rom"},
            {"a go to", "#2 Ctrl+G", {}, nullptr, nullptr, false, Places({u"$80:7FFF"_s, u"$80:8211"_s}), "#1 @2,2:2,2"},
            {"a go to a record, keeping the column", "#3 @1,4 !GoTo", {}, nullptr, nullptr, false, Places({u"300"_s}), "#3 @300,4:300,4"},
            {"a find", "Ctrl+F =5", {}, u"値「5」のセルを見つけました", nullptr, false, {}, "#1 @2,2:2,2"},
            {"a find of nothing", "Ctrl+F =Z", {}, u"「Z」は見つかりません", nullptr, false, {}, "#1 @1,1:1,1"},
        };
        for (const Command& c : commands) {
            auto o = Open(true);
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
};

int RunCommandsTests(int argc, char** argv)
{
    CommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CommandsTest.moc"
