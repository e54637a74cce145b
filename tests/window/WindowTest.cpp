// The main window: its state at start-up, its menus, its row labels, its layout on resize
// and with a pane, and the save question on the two ways out. Message boxes are answered
// by a fake.
// Expected sizes are written in twips and compared in pixels at 96 dpi, which the
// offscreen platform reports, so 15 twips are exactly one pixel.

#include "core/about/ApplicationNames.h"
#include "tests/window/Controls.h"
#include "tests/window/TestFolder.h"
#include "window/Application.h"

#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>

#include <deque>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::Form1;

namespace {

std::unique_ptr<Form1> MakeForm() { return std::make_unique<Form1>(std::make_unique<FakeDialogs>()); }

QString Shown(const QWidget& widget) { return widget.isVisibleTo(widget.window()) ? u"shown"_s : u"hidden"_s; }

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
        QCOMPARE(std::pair(probe.logicalDpiX(), probe.logicalDpiY()), std::pair(96, 96));
    }

    void startUpState()
    {
        const auto form = MakeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const zor::FlexGrid& grid = Grid(*form);
        QCOMPARE(form->windowTitle(), u"ZOR"_s);
        QVERIFY(!grid.isEnabled() && !Note(*form).isEnabled() && DataSets(*form).count() == 0);
        QCOMPARE(std::pair(Tabs(*form).SelectedIndex(), Tabs(*form).tabText(0)), std::pair(1, u"ID-セクション"_s));
        QCOMPARE((QStringList{Shown(Control<QLabel>(*form, "Label1")), Shown(Editor(*form)), Shown(Note(*form))}),
                 (QStringList{u"hidden"_s, u"hidden"_s, u"shown"_s}));
        QCOMPARE(std::tuple(grid.Rows(), grid.Cols(), grid.TextMatrix(0, 0), grid.TextMatrix(1, 0), grid.ColAlignment(0)),
                 std::tuple(2, 2, u"ID"_s, u"00"_s, 0));
        QCOMPARE(grid.RowHeight(0), 2 * zor::FlexGrid::kDefaultRowHeight);

        // The designed client area and the controls' places in it, in pixels of 15 twips.
        QCOMPARE(std::pair(form->ClientWidth(), form->ClientHeight()), std::pair(Form1::kClientWidth, Form1::kClientHeight));
        QCOMPARE(grid.pos(), QPoint(16, 104));                // 240, 1560
        QCOMPARE(Tabs(*form).pos(), QPoint(8, 80));           // 120, 1200
        QCOMPARE(DataSets(*form).geometry().topLeft(), QPoint(16, 24));
        QCOMPARE(DataSets(*form).width(), 121);               // 1815
        QCOMPARE(Note(*form).geometry(), QRect(160, 0, 336, 67)); // 2400, 0, 8535 - 3500, 1000 (66.7 px)
        // The grid lies over the tab page, not under it.
        QWidget* hit = form->centralWidget()->childAt(grid.geometry().center());
        QVERIFY(hit == &grid || grid.isAncestorOf(hit));

        const QFont font = Note(*form).font();
        QCOMPARE(font.families().value(0), u"ＭＳ Ｐゴシック"_s);
        QVERIFY(font.families().contains(u"IPAPGothic"_s));
        QCOMPARE(std::pair(font.pointSize(), grid.font().pointSize()), std::pair(9, 9));
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
        const auto keys = [](const char* text) { return QKeySequence(QString::fromLatin1(text)); };
        const std::vector<Menu> expected = {
            {"File", u"ファイル",
             {{"Read", u"読み込む", keys("Ctrl+O")}, {"SaveAs", u"名前を付けて保存", none}, {"Save", u"上書き保存", keys("Ctrl+S")},
              {"MakePatch", u"パッチを作成…", none}, {"ChooseFolder", u"プログラムフォルダを選ぶ…", none},
              {"RecentFiles", u"最近使ったファイル", none}, {"Quit", u"終了", none}}},
            {"Edit", u"編集",
             {{"andou", u"セルを元に戻す", keys("Ctrl+Z"), false}, {"redou", u"セルをやり直す", keys("Ctrl+Y"), false},
              {"cut", u"セルを切り取り", keys("Ctrl+X")}, {"Cope", u"セルをコピー", keys("Ctrl+C")}, {"pest", u"セルを貼り付け", keys("Ctrl+V")},
              {"PasteText", u"テキストを貼り付け", keys("Ctrl+Shift+V"), false}, {"SelectionValues", u"選択範囲の値…", none, false},
              {"NewRow", u"行を追加する", none, false}, {"DeleteRow", u"行を削除する", none, false}, {"Search", u"検索", keys("Ctrl+F")},
              {"SearchNext", u"次を検索", keys("F3")}, {"SearchPrevious", u"前を検索", keys("Shift+F3")}, {"GoTo", u"移動", keys("Ctrl+G")}}},
            {"Hyo", u"表示",
             {{"NotationHex", u"選択セクションを16進数表記", none, false}, {"NotationCodeDec", u"選択セクションを符号付き10進数表記", none, false},
              {"NotationDec", u"選択セクションを符号無し10進数表記", none, false}, {"ShowChanges", u"変更一覧", none},
              {"ColourByValue", u"値で色分け", none}, {"ShowChart", u"グラフ", none}}},
            {"Date", u"データ", {{"OpCSV", u"全データをCSVで保存", none}, {"ImportCSV", u"CSVから読み込む…", none}}},
            {"Help", u"ヘルプ", {{"OpenSample", u"サンプルを開く", none}, {"OpenProgramFolder", u"プログラムフォルダを開く", none}, {"About", u"バージョン情報", none}}},
        };

        const auto form = MakeForm();
        const QList<QAction*> bar = form->menuBar()->actions();
        QCOMPARE(bar.size(), qsizetype(expected.size()));
        for (std::size_t m = 0; m < expected.size(); ++m) {
            QMenu* menu = bar[m]->menu();
            QVERIFY(menu);
            QCOMPARE(std::pair(menu->objectName(), menu->title()), std::pair(QString::fromLatin1(expected[m].name), QString::fromUtf16(expected[m].caption)));
            QList<QAction*> items = menu->actions();
            items.removeIf([](const QAction* a) { return a->isSeparator(); });
            QCOMPARE(items.size(), qsizetype(expected[m].items.size()));
            for (qsizetype i = 0; i < items.size(); ++i) {
                const Item& want = expected[m].items[std::size_t(i)];
                QCOMPARE(std::tuple(items[i]->objectName(), items[i]->text(), items[i]->shortcut(), items[i]->isEnabled(), items[i]->isChecked()),
                         std::tuple(QString::fromLatin1(want.name), QString::fromUtf16(want.caption), want.shortcut, want.enabled, false));
            }
        }
        // Ctrl+Shift+Z redoes too.
        QCOMPARE(zor::test::Item(*form, "redou").shortcuts(), (QList<QKeySequence>{keys("Ctrl+Y"), keys("Ctrl+Shift+Z")}));
    }

    void rowLabelsAreHexIdsFromZero()
    {
        const auto form = MakeForm();
        zor::FlexGrid& grid = Grid(*form);
        grid.setRows(300);
        grid.setTextMatrix(0, 1, u"HP"_s);
        form->LabelGridHeaders();
        QStringList labels;
        for (const int row : {0, 1, 11, 16, 17, 256, 257, 299})
            labels << grid.TextMatrix(row, 0);
        QCOMPARE(labels, (QStringList{u"ID"_s, u"00"_s, u"0A"_s, u"0F"_s, u"10"_s, u"FF"_s, u"100"_s, u"12A"_s}));
        QCOMPARE(grid.TextMatrix(0, 1), u"HP"_s); // column 0 only: the headings of the data columns are left alone
    }

    void panesGrowTheWindowOnlyWithinTheScreen()
    {
        auto o = Open();
        Form1& form = *o.form;
        const QRect available = form.screen()->availableGeometry();
        const QSize small(420, 320);
        struct Case {
            const char* item;
            const char* pane;
            bool across;
        };
        for (const Case& c : {Case{"ShowChart", "ChartDock", false}, Case{"ShowChanges", "ChangesPanel", true}}) {
            const QDockWidget& pane = Control<QDockWidget>(form, c.pane);
            const int first = c.across ? form.PixelsX(zor::ValueViews::kChangesPaneWidth) : form.PixelsY(zor::ValueViews::kChartPaneHeight);
            for (const int free : {first + 40, 40}) { // room for the pane, or 40 pixels of it
                form.resize(small);
                QCoreApplication::processEvents();
                const QSize frame = form.frameGeometry().size();
                form.move(c.across ? available.right() - free - frame.width() + 1 : available.left(),
                          c.across ? available.top() : available.bottom() - free - frame.height() + 1);
                QCoreApplication::processEvents();
                QCOMPARE(form.size(), small);
                const QSize grid = Grid(form).size();
                Run(form, c.item);
                QCoreApplication::processEvents();
                QVERIFY(!pane.isHidden());
                QVERIFY2(available.contains(form.frameGeometry()), qPrintable(QString::number(free)));
                QVERIFY(std::abs((c.across ? pane.width() : pane.height()) - first) <= 2);
                // Within the screen the grid keeps its size; at its edge it gives the rest.
                const int shrunk = c.across ? grid.width() - Grid(form).width() : grid.height() - Grid(form).height();
                QVERIFY2(free > first ? shrunk == 0 : shrunk > (first - free) / 2, qPrintable(QString::number(shrunk)));
                Run(form, c.item);
                QCoreApplication::processEvents();
                QVERIFY(pane.isHidden());
                QCOMPARE(form.size(), small);
            }
        }
    }

    void resizeFitsTheControlsToTheClientArea()
    {
        const auto form = MakeForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        // Let the window shrink below its menu bar's width so the guards can be reached.
        form->layout()->setSizeConstraint(QLayout::SetNoConstraint);
        form->setMinimumSize(0, 0);
        QWidget& grid = Grid(*form);
        QWidget& tabs = Tabs(*form);
        QWidget& note = Note(*form);
        const QPoint gridPos = grid.pos();
        const QPoint tabPos = tabs.pos();
        const int noteHeight = note.height();

        struct Case {
            int w, h;
            QSize tab, grid;        // twips
            bool noteShown;
            int noteWidth;          // twips; -1 keeps the width of the case before
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
        int noteWidth = note.width();
        for (const Case& c : cases) {
            const QByteArray where = QByteArray::number(c.w) + " x " + QByteArray::number(c.h);
            QVERIFY2(setClientSize(*form, c.w, c.h), where);
            QCOMPARE(tabs.size(), QSize(form->PixelsX(c.tab.width()), form->PixelsY(c.tab.height())));
            QCOMPARE(grid.size(), QSize(form->PixelsX(c.grid.width()), form->PixelsY(c.grid.height())));
            QVERIFY2(note.isVisibleTo(form.get()) == c.noteShown, where);
            if (c.noteWidth >= 0)
                noteWidth = form->PixelsX(c.noteWidth);
            QCOMPARE(note.size(), QSize(noteWidth, noteHeight));
            QCOMPARE(std::pair(grid.pos(), tabs.pos()), std::pair(gridPos, tabPos));
        }

        // Minimised, the window leaves its controls alone.
        QVERIFY(setClientSize(*form, 6000, 4500));
        const QSize tabSize = tabs.size();
        form->setWindowState(Qt::WindowMinimized);
        QVERIFY(form->isMinimized());
        form->resize(form->size() / 2);
        QCoreApplication::processEvents();
        QCOMPARE(tabs.size(), tabSize);
    }

    void quitAndCloseAskToSaveOnlyWhenModified()
    {
        using Answers = std::deque<QMessageBox::StandardButton>;
        struct Case {
            const char* name;
            bool viaQuit;
            bool modified;
            Answers answers;
            bool saveSucceeds;
            bool staysOpen;
        };
        const Case cases[] = {
            {"quit, unmodified", true, false, {}, false, false},
            {"quit, cancel", true, true, {QMessageBox::Cancel}, true, true},
            {"quit, no", true, true, {QMessageBox::No}, true, false},
            {"quit, yes and saved", true, true, {QMessageBox::Yes}, true, false},
            {"quit, yes and the save failed", true, true, {QMessageBox::Yes}, false, true}, // do not go on
            {"close, unmodified", false, false, {}, false, false},
            {"close, cancel", false, true, {QMessageBox::Cancel}, true, true},
            {"close, no", false, true, {QMessageBox::No}, true, false},
            {"close, yes and the save failed", false, true, {QMessageBox::Yes}, false, true},
        };
        for (const Case& c : cases) {
            auto o = Open(true);
            Form1& form = *o.form;
            const QString rom = o.folder->file(u"x.rom"_s);
            if (c.modified) {
                ShowTable(form);
                Type(form, "7\r");
            }
            if (!c.saveSucceeds)
                QFile::remove(rom); // the image has gone since it was read
            o.dialogs->answers = c.answers;
            if (c.viaQuit)
                Run(form, "Quit");
            else
                form.close();

            const bool yes = c.answers == Answers{QMessageBox::Yes};
            QVERIFY2(form.isVisible() == c.staysOpen, c.name);
            QVERIFY2(o.dialogs->asked.size() == c.answers.size() && o.dialogs->answers.empty(), c.name); // once at most
            QVERIFY2(QFile::exists(rom + u".bak"_s) == (yes && c.saveSucceeds), c.name);
            QVERIFY2(o.dialogs->messages.size() == std::size_t(yes && !c.saveSucceeds), c.name);
            QVERIFY2(!c.staysOpen || Modified(form), c.name);
            if (!c.answers.empty()) {
                const Asked& asked = o.dialogs->asked[0];
                QCOMPARE(std::tuple(asked.title, asked.text, asked.informative),
                         std::tuple(u"保存確認"_s, u"x.rom への変更を保存しますか？"_s, u"フォルダ: "_s + o.folder->dir.path()));
                QCOMPARE(asked.icon, QMessageBox::Question);
                QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            }
        }
    }

    void fileFiltersInQtsSyntax()
    {
        QCOMPARE(QString::fromUtf16(zor::kAllFilesFilter), u"全てのファイル(*.*)|*.*"_s);
        QCOMPARE(zor::QtFileFilter(QString::fromUtf16(zor::kAllFilesFilter)), u"全てのファイル (*)"_s);
        QCOMPARE(zor::QtFileFilter(u"テキスト|*.txt;*.ini|全て(*.*)|*.*"_s), u"テキスト (*.txt *.ini);;全て (*)"_s);
        // A description that shows its patterns as Qt would isn't given them twice.
        QCOMPARE(zor::QtFileFilter(QString::fromUtf16(zor::kRomFilter)), u"ROM イメージ (*.sfc *.smc *.bin *.rom);;全てのファイル (*)"_s);
    }
};

int RunFlexGridTests(int argc, char** argv);
int RunViewTests(int argc, char** argv);
int RunEditTests(int argc, char** argv);
int RunChangesTests(int argc, char** argv);
int RunNavigateTests(int argc, char** argv);
int RunSpreadsheetTests(int argc, char** argv);
int RunDesktopTests(int argc, char** argv);
int RunCommandsTests(int argc, char** argv);

int main(int argc, char** argv)
{
    // Each run keeps Qt's test-mode settings and data under a home of its own, empty at the
    // start: runs side by side, from other build folders, would share them, and a pipe that
    // a desktop case makes, or that a crashed run left, would hold every case of the others.
    const QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    zor::Application app(argc, argv);
    zor::SetApplicationNames(); // the names the editor runs under, in Qt's test-mode folders:
    QStandardPaths::setTestModeEnabled(true); // the user's settings stay the user's
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
