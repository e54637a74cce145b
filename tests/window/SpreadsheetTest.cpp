// The round trip through spreadsheets in the window: the CSV import with its preview and
// one undo step, the selection as text on the system clipboard and pasted back, and
// values for a selection, each driven through the menus, keys and the fake dialogs.

#include "tests/window/TestFolder.h"
#include "core/document/CellBytes.h"
#include "core/edit/EditHistory.h"
#include "window/ChangesPanel.h"
#include "window/FlexGrid.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QStatusBar>

using zor::Form1;
using zor::SelectionOperation;
using zor::test::ClickTab;
using zor::test::Open;

namespace {

// The table 表 of the test folder (3 IDs; 力 in hex, the long caption in signed decimal),
// the cursor on (row, col) and the selection's other corner on (rowSel, colSel).
void Select(Form1& form, int row, int col, int rowSel, int colSel)
{
    form.Combo1->setCurrentIndex(2);
    form.FGrid1->setRow(row);
    form.FGrid1->setCol(col);
    form.FGrid1->setRowSel(rowSel);
    form.FGrid1->setColSel(colSel);
    form.FGrid1->setFocus();
}

std::uint8_t TableByte(const Form1& form, int col, int row) { return *zor::CellByte(form.doc, zor::TabIdSection, 2, col, row); }

// Sets one field (from 1) of one line (from 1) of an exported CP932 file.
void SetCsvField(const QString& path, int line, int field, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines = zor::DecodeCp932(file.readAll()).text.split(QStringLiteral("\r\n"));
    file.close();
    QStringList fields = lines[line - 1].split(u',');
    fields[field - 1] = text;
    lines[line - 1] = fields.join(u',');
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(*zor::EncodeCp932(lines.join(QStringLiteral("\r\n"))));
}

QString Status(Form1& form) { return form.statusBar()->currentMessage(); }

} // namespace

class SpreadsheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anImportIsPreviewedAndTakenBackWithOneUndo()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        form.ShowChanges->trigger(); // the list follows the commands while it is open
        form.OpCSV->trigger();
        const QString home = o.folder->dir.path();
        SetCsvField(o.folder->file(QStringLiteral("表.csv")), 2, 2, QStringLiteral("0x1F"));
        SetCsvField(o.folder->file(QStringLiteral("表.csv")), 4, 3, QStringLiteral("-2"));
        SetCsvField(o.folder->file(QStringLiteral("個別データ.csv")), 1, 2, QStringLiteral("0x63"));
        Select(form, 2, 1, 2, 1);

        // Cancelled: the preview listed the three changes, and nothing changed.
        o.dialogs->folders = {home};
        o.dialogs->importAnswers = {false};
        form.ImportCSV->trigger();
        QCOMPARE(o.dialogs->folderStarts, std::vector<QString>{home});
        QCOMPARE(o.dialogs->previews.size(), std::size_t(1));
        const zor::ImportPreview& preview = o.dialogs->previews[0];
        QCOMPARE(preview.changes(), 3);
        QCOMPARE(preview.files.size(), std::size_t(2));
        QCOMPARE(preview.files[0].file, QStringLiteral("表.csv"));
        QCOMPARE(preview.files[0].changes, 2);
        QVERIFY2(preview.lines[1].contains(QStringLiteral("「さん」")) && preview.lines[1].endsWith(QStringLiteral("0x212: 0 → 254")),
                 qPrintable(preview.lines[1]));
        QVERIFY(!form.doc.History->Modified());
        QCOMPARE(form.doc.History->UndoCount(), 0);

        // Read in: one step over two tables, the grid refilled, the cursor where it was.
        o.dialogs->folders = {home};
        o.dialogs->importAnswers = {true};
        form.ImportCSV->trigger();
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x1F));
        QCOMPARE(TableByte(form, 2, 3), std::uint8_t(0xFE));
        QCOMPARE(form.doc.IndividualBytes(1), std::uint8_t(0x63));
        QCOMPARE(form.FGrid1->TextMatrix(1, 1), QStringLiteral("0x1F"));
        QCOMPARE(form.FGrid1->Row(), 2);
        QVERIFY(form.doc.History->Modified());
        QCOMPARE(form.Changes->model()->list().size(), 3);
        QCOMPARE(Status(form), QStringLiteral("CSVから 3 件の変更を読み込みました"));
        QFile rom(o.folder->file(QStringLiteral("x.rom")));
        QVERIFY(rom.open(QIODevice::ReadOnly));
        QCOMPARE(rom.readAll().at(0x300), char(0x0A)); // the image waits for a save

        QTest::keyClick(form.FGrid1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
        QCOMPARE(TableByte(form, 2, 3), std::uint8_t(0));
        QCOMPARE(form.doc.IndividualBytes(1), std::uint8_t(0x0A));
        QVERIFY(!form.doc.History->Modified());
        QCOMPARE(form.Changes->model()->list().size(), 0);
        QTest::keyClick(form.FGrid1, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(form.doc.IndividualBytes(1), std::uint8_t(0x63));
        QCOMPARE(TableByte(form, 2, 3), std::uint8_t(0xFE));
    }

    void anImportThatCantBeTakenChangesNothing()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        form.OpCSV->trigger();
        const QString home = o.folder->dir.path();
        const QString table = o.folder->file(QStringLiteral("表.csv"));

        // Nothing differs: said, and no preview.
        o.dialogs->folders = {home};
        form.ImportCSV->trigger();
        QCOMPARE(o.dialogs->messages.back().text, QStringLiteral("変更はありません"));

        // A value that can't be read: the problems as the load shows them, nothing else.
        SetCsvField(table, 2, 2, QStringLiteral("0x1F"));
        SetCsvField(table, 3, 3, QStringLiteral("zz"));
        o.dialogs->folders = {home};
        form.ImportCSV->trigger();
        QCOMPARE(o.dialogs->messages.back().icon, QMessageBox::Warning);
        QVERIFY2(o.dialogs->messages.back().text.contains(QStringLiteral("表.csv:3:3:")), qPrintable(o.dialogs->messages.back().text));
        QVERIFY(o.dialogs->previews.empty());
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
        QVERIFY(!form.doc.History->Modified());

        // Larger than the history keeps: asked after the preview; No leaves the cells as they are.
        SetCsvField(table, 3, 3, QStringLiteral("5"));
        zor::EditHistory none(0);
        none.TakeBaseline(form.doc);
        *form.doc.History = none;
        o.dialogs->folders = {home, home};
        o.dialogs->importAnswers = {true, true};
        o.dialogs->answers = {QMessageBox::No, QMessageBox::Yes};
        form.ImportCSV->trigger();
        QCOMPARE(o.dialogs->asked.size(), std::size_t(1));
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
        QVERIFY(!form.doc.History->Modified());
        form.ImportCSV->trigger();
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x1F));
        QVERIFY(form.doc.History->Modified());
        QCOMPARE(form.doc.History->UndoCount(), 0);
    }

    void copiesGoToTheSystemClipboardAndForeignTextIsPasted()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        QClipboard& clipboard = *QGuiApplication::clipboard();
        form.ShowChanges->trigger();
        zor::SetCellByte(form.doc, zor::TabIdSection, 2, 2, 1, 0xFF);
        Select(form, 1, 1, 2, 2);
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard.text(), QStringLiteral("0x80\t255\n0x00\t5\n"));

        // The text came back as ZOR put it, or with another platform's line breaks: the cell
        // clipboard is pasted, its one block at the cursor, not spread over the selection.
        Select(form, 1, 1, 1, 1);
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        clipboard.setText(QStringLiteral("0x80\r\n"));
        Select(form, 2, 1, 3, 2);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(TableByte(form, 1, 2), std::uint8_t(0x80));
        QCOMPARE(TableByte(form, 2, 3), std::uint8_t(0));

        // Another program's text since: read as text, one value filling the selection, one step.
        clipboard.setText(QStringLiteral("9"));
        Select(form, 2, 1, 3, 2);
        const int steps = form.doc.History->UndoCount();
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        for (int row = 2; row <= 3; ++row)
            for (int col = 1; col <= 2; ++col)
                QCOMPARE(TableByte(form, col, row), std::uint8_t(9));
        QCOMPARE(form.doc.History->UndoCount(), steps + 4);
        QCOMPARE(form.Changes->model()->list().size(), 4);
        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(TableByte(form, 2, 3), std::uint8_t(0));
        QCOMPARE(TableByte(form, 1, 2), std::uint8_t(0x80));

        // A cut puts the cells' texts as they were shown before it zeroed them.
        Select(form, 1, 1, 1, 1);
        QTest::keyClick(&grid, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(clipboard.text(), QStringLiteral("0x80\n"));
    }

    void textPastesAreClippedOrRefusedWhole()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        QClipboard& clipboard = *QGuiApplication::clipboard();

        // At the last row and column only the first value fits; the cursor ends on it.
        clipboard.setText(QStringLiteral("1\t2\n3\t4\n"));
        Select(form, 3, 2, 3, 2);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(TableByte(form, 2, 3), std::uint8_t(1));
        QCOMPARE(form.doc.History->UndoCount(), 1);
        QCOMPARE(QPoint(grid.Col(), grid.Row()), QPoint(2, 3));
        QCOMPARE(grid.TextMatrix(3, 2), QStringLiteral("1"));

        // A value that can't be read names its place and text; nothing changes.
        clipboard.setText(QStringLiteral("5\t6\n7\tzz\n"));
        Select(form, 1, 1, 1, 1);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));
        QVERIFY2(o.dialogs->messages[0].text.contains(QStringLiteral("zz")), qPrintable(o.dialogs->messages[0].text));
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
        QCOMPARE(form.doc.History->UndoCount(), 1);

        // Without a table the text commands don't apply.
        QVERIFY(form.PasteText->isEnabled() && form.SelectionValues->isEnabled());
        form.Combo1->setCurrentIndex(0);
        QVERIFY(!form.PasteText->isEnabled() && !form.SelectionValues->isEnabled());
    }

    void selectionValuesAreOneStepOrNone()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        zor::FlexGrid& grid = *form.FGrid1;
        zor::test::FakeDialogs& dialogs = *o.dialogs;

        // An unreadable amount keeps the dialog; the next is added, 0x80 + 200 held at 255.
        Select(form, 1, 1, 3, 1);
        dialogs.selectionAnswers = {{SelectionOperation::Add, QStringLiteral("abc")}, {SelectionOperation::Add, QStringLiteral("200")}};
        form.SelectionValues->trigger();
        QCOMPARE(dialogs.selectionErrors.size(), std::size_t(1));
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(255));
        QCOMPARE(TableByte(form, 1, 3), std::uint8_t(200));
        QVERIFY2(Status(form).contains(QStringLiteral("1 個のセルを範囲内に収めました")), qPrintable(Status(form)));
        QCOMPARE(form.doc.History->UndoCount(), 3);
        QCOMPARE(grid.TextMatrix(3, 1), QStringLiteral("0xC8"));
        QCOMPARE(QPoint(grid.ColSel(), grid.RowSel()), QPoint(1, 3)); // still selected for the next command

        // Nothing that changes: no step.
        dialogs.selectionAnswers = {{SelectionOperation::Scale, QStringLiteral("100")}};
        form.SelectionValues->trigger();
        QCOMPARE(form.doc.History->UndoCount(), 3);
        QVERIFY(Status(form).contains(QStringLiteral("値の変わるセルはありませんでした")));

        QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(TableByte(form, 1, 1), std::uint8_t(0x80));
        QCOMPARE(TableByte(form, 1, 3), std::uint8_t(0));

        // A battle record's first byte can't become 0: refused with the core's reason.
        ClickTab(form, 3);
        grid.setRow(1);
        grid.setCol(1);
        const std::uint8_t first = form.doc.BattleParams(1, 1);
        dialogs.selectionAnswers = {{SelectionOperation::Set, QStringLiteral("0")}};
        form.SelectionValues->trigger();
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        QVERIFY(dialogs.messages[0].text.contains(QStringLiteral("レコード 1")));
        QCOMPARE(form.doc.BattleParams(1, 1), first);
    }
};

int RunSpreadsheetTests(int argc, char** argv)
{
    SpreadsheetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SpreadsheetTest.moc"
