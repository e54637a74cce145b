// The main window: its state at start-up, its menus, its layout on resize, and the
// save question on the two ways out. Message boxes are answered by a fake.
// Expected sizes are written in twips and compared in pixels at 96 dpi, which the
// offscreen platform reports, so 15 twips are exactly one pixel.

#include "core/about/ApplicationNames.h"
#include "core/files/UserSettings.h"
#include "tests/window/FakeDialogs.h"
#include "tests/window/TestFolder.h"
#include "window/Application.h"
#include "window/Dialogs.h"
#include "window/Form1.h"
#include "window/CellEditor.h"
#include "window/NoteEdit.h"
#include "window/ChangesPanel.h"
#include "window/ChartDock.h"
#include "window/FlexGrid.h"
#include "window/TabStrip.h"

#include <QAction>
#include <QStandardPaths>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QScreen>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <deque>
#include <memory>
#include <vector>

using zor::Form1;

namespace {

using zor::test::Asked;
using zor::test::FakeDialogs;

struct Fixture {
    FakeDialogs* dialogs;
    std::unique_ptr<Form1> form;
};

Fixture makeForm()
{
    auto dialogs = std::make_unique<FakeDialogs>();
    FakeDialogs* raw = dialogs.get();
    return {raw, std::make_unique<Form1>(std::move(dialogs))};
}

// An image opened and marked modified, whose save succeeds, or fails because the image
// has gone since it was read. Whether a save ran shows in its .bak, or in its message.
struct ModifiedImage {
    std::unique_ptr<zor::test::Folder> folder = std::make_unique<zor::test::Folder>();
    QString rom = folder->file(QStringLiteral("x.rom"));

    ModifiedImage(Form1& form, FakeDialogs& dialogs, bool saveSucceeds)
    {
        form.OpenRom(rom);
        setModified(form, true);
        if (!saveSucceeds)
            QFile::remove(rom);
        dialogs.messagesExpected = !saveSucceeds;
    }
    bool saved() const { return QFile::exists(rom + QStringLiteral(".bak")); }
    // Changes a battle byte away from its baseline, or puts it back.
    static void setModified(Form1& form, bool modified)
    {
        const std::uint8_t byte = form.doc.BattleParams(2, 1);
        if (form.doc.History->Modified() != modified)
            zor::SetCellByte(form.doc, zor::TabBattle, 0, 2, 1, byte ^ 1);
        QCOMPARE(form.doc.History->Modified(), modified);
    }
};

QString shown(const QWidget* widget) { return widget->isVisibleTo(widget->window()) ? QStringLiteral("shown") : QStringLiteral("hidden"); }

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

    // Resizes the window until its client area measures w x h twips.
    static bool setClientSize(Form1& form, int w, int h)
    {
        const QSize target(form.PixelsX(w), form.PixelsY(h));
        QWidget* client = form.centralWidget();
        for (int attempt = 0; attempt < 4 && client->size() != target; ++attempt) {
            form.resize(form.size() + target - client->size());
            QCoreApplication::processEvents();
        }
        return form.ClientWidth() == w && form.ClientHeight() == h;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QWidget probe;
        QCOMPARE(probe.logicalDpiX(), 96);
        QCOMPARE(probe.logicalDpiY(), 96);
    }

