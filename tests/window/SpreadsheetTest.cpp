// The round trip through spreadsheets in the window: the CSV export and the import with its
// preview, and the selection as text on the system clipboard and pasted back, through the
// menus, keys and the fake dialogs. What they read and write is the core's to check
// (tests/csv, tests/selection); text pastes and values for a selection are rows of the
// command table.

#include "tests/window/Controls.h"
#include "tests/window/TestFolder.h"
#include "core/edit/EditHistory.h"
#include "window/ChangesPanel.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::Form1;

namespace {

constexpr Qt::KeyboardModifier Ctrl = Qt::ControlModifier;

// 表 with the cursor on (row, col) and the selection's other corner on (rowSel, colSel).
void Select(const Form1& form, int row, int col, int rowSel, int colSel)
{
    ShowTable(form, row, col);
    Grid(form).setRowSel(rowSel);
    Grid(form).setColSel(colSel);
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

qsizetype ChangeLines(const Form1& form) { return Control<zor::ChangesPanel>(form, "ChangesPanel").model()->list().size(); }

} // namespace

class SpreadsheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anImportIsPreviewedAndTakenBackWithOneUndo()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        const QString home = o.folder->dir.path();
        Run(form, "ShowChanges"); // the list follows the commands while it is open
        Run(form, "OpCSV");
        QCOMPARE(Status(form), u"CSVファイルを %1 に保存しました"_s.arg(QDir::toNativeSeparators(home)));
        SetCsvField(o.folder->file(u"表.csv"_s), 2, 2, u"0x1F"_s);
        SetCsvField(o.folder->file(u"個別データ.csv"_s), 1, 2, u"0x63"_s);
        ShowTable(form, 2, 1);

        // Cancelled after the preview: nothing changes.
        o.dialogs->folders = {home, home};
        o.dialogs->importAnswers = {false, true};
        Run(form, "ImportCSV");
        QCOMPARE(o.dialogs->folderStarts, std::vector<QString>{home});
        QCOMPARE(o.dialogs->previews.at(0).changes(), 2);
        QVERIFY(!Modified(form));
        // Taken: one step over two tables, the grid refilled, the cursor where it was.
        Run(form, "ImportCSV");
        QCOMPARE(std::pair(Grid(form).TextMatrix(1, 1), Grid(form).Row()), std::pair(u"0x1F"_s, 2));
        QCOMPARE(ChangeLines(form), 2);
        QCOMPARE(Status(form), u"CSVから 2 件の変更を読み込みました"_s);
        Key(form, Qt::Key_Z, Ctrl);
        QVERIFY(!Modified(form) && !Item(form, "andou").isEnabled());
        QCOMPARE(ChangeLines(form), 0);
    }

    void anImportThatCantBeTakenChangesNothing()
    {
        auto o = Open(true);
        Form1& form = *o.form;
        Run(form, "OpCSV");
        ShowTable(form);
        const QString home = o.folder->dir.path();
        const QString table = o.folder->file(u"表.csv"_s);
        o.dialogs->folders = {home, home, home, home};
        Run(form, "ImportCSV"); // nothing differs: said, and no preview
        QCOMPARE(o.dialogs->messages.back().text, u"変更はありません"_s);

        // A value that can't be read: the problems, naming their place, and nothing else.
        SetCsvField(table, 2, 2, u"0x1F"_s);
        SetCsvField(table, 3, 3, u"zz"_s);
        Run(form, "ImportCSV");
        QCOMPARE(o.dialogs->messages.back().icon, QMessageBox::Warning);
        QVERIFY2(o.dialogs->messages.back().text.contains(u"表.csv:3:3:"_s), qPrintable(o.dialogs->messages.back().text));
        QVERIFY(o.dialogs->previews.empty() && !Modified(form));

        // More than the history keeps: asked after the preview; No leaves the cells as they are.
        SetCsvField(table, 3, 3, u"5"_s);
        zor::EditHistory none(0);
        none.TakeBaseline(Doc(form));
        *Doc(form).History = none;
        o.dialogs->importAnswers = {true, true};
        o.dialogs->answers = {QMessageBox::No, QMessageBox::Yes};
        Run(form, "ImportCSV");
        QCOMPARE(o.dialogs->asked.size(), std::size_t(1));
        QVERIFY(Grid(form).TextMatrix(1, 1) == u"0x80"_s && !Modified(form));
        Run(form, "ImportCSV");
        QVERIFY(Grid(form).TextMatrix(1, 1) == u"0x1F"_s && Modified(form) && !Item(form, "andou").isEnabled());
    }

    void copiesGoToTheSystemClipboardAndForeignTextIsPasted()
    {
        auto o = Open();
        Form1& form = *o.form;
        zor::FlexGrid& grid = Grid(form);
        QClipboard& clipboard = *QGuiApplication::clipboard();
        Run(form, "ShowChanges");
        ShowTable(form, 1, 2);
        Type(form, "255\r");
        Select(form, 1, 1, 2, 2);
        Key(form, Qt::Key_C, Ctrl);
        QCOMPARE(clipboard.text(), u"0x80\t255\n0x00\t5\n"_s);

        // The text came back as ZOR put it, with another platform's line breaks: the cell
        // clipboard is pasted, its one block at the cursor, not spread over the selection.
        Select(form, 1, 1, 1, 1);
        Key(form, Qt::Key_C, Ctrl);
        clipboard.setText(u"0x80\r\n"_s);
        Select(form, 2, 1, 3, 2);
        Key(form, Qt::Key_V, Ctrl);
        QCOMPARE((QStringList{grid.TextMatrix(2, 1), grid.TextMatrix(3, 2)}), (QStringList{u"0x80"_s, u"0"_s}));
        QCOMPARE(ChangeLines(form), 2); // the open list follows a paste
        // A cut puts the cells' texts as they were shown before it zeroed them.
        Select(form, 1, 1, 1, 1);
        Key(form, Qt::Key_X, Ctrl);
        QCOMPARE(clipboard.text(), u"0x80\n"_s);
    }
};

int RunSpreadsheetTests(int argc, char** argv)
{
    SpreadsheetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SpreadsheetTest.moc"