    void startUpState()
    {
        auto [dialogs, form] = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));

        QCOMPARE(form->windowTitle(), QStringLiteral("ZOR"));
        QVERIFY(!form->FGrid1->isEnabled());
        QVERIFY(!form->Text1->isEnabled());
        QCOMPARE(form->Combo1->count(), 0);
        QCOMPARE(form->Tab1->SelectedIndex(), 1);
        QCOMPARE(form->Tab1->tabText(0), QStringLiteral(u"ID-セクション"));
        QCOMPARE(shown(form->Label1), QStringLiteral("hidden"));
        QCOMPARE(shown(form->txtForEdit), QStringLiteral("hidden"));
        QCOMPARE(shown(form->Text1), QStringLiteral("shown"));
        QVERIFY(!form->doc.History->RecordCountChanged());
        QVERIFY(!form->doc.History->Modified());

        QCOMPARE(form->FGrid1->Rows(), 2);
        QCOMPARE(form->FGrid1->Cols(), 2);
        QCOMPARE(form->FGrid1->TextMatrix(0, 0), QStringLiteral("ID"));
        QCOMPARE(form->FGrid1->TextMatrix(1, 0), QStringLiteral("00"));
        QCOMPARE(form->FGrid1->ColAlignment(0), 0);
        QCOMPARE(form->BaseRowHeight, zor::FlexGrid::kDefaultRowHeight);
        QCOMPARE(form->FGrid1->RowHeight(0), 2 * form->BaseRowHeight);

        // The designed client area and the controls' places in it.
        QCOMPARE(form->ClientWidth(), Form1::kClientWidth);
        QCOMPARE(form->ClientHeight(), Form1::kClientHeight);
        QCOMPARE(form->FGrid1->pos(), QPoint(16, 104));  // 240, 1560
        QCOMPARE(form->Tab1->pos(), QPoint(8, 80));      // 120, 1200
        QCOMPARE(form->Combo1->geometry().topLeft(), QPoint(16, 24));
        QCOMPARE(form->Combo1->width(), 121);             // 1815
        QCOMPARE(form->Text1->geometry(), QRect(160, 0, 336, 67)); // 2400, 0, 8535 - 3500, 1000 (66.7 px)

        // The grid lies over the tab page, not under it.
        const QPoint inGrid = form->FGrid1->geometry().center();
        QWidget* hit = form->centralWidget()->childAt(inGrid);
        QVERIFY(hit == form->FGrid1 || form->FGrid1->isAncestorOf(hit));

        const QFont font = form->Text1->font();
        QCOMPARE(font.families().value(0), QStringLiteral(u"ＭＳ Ｐゴシック"));
        QVERIFY(font.families().contains(QStringLiteral("IPAPGothic")));
        QCOMPARE(font.pointSize(), 9);
        QCOMPARE(form->FGrid1->font().pointSize(), 9);
    }

    void menusInOrderWithCaptionsAndShortcuts()
    {
        struct Item {
            const char* name;
            const char16_t* caption;
            QKeySequence shortcut;
            bool enabled = true; // with nothing open
        };
        struct Menu {
            const char* name;
            const char16_t* caption;
            std::vector<Item> items;
        };
        const QKeySequence none;
        const std::vector<Menu> expected = {
            {"File", u"ファイル",
             {{"Read", u"読み込む", QKeySequence(QStringLiteral("Ctrl+O"))},
              {"SaveAs", u"名前を付けて保存", none},
              {"Save", u"上書き保存", QKeySequence(QStringLiteral("Ctrl+S"))},
              {"MakePatch", u"パッチを作成…", none},
              {"ChooseFolder", u"プログラムフォルダを選ぶ…", none},
              {"RecentFiles", u"最近使ったファイル", none},
              {"Quit", u"終了", none}}},
            {"Edit", u"編集",
             {{"andou", u"セルを元に戻す", QKeySequence(QStringLiteral("Ctrl+Z")), false},
              {"redou", u"セルをやり直す", QKeySequence(QStringLiteral("Ctrl+Y")), false},
              {"cut", u"セルを切り取り", QKeySequence(QStringLiteral("Ctrl+X"))},
              {"Cope", u"セルをコピー", QKeySequence(QStringLiteral("Ctrl+C"))},
              {"pest", u"セルを貼り付け", QKeySequence(QStringLiteral("Ctrl+V"))},
              {"PasteText", u"テキストを貼り付け", QKeySequence(QStringLiteral("Ctrl+Shift+V")), false},
              {"SelectionValues", u"選択範囲の値…", none, false},
              {"NewRow", u"行を追加する", none, false},
              {"DeleteRow", u"行を削除する", none, false},
              {"Search", u"検索", QKeySequence(QStringLiteral("Ctrl+F"))},
              {"SearchNext", u"次を検索", QKeySequence(QStringLiteral("F3"))},
              {"SearchPrevious", u"前を検索", QKeySequence(QStringLiteral("Shift+F3"))},
              {"GoTo", u"移動", QKeySequence(QStringLiteral("Ctrl+G"))}}},
            {"Hyo", u"表示",
             {{"NotationHex", u"選択セクションを16進数表記", none, false},
              {"NotationCodeDec", u"選択セクションを符号付き10進数表記", none, false},
              {"NotationDec", u"選択セクションを符号無し10進数表記", none, false},
              {"ShowChanges", u"変更一覧", none},
              {"ColourByValue", u"値で色分け", none},
              {"ShowChart", u"グラフ", none}}},
            {"Date", u"データ", {{"OpCSV", u"全データをCSVで保存", none}, {"ImportCSV", u"CSVから読み込む…", none}}},
            {"Help", u"ヘルプ",
             {{"OpenSample", u"サンプルを開く", none},
              {"OpenProgramFolder", u"プログラムフォルダを開く", none},
              {"About", u"バージョン情報", none}}},
        };

        auto [dialogs, form] = makeForm();
        const QList<QAction*> bar = form->menuBar()->actions();
        QCOMPARE(bar.size(), qsizetype(expected.size()));
        for (std::size_t m = 0; m < expected.size(); ++m) {
            QMenu* menu = bar[m]->menu();
            QVERIFY(menu);
            QCOMPARE(menu->objectName(), QLatin1StringView(expected[m].name));
            QCOMPARE(menu->title(), QString::fromUtf16(expected[m].caption));
            QList<QAction*> items = menu->actions();
            items.removeIf([](const QAction* a) { return a->isSeparator(); });
            QCOMPARE(items.size(), qsizetype(expected[m].items.size()));
            for (qsizetype i = 0; i < items.size(); ++i) {
                const Item& want = expected[m].items[std::size_t(i)];
                QCOMPARE(items[i]->objectName(), QLatin1StringView(want.name));
                QCOMPARE(items[i]->text(), QString::fromUtf16(want.caption));
                QCOMPARE(items[i]->shortcut(), want.shortcut);
                QCOMPARE(items[i]->isEnabled(), want.enabled);
                QVERIFY(!items[i]->isChecked());
            }
        }
        QCOMPARE(form->File, bar[0]->menu());
        QCOMPARE(form->Date, bar[3]->menu());
        QCOMPARE(form->Read, form->File->actions()[0]);
        QCOMPARE(form->Quit, form->File->actions().last());
        QCOMPARE(form->pest, form->Edit->actions()[4]);
        QCOMPARE(form->OpCSV, form->Date->actions()[0]);
    }

    void rowLabelsAreHexIdsFromZero()
    {
        auto [dialogs, form] = makeForm();
        zor::FlexGrid& grid = *form->FGrid1;
        grid.setRows(300);
        form->LabelGridHeaders();
        QCOMPARE(grid.TextMatrix(0, 0), QStringLiteral("ID"));
        QCOMPARE(grid.TextMatrix(1, 0), QStringLiteral("00"));
        QCOMPARE(grid.TextMatrix(11, 0), QStringLiteral("0A"));
        QCOMPARE(grid.TextMatrix(16, 0), QStringLiteral("0F"));
        QCOMPARE(grid.TextMatrix(17, 0), QStringLiteral("10"));
        QCOMPARE(grid.TextMatrix(256, 0), QStringLiteral("FF"));
        QCOMPARE(grid.TextMatrix(257, 0), QStringLiteral("100"));
        QCOMPARE(grid.TextMatrix(299, 0), QStringLiteral("12A"));
        // Column 0 only: the headings of the data columns are left alone.
        grid.setTextMatrix(0, 1, QStringLiteral("HP"));
        form->LabelGridHeaders();
        QCOMPARE(grid.TextMatrix(0, 1), QStringLiteral("HP"));
    }

    void panesGrowTheWindowOnlyWithinTheScreen()
    {
        auto o = zor::test::Open();
        Form1& form = *o.form;
        const QRect available = form.screen()->availableGeometry();
        const QSize small(420, 320);
        struct Case {
            QAction* item;
            QDockWidget* pane;
            bool across;
        };
        for (const Case& c : {Case{form.ShowChart, form.Chart, false}, Case{form.ShowChanges, form.Changes, true}}) {
            const int first = c.across ? form.PixelsX(Form1::kChangesPaneWidth) : form.PixelsY(Form1::kChartPaneHeight);
            for (const int free : {first + 40, 40}) { // room for the pane, or 40 pixels of it
                form.resize(small);
                QCoreApplication::processEvents();
                const QSize frame = form.frameGeometry().size();
                form.move(c.across ? available.right() - free - frame.width() + 1 : available.left(),
                          c.across ? available.top() : available.bottom() - free - frame.height() + 1);
                QCoreApplication::processEvents();
                QCOMPARE(form.size(), small);
                const QSize grid = form.FGrid1->size();
                c.item->trigger();
                QCoreApplication::processEvents();
                QVERIFY(!c.pane->isHidden());
                QVERIFY2(available.contains(form.frameGeometry()), qPrintable(QString::number(free)));
                QVERIFY(std::abs((c.across ? c.pane->width() : c.pane->height()) - first) <= 2);
                // Within the screen the grid keeps its size; at its edge it gives the rest.
                const int shrunk = c.across ? grid.width() - form.FGrid1->width() : grid.height() - form.FGrid1->height();
                QVERIFY2(free > first ? shrunk == 0 : shrunk > (first - free) / 2, qPrintable(QString::number(shrunk)));
                c.item->trigger();
                QCoreApplication::processEvents();
                QVERIFY(c.pane->isHidden());
                QCOMPARE(form.size(), small);
            }
        }
    }

    void resizeFitsTheControlsToTheClientArea()
    {
        auto [dialogs, form] = makeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        // Let the window shrink below its menu bar's width so the guards can be reached.
        form->layout()->setSizeConstraint(QLayout::SetNoConstraint);
        form->setMinimumSize(0, 0);
        const QPoint gridPos = form->FGrid1->pos();
        const QPoint tabPos = form->Tab1->pos();
        const int textHeight = form->Text1->height();

        struct Case {
            int w, h;
            QSize tab, grid;        // twips
            bool textShown;
            int textWidth;          // twips; -1 keeps the width of the case before
        };
        const Case cases[] = {
            // The tab strip's frame ends 30 twips above the window's bottom, the grid 70 above the frame.
            {6000, 4500, {5760, 3270}, {5520, 2840}, true, 2500},
            {3000, 4500, {2760, 3270}, {2520, 2840}, false, -1},  // narrow: note box hidden, width kept
            {3495, 3000, {3255, 1770}, {3015, 1340}, false, -1},
            {3510, 3000, {3270, 1770}, {3030, 1340}, true, 10},   // widened again: shown
            {6000, 4500, {5760, 3270}, {5520, 2840}, true, 2500},
            {465, 1620, {225, 390}, {0, 0}, false, -1},            // tab narrower than 240, lower than 430
            {225, 1680, {0, 450}, {0, 20}, false, -1},             // window narrower than 240
            {600, 225, {360, 0}, {120, 0}, false, -1},             // window lower than the tab's top
        };
        int textWidth = form->Text1->width();
        for (const Case& c : cases) {
            const QByteArray where = QByteArray::number(c.w) + " x " + QByteArray::number(c.h);
            QVERIFY2(setClientSize(*form, c.w, c.h), where);
            QCOMPARE(form->Tab1->size(), QSize(form->PixelsX(c.tab.width()), form->PixelsY(c.tab.height())));
            QCOMPARE(form->FGrid1->size(), QSize(form->PixelsX(c.grid.width()), form->PixelsY(c.grid.height())));
            QVERIFY2(form->Text1->isVisibleTo(form.get()) == c.textShown, where);
            if (c.textWidth >= 0)
                textWidth = form->PixelsX(c.textWidth);
            QCOMPARE(form->Text1->width(), textWidth);
            QCOMPARE(form->Text1->height(), textHeight);
            QCOMPARE(form->FGrid1->pos(), gridPos);
            QCOMPARE(form->Tab1->pos(), tabPos);
        }

        // Minimised, the window leaves its controls alone.
        QVERIFY(setClientSize(*form, 6000, 4500));
        const QSize tabSize = form->Tab1->size();
        form->setWindowState(Qt::WindowMinimized);
        QVERIFY(form->isMinimized());
        form->resize(form->size() / 2);
        QCoreApplication::processEvents();
        QCOMPARE(form->Tab1->size(), tabSize);
    }

    void saveQuestionAnswers()
    {
        const QString text = QStringLiteral(u"x.rom への変更を保存しますか？");
        const QString title = QStringLiteral(u"保存確認");
        struct Case {
            QMessageBox::StandardButton answer;
            bool saveSucceeds;
            bool goOn;
            bool saved;
            bool failureTold;
            bool modifiedAfter;
        };
        const Case cases[] = {
            {QMessageBox::Yes, true, true, true, false, false},
            {QMessageBox::Yes, false, false, false, true, true},  // a failed save: do not go on
            {QMessageBox::No, true, true, false, false, true},
            {QMessageBox::Cancel, true, false, false, false, true},
        };
        for (const Case& c : cases) {
            auto [dialogs, form] = makeForm();
            const ModifiedImage image(*form, *dialogs, c.saveSucceeds);
            dialogs->answers = {c.answer};
            QCOMPARE(form->ConfirmSave(), c.goOn);
            QCOMPARE(image.saved(), c.saved);
            QCOMPARE(dialogs->messages.size(), std::size_t(c.failureTold ? 1 : 0));
            QCOMPARE(form->doc.History->Modified(), c.modifiedAfter);
            QCOMPARE(dialogs->asked.size(), std::size_t(1));
            const Asked& asked = dialogs->asked[0];
            QCOMPARE(asked.text, text);
            QCOMPARE(asked.informative, QStringLiteral("フォルダ: ") + image.folder->dir.path());
            QCOMPARE(asked.title, title);
            QCOMPARE(asked.icon, QMessageBox::Question);
            QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        }

        // Nothing to save: no question at all.
        auto [dialogs, form] = makeForm();
        QVERIFY(form->ConfirmSave());
        QVERIFY(dialogs->asked.empty());
    }

    void quitAndCloseAskOnlyWhenModified()
    {
        struct Case {
            const char* name;
            bool viaQuit;
            bool modified;
            std::deque<QMessageBox::StandardButton> answers;
            bool saveSucceeds;
            bool staysOpen;
        };
        const Case cases[] = {
            {"quit, unmodified", true, false, {}, false, false},
            {"quit, cancel", true, true, {QMessageBox::Cancel}, false, true},
            {"quit, no", true, true, {QMessageBox::No}, false, false},
            {"quit, yes and saved", true, true, {QMessageBox::Yes}, true, false},
            {"quit, yes and save failed", true, true, {QMessageBox::Yes}, false, true},
            {"close, unmodified", false, false, {}, false, false},
            {"close, cancel", false, true, {QMessageBox::Cancel}, false, true},
            {"close, no", false, true, {QMessageBox::No}, false, false},
            {"close, yes and save failed", false, true, {QMessageBox::Yes}, false, true},
        };
        for (const Case& c : cases) {
            auto [dialogs, form] = makeForm();
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
            const ModifiedImage image(*form, *dialogs, c.saveSucceeds);
            ModifiedImage::setModified(*form, c.modified);
            dialogs->answers = c.answers;

            if (c.viaQuit)
                form->Quit->trigger();
            else
                form->close();

            QVERIFY2(form->isVisible() == c.staysOpen, c.name);
            QVERIFY2(dialogs->asked.size() == c.answers.size(), c.name);  // asked once at most, never twice
            QVERIFY2(dialogs->answers.empty(), c.name);
            QCOMPARE(form->doc.RomPath, image.rom);
            QCOMPARE(image.saved(), c.saveSucceeds && c.modified && c.answers == std::deque{QMessageBox::Yes});
            if (c.staysOpen)
                QVERIFY2(form->doc.History->Modified(), c.name);
        }
    }

    void fileFiltersInQtsSyntax()
    {
        QCOMPARE(QString::fromUtf16(zor::kAllFilesFilter), QStringLiteral(u"全てのファイル(*.*)|*.*"));
        QCOMPARE(zor::QtFileFilter(QString::fromUtf16(zor::kAllFilesFilter)), QStringLiteral(u"全てのファイル (*)"));
        QCOMPARE(zor::QtFileFilter(QStringLiteral(u"テキスト|*.txt;*.ini|全て(*.*)|*.*")),
                 QStringLiteral(u"テキスト (*.txt *.ini);;全て (*)"));
        // A description that shows its patterns as Qt would isn't given them twice.
        QCOMPARE(zor::QtFileFilter(QString::fromUtf16(zor::kRomFilter)),
                 QStringLiteral(u"ROM イメージ (*.sfc *.smc *.bin *.rom);;全てのファイル (*)"));
    }
};

int RunFlexGridTests(int argc, char** argv);
int RunViewTests(int argc, char** argv);
int RunEditTests(int argc, char** argv);
int RunChangesTests(int argc, char** argv);
int RunNavigateTests(int argc, char** argv);
int RunSpreadsheetTests(int argc, char** argv);
int RunCommandsTests(int argc, char** argv);
int RunDesktopTests(int argc, char** argv);

int main(int argc, char** argv)
{
    zor::Application app(argc, argv);
    zor::SetApplicationNames(); // the names the editor runs under, in Qt's test-mode folders:
    QStandardPaths::setTestModeEnabled(true); // the user's settings stay the user's
    // Each run starts without settings: a pipe left by a run that crashed would hold every case.
    for (const QString& file : zor::UserSettingsFiles())
        QFile::remove(file);
    app.setQuitOnLastWindowClosed(false);  // the windows of one case close while the next are made
    int failures = 0;
    {
        WindowTest test;
        failures += QTest::qExec(&test, argc, argv);
    }
    failures += RunFlexGridTests(argc, argv);
    failures += RunViewTests(argc, argv);
    failures += RunEditTests(argc, argv);
    failures += RunChangesTests(argc, argv);
    failures += RunNavigateTests(argc, argv);
    failures += RunSpreadsheetTests(argc, argv);
    failures += RunCommandsTests(argc, argv);
    failures += RunDesktopTests(argc, argv);
    return failures;
}

#include "WindowTest.moc"
