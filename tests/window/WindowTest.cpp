// The main window, the desktop around it, its grid and tab strip. At the offscreen 96 dpi 15 twips are a pixel.

#include "core/about/ApplicationNames.h"
#include "core/about/Version.h"
#include "core/files/ProgramFolder.h"
#include "core/files/UserSettings.h"
#include "core/recent/RecentFiles.h"
#include "tests/window/Harness.h"
#include "window/Application.h"
#include "window/FolderChoice.h"
#include "window/HelpMenu.h"
#include "window/ValueViews.h"
#include "window/WindowPlace.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QDesktopServices>
#include <QDockWidget>
#include <QDropEvent>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::FlexGrid;
using zor::Form1;

namespace {

QString Shown(const QWidget& widget) { return widget.isVisibleTo(widget.window()) ? u"shown"_s : u"hidden"_s; }

QMenu& RecentMenu(const Form1& form) { return Control<QMenu>(form, "RecentMenu"); }

// The captions of the recent submenu, as the user reads them, up to its separator.
QStringList RecentCaptions(const Form1& form)
{
    QStringList captions;
    for (const QAction* action : RecentMenu(form).actions()) {
        if (action->isSeparator())
            break;
        captions << action->text();
    }
    return captions;
}

void OpenRecent(const Form1& form, int index) { RecentMenu(form).actions().at(index)->trigger(); }

std::vector<zor::RecentFile> Recent()
{
    QSettings settings;
    return zor::RecentFiles::Load(settings).entries();
}

QString Title(const Form1& form) { return form.windowTitle().mid(6); } // what follows "ZOR - "

// Drops urls on the window as the window system delivers it; true when the window took it.
bool Drop(Form1& form, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = Grid(form).geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    QCoreApplication::processEvents(); // the open runs after the drop has ended
    return enter.isAccepted() && drop.isAccepted();
}

class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

// A shown 400 x 300 px grid with the given data rows and columns; a grid that never shows throws, as Control does.
std::unique_ptr<FlexGrid> ShownGrid(int rows, int cols)
{
    auto grid = std::make_unique<FlexGrid>();
    grid->setRows(rows + 1);
    grid->setCols(cols + 1);
    grid->resize(400, 300);
    if (!Exposed(*grid))
        throw std::runtime_error("the grid was not shown");
    return grid;
}

using Corner = std::pair<int, int>; // (row, col)
Corner Cursor(const FlexGrid& grid) { return {grid.Row(), grid.Col()}; }
Corner OtherCorner(const FlexGrid& grid) { return {grid.RowSel(), grid.ColSel()}; }

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

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
    void initTestCase() { QCOMPARE(std::pair(QWidget().logicalDpiX(), QWidget().logicalDpiY()), std::pair(96, 96)); }

    void init() { QSettings().clear(); }

    void startUpStateAndRowLabels()
    {
        const auto form = MakeForm().first;
        QVERIFY(Exposed(*form));
        zor::FlexGrid& grid = Grid(*form);
        QCOMPARE(form->windowTitle(), u"ZOR"_s);
        QVERIFY(!grid.isEnabled() && !Note(*form).isEnabled() && DataSets(*form).count() == 0);
        QCOMPARE(std::pair(Tabs(*form).SelectedIndex(), Tabs(*form).tabText(0)), std::pair(1, u"ID-セクション"_s));
        QCOMPARE((QStringList{Shown(Control<QLabel>(*form, "Label1")), Shown(Editor(*form)), Shown(Note(*form))}),
                 (QStringList{u"hidden"_s, u"hidden"_s, u"shown"_s}));
        QCOMPARE(std::tuple(grid.Rows(), grid.Cols(), grid.TextMatrix(0, 0), grid.TextMatrix(1, 0), grid.ColAlignment(0)),
                 std::tuple(2, 2, u"ID"_s, u"00"_s, 0));
        QCOMPARE(grid.RowHeight(0), 2 * zor::FlexGrid::kDefaultRowHeight);

        QCOMPARE(std::pair(form->ClientWidth(), form->ClientHeight()), std::pair(Form1::kClientWidth, Form1::kClientHeight));
        QCOMPARE(std::pair(grid.pos(), Tabs(*form).pos()), std::pair(QPoint(16, 104), QPoint(8, 80))); // 240, 1560; 120, 1200
        QCOMPARE(DataSets(*form).geometry(), QRect(16, 24, 121, DataSets(*form).height()));       // 1815 wide
        QCOMPARE(Note(*form).geometry(), QRect(160, 0, 336, 67)); // 2400, 0, 8535 - 3500, 1000 (66.7 px)
        // The grid lies over the tab page, not under it.
        QWidget* hit = form->centralWidget()->childAt(grid.geometry().center());
        QVERIFY(hit == &grid || grid.isAncestorOf(hit));

        const QFont font = Note(*form).font();
        QVERIFY(font.families().contains(u"IPAPGothic"_s));
        QCOMPARE(std::tuple(font.families().value(0), font.pointSize(), grid.font().pointSize()), std::tuple(u"ＭＳ Ｐゴシック"_s, 9, 9));

        grid.setRows(300);
        grid.setTextMatrix(0, 1, u"HP"_s);
        form->LabelGridHeaders();
        QStringList labels;
        for (const int row : {0, 1, 11, 16, 17, 256, 257, 299})
            labels << grid.TextMatrix(row, 0);
        QCOMPARE(labels, (QStringList{u"ID"_s, u"00"_s, u"0A"_s, u"0F"_s, u"10"_s, u"FF"_s, u"100"_s, u"12A"_s}));
        QCOMPARE(grid.TextMatrix(0, 1), u"HP"_s);
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
              {"SearchNext", u"次を検索", keys("F3")}, {"SearchPrevious", u"前を検索", keys("Shift+F3")}, {"GoTo", u"移動", keys("Ctrl+G")},
              {"HexColumns", u"16進の列は16進で入力", none}}},
            {"Hyo", u"表示",
             {{"NotationHex", u"選択セクションを16進数表記", none, false}, {"NotationCodeDec", u"選択セクションを符号付き10進数表記", none, false},
              {"NotationDec", u"選択セクションを符号無し10進数表記", none, false}, {"ShowChanges", u"変更一覧", none},
              {"ColourByValue", u"値で色分け", none}, {"ShowChart", u"グラフ", none}}},
            {"Date", u"データ", {{"OpCSV", u"全データをCSVで保存", none}, {"ImportCSV", u"CSVから読み込む…", none}}},
            {"Help", u"ヘルプ", {{"OpenSample", u"サンプルを開く", none}, {"OpenProgramFolder", u"プログラムフォルダを開く", none}, {"About", u"バージョン情報", none}}},
        };

        const auto form = MakeForm().first;
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
        QCOMPARE(zor::test::Item(*form, "redou").shortcuts(), (QList<QKeySequence>{keys("Ctrl+Y"), keys("Ctrl+Shift+Z")}));
    }

    void panesGrowTheWindowOnlyWithinTheScreen()
    {
        auto o = Open();
        Form1& form = *o.form;
        const QRect available = form.screen()->availableGeometry();
        const QSize small(420, 320);
        for (const auto& [item, name, across] : {std::tuple("ShowChart", "ChartDock", false), {"ShowChanges", "ChangesPanel", true}}) {
            const QDockWidget& pane = Control<QDockWidget>(form, name);
            const int first = across ? form.PixelsX(zor::ValueViews::kChangesPaneWidth) : form.PixelsY(zor::ValueViews::kChartPaneHeight);
            for (const int free : {first + 40, 40}) { // room for the pane, or 40 pixels of it
                form.resize(small);
                QCoreApplication::processEvents();
                const QSize frame = form.frameGeometry().size();
                form.move(across ? available.right() - free - frame.width() + 1 : available.left(),
                          across ? available.top() : available.bottom() - free - frame.height() + 1);
                QCoreApplication::processEvents();
                QCOMPARE(form.size(), small);
                const QSize grid = Grid(form).size();
                Run(form, item);
                QCoreApplication::processEvents();
                QVERIFY(!pane.isHidden());
                QVERIFY2(available.contains(form.frameGeometry()), qPrintable(QString::number(free)));
                QVERIFY(std::abs((across ? pane.width() : pane.height()) - first) <= 2);
                // Within the screen the grid keeps its size; at its edge it gives the rest.
                const int shrunk = across ? grid.width() - Grid(form).width() : grid.height() - Grid(form).height();
                QVERIFY2(free > first ? shrunk == 0 : shrunk > (first - free) / 2, qPrintable(QString::number(shrunk)));
                Run(form, item);
                QCoreApplication::processEvents();
                QCOMPARE(std::pair(pane.isHidden(), form.size()), std::pair(true, small));
            }
        }
    }

    void resizeFitsTheControlsToTheClientArea()
    {
        const auto form = MakeForm().first;
        QVERIFY(Exposed(*form));
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
            QCOMPARE(std::tuple(note.size(), grid.pos(), tabs.pos()), std::tuple(QSize(noteWidth, noteHeight), gridPos, tabPos));
        }

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
        QCOMPARE(zor::QtFileFilter(QString::fromUtf16(zor::kAllFilesFilter)), u"全てのファイル (*)"_s);
        QCOMPARE(zor::QtFileFilter(u"テキスト|*.txt;*.ini|全て(*.*)|*.*"_s), u"テキスト (*.txt *.ini);;全て (*)"_s);
        // A description that shows its patterns as Qt would isn't given them twice.
        QCOMPARE(zor::QtFileFilter(QString::fromUtf16(zor::kRomFilter)), u"ROM イメージ (*.sfc *.smc *.bin *.rom);;全てのファイル (*)"_s);
    }

    void recentFilesAndTheImageDialogsFollowOpensAndSaves()
    {
        auto o = Open();
        Form1& form = *o.form;
        const QString x = o.folder->file(u"x.rom"_s);
        const QString home = o.folder->dir.path();
        // The open dialog starts in the open image's folder, else the last one's.
        QCOMPARE(o.dialogs->openStarts, std::vector<QString>{QString()}); // nothing remembered yet
        Run(form, "Read");                                                  // cancelled
        QCOMPARE(o.dialogs->openStarts.back(), home);
        const auto [empty, dialogs] = MakeForm();
        Run(*empty, "Read");
        Run(*empty, "SaveAs"); // no image: no dialog
        QCOMPARE(std::pair(dialogs->openStarts.back(), dialogs->saveStarts.size()), std::pair(home, std::size_t(0)));
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{x, home}}));
        QVERIFY(RecentCaptions(form)[0].startsWith(u"&1 "_s) && RecentCaptions(form)[0].contains(u"x.rom（プログラムフォルダ "_s));
        const QString y = o.folder->file(u"y.sfc"_s);
        o.dialogs->savePaths = {y};
        Run(form, "SaveAs");
        QCOMPARE(o.dialogs->saveStarts.back(), o.folder->file(u"x_2.rom"_s));
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{y, home}, {x, home}}));
        OpenRecent(form, 1);
        QCOMPARE(std::pair(Title(form), Recent()), std::pair(u"x.rom"_s, std::vector<zor::RecentFile>{{x, home}, {y, home}}));
        QFile::remove(y);
        o.dialogs->messagesExpected = true;
        OpenRecent(form, 1);
        QVERIFY(o.dialogs->messages.size() == 1 && o.dialogs->messages[0].text.contains(y));
        QCOMPARE(std::tuple(Title(form), Recent(), RecentCaptions(form).size()),
                 std::tuple(u"x.rom"_s, std::vector<zor::RecentFile>{{x, home}}, qsizetype(1)));
        // A later run reads the list from the user's settings (below), the clearing too.
        Run(form, "ClearRecent");
        const QStringList none{u"（なし）"_s};
        QCOMPARE(RecentCaptions(form), none);
        QVERIFY(!RecentMenu(form).actions().at(0)->isEnabled() && !Item(form, "ClearRecent").isEnabled());
        QCOMPARE(RecentCaptions(*MakeForm().first), none);

        const QString image = u"/tmp/"_s + QString(10000, u'd') + u"/game.rom"_s;
        QSettings settings;
        zor::RecentFiles list;
        list.add(image, u"/tmp/home"_s);
        list.store(settings);
        const auto later = MakeForm().first;
        const QString caption = RecentCaptions(*later).value(0);
        QVERIFY2(caption.startsWith(u"&1 /tmp/ddd"_s) && caption.contains(u'…') && caption.endsWith(u"/game.rom（プログラムフォルダ /tmp/home）"_s),
                 qPrintable(caption.left(200)));
        QVERIFY(RecentMenu(*later).fontMetrics().horizontalAdvance(caption) < later->screen()->availableGeometry().width());
        QVERIFY(RecentMenu(*later).actions().at(0)->toolTip().contains(image));
    }

    void aDropOfOneFileOpensItAnythingElseNothing()
    {
        auto o = Open();
        Form1& form = *o.form;
        const QString x = o.folder->file(u"x.rom"_s);
        const QString y = o.folder->file(u"y.rom"_s);
        QVERIFY(QFile::copy(x, y));
        QVERIFY(!Drop(form, {QUrl::fromLocalFile(o.folder->dir.path())}));
        QVERIFY(!Drop(form, {QUrl::fromLocalFile(y), QUrl::fromLocalFile(x)}));
        QVERIFY(!Drop(form, {QUrl(u"https://example.invalid/y.rom"_s)}));
        QCOMPARE(Title(form), u"x.rom"_s);
        // The save question comes first; cancelled, nothing opens.
        ShowTable(form);
        Type(form, "7\r");
        o.dialogs->answers = {QMessageBox::Cancel, QMessageBox::No};
        QVERIFY(Drop(form, {QUrl::fromLocalFile(y)}));
        QCOMPARE(std::pair(o.dialogs->asked.size(), Title(form)), std::pair(std::size_t(1), u"x.rom*"_s));
        QVERIFY(Drop(form, {QUrl::fromLocalFile(y)}));
        QCOMPARE(Title(form), u"y.rom"_s);
        QVERIFY(!Note(form).acceptDrops() && !Note(form).viewport()->acceptDrops());
    }

    void theSampleOpensWithItsOwnFolderForEverything()
    {
        QVERIFY(QStandardPaths::isTestModeEnabled());
        const QString sample = zor::JoinPath(zor::UserDataFolder(), u"sample"_s);
        QDir(sample).removeRecursively();
        const auto removed = qScopeGuard([&] { QDir(sample).removeRecursively(); });
        auto o = Open();
        Form1& form = *o.form;
        const QString home = o.folder->dir.path();
        const QLabel& folderShown = Control<QLabel>(form, "ProgramFolderShown");
        const auto tip = [](const QString& folder) { return u"プログラムフォルダ: "_s + QDir::toNativeSeparators(folder); };
        Run(form, "OpenSample");
        QCOMPARE(std::pair(Title(form), DataSets(form).itemText(0)), std::pair(zor::SampleImageName(), zor::SampleModeName()));
        QCOMPARE(form.control().ProgramFolderInUse(), sample);
        Run(form, "OpCSV");
        QVERIFY(QFile::exists(zor::JoinPath(sample, u"クラス.csv"_s)) && !QFile::exists(zor::JoinPath(home, u"クラス.csv"_s)));
        QCOMPARE(Recent().front(), (zor::RecentFile{zor::JoinPath(sample, zor::SampleImageName()), sample}));

        // 読み込む keeps the open image's folder, and the status bar shows it.
        o.reread();
        QCOMPARE(std::tuple(Title(form), form.control().ProgramFolderInUse(), DataSets(form).itemText(0)),
                 std::tuple(u"x.rom"_s, sample, zor::SampleModeName()));
        QVERIFY(folderShown.isVisible() && folderShown.toolTip() == tip(sample));
        o.dialogs->folders = {home};
        Run(form, "ChooseFolder");
        QCOMPARE(o.dialogs->folderStarts.back(), sample);
        QCOMPARE(std::tuple(Title(form), DataSets(form).itemText(0), folderShown.toolTip()), std::tuple(u"x.rom"_s, u"m"_s, tip(home)));
        // The sample's recent entry keeps its own folder; 読み込む after it, the chosen one.
        OpenRecent(form, 1);
        QCOMPARE(std::pair(form.control().ProgramFolderInUse(), DataSets(form).itemText(0)), std::pair(sample, zor::SampleModeName()));
        o.reread();
        QCOMPARE(form.control().ProgramFolderInUse(), home);

        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"file"_s, &recorder, "open");
        Run(form, "OpenProgramFolder");
        QDesktopServices::unsetUrlHandler(u"file"_s);
        QCOMPARE(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(home)});
        for (const QString& part : {zor::ZorVersion(), QString::fromLatin1(qVersion()), u"GPL-3.0-or-later"_s, home})
            QVERIFY2(form.help().AboutText().contains(part), qPrintable(part));
    }

    void theProgramFolderIsToldAndTheHintShowsUntilATable()
    {
        Folder definitions;
        QTemporaryDir empty;
        // A long path, so that the hint must cut it.
        const QString missing = empty.filePath(u"gone/"_s + QString(30, u'p') + u'/' + QString(30, u'q') + u'/' + QString(30, u'r') + u'/'
                                               + QString(30, u's') + u"/end"_s);
        for (const auto& [home, told, hint] : {std::tuple(definitions.dir.path(), false, false), {empty.path(), false, true}, {missing, true, true}}) {
            qputenv("ZOR_HOME", home.toUtf8());
            const auto [window, dialogs] = MakeForm(true);
            Form1& form = *window;
            QVERIFY(Exposed(form));
            form.folders().ShowProgramFolderState();
            QCOMPARE(dialogs->messages.size(), std::size_t(told));
            QVERIFY(!told || dialogs->messages[0].text.contains(missing));
            const QLabel& shown = Control<QLabel>(form, "StartHint");
            QCOMPARE(shown.isVisible(), hint);
            if (!hint)
                continue;
            QVERIFY(shown.text().contains(u"サンプルを開く"_s));
            const QString line = shown.text().split(u'\n').last();
            QVERIFY2(line == home || (home == missing && line.startsWith(home.left(8)) && line.contains(u'…') && line.endsWith(u"/end"_s)),
                     qPrintable(line));
            QVERIFY(shown.fontMetrics().horizontalAdvance(line) < shown.contentsRect().width());
            // No empty grid shows around the hint: where its heading was is the window's colour.
            const QImage shot = form.centralWidget()->grab().toImage();
            QCOMPARE(shot.pixelColor(Grid(form).geometry().topLeft() + QPoint(6, 6)), shown.palette().color(QPalette::Window));
            // The hint lies over the grid, and clicks reach the grid through it.
            QVERIFY(Grid(form).geometry().contains(shown.geometry()));
            QWidget* hit = form.centralWidget()->childAt(shown.geometry().center());
            QVERIFY(hit == &Grid(form) || Grid(form).isAncestorOf(hit));
            QVERIFY(form.OpenRom(definitions.file(u"x.rom"_s), definitions.dir.path()));
            QVERIFY(!shown.isVisible());
        }
    }

    void theWindowsPlaceComesBackOnScreenAndASettingsPipeHoldsNothingUp()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect placed(screen.topLeft() + QPoint(30, 40), QSize(500, 400));
        for (const QPoint& at : {placed.topLeft(), screen.bottomRight() + QPoint(4000, 4000)}) { // a screen that has gone since
            const auto form = MakeForm().first;
            QVERIFY(Exposed(*form));
            form->setGeometry(QRect(at, placed.size()));
            QCoreApplication::processEvents();
            zor::SaveWindowPlace(*form);
            const auto next = MakeForm().first;
            const QRect designed = next->geometry();
            zor::RestoreWindowPlace(*next);
            // Off every screen: the place a new window takes, at its designed size.
            QCOMPARE(next->geometry(), at == placed.topLeft() ? placed : designed);
        }

        // Last, as it points QSettings elsewhere for the rest of the run, like the editor's start.
        // The pipe left unopened is the core's to check; the window must say so and keep away.
        const QString file = zor::UserSettingsFiles().first();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0644), 0);
        const auto removed = qScopeGuard([&] { QFile::remove(file); });
        const zor::UserSettingsCheck check = zor::CheckUserSettings();
        {
            const auto [form, told] = MakeForm(true);
            form->ShowSettingsProblem(check.problem);
            QVERIFY(told->messages.size() == 1 && told->messages[0].text.contains(file));
            zor::SaveWindowPlace(*form);
        }
        struct stat info {};
        QVERIFY(lstat(QFile::encodeName(file).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    }

    void twipsConvertAtTheScreensDpi()
    {
        QCOMPARE((std::vector{zor::TwipsToPixels(15, 96), zor::TwipsToPixels(1440, 96), zor::TwipsToPixels(1440, 120),
                              zor::TwipsToPixels(22, 96), zor::TwipsToPixels(23, 96)}),
                 (std::vector{1, 96, 120, 1, 2})); // 1.47 px rounds to 1
        QCOMPARE(std::pair(zor::PixelsToTwips(569, 96), zor::PixelsToTwips(120, 120)), std::pair(8535, 1440));
    }

    void cellsMapOntoTheModelPlusOneWithTheirAlignments()
    {
        FlexGrid grid;
        grid.setRows(3);
        grid.setCols(4);
        QCOMPARE(std::pair(grid.model()->rowCount(), grid.model()->columnCount()), std::pair(2, 3));
        grid.setCellTextProvider([](int row, int col) { return u"%1,%2"_s.arg(row).arg(col); });
        QCOMPARE(std::tuple(grid.model()->index(0, 0).data().toString(), grid.model()->index(1, 2).data().toString(), grid.TextMatrix(2, 3)),
                 std::tuple(u"1,1"_s, u"2,3"_s, u"2,3"_s));
        grid.setTextMatrix(0, 0, u"ID"_s);
        grid.setTextMatrix(2, 0, u"row 2"_s);
        QCOMPARE(grid.model()->headerData(1, Qt::Vertical).toString(), u"row 2"_s);
        QCOMPARE(std::tuple(grid.TextMatrix(0, 0), grid.TextMatrix(2, 0), grid.TextMatrix(1, 0)), std::tuple(u"ID"_s, u"row 2"_s, QString()));
        // A long heading draws on two lines, broken in its middle; its text stays whole.
        const QString headings[] = {u"防御力ボーナ"_s, u"防御力ボーナス"_s, u"ABCDEFGH"_s};
        const QString drawn[] = {headings[0], u"防御力 \nボーナス"_s, u"ABCD \nEFGH"_s};
        for (int c = 1; c <= 3; ++c) {
            grid.setTextMatrix(0, c, headings[c - 1]);
            QCOMPARE(std::pair(grid.model()->headerData(c - 1, Qt::Horizontal).toString(), grid.TextMatrix(0, c)),
                     std::pair(drawn[c - 1], headings[c - 1]));
        }

        // Alignment codes: three across, each top, centre and bottom.
        const Qt::Alignment across[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
        const Qt::Alignment down[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
        for (int code = 0; code <= 8; ++code)
            QCOMPARE(FlexGrid::alignmentFromCode(code), across[code / 3] | down[code % 3]);
        grid.setColAlignment(0, 0);
        grid.setColAlignment(2, 6);
        QCOMPARE(grid.ColAlignment(2), 6);
        const auto alignment = [](const QVariant& value) { return Qt::Alignment(value.toInt()); };
        // Values and row labels sit on their row's line, whatever the code's vertical part; headings keep it.
        QCOMPARE(alignment(grid.model()->index(1, 1).data(Qt::TextAlignmentRole)), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(alignment(grid.model()->index(1, 0).data(Qt::TextAlignmentRole)), FlexGrid::alignmentFromCode(FlexGrid::kDefaultAlignment));
        QCOMPARE(alignment(grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole)), Qt::AlignRight | Qt::AlignTop);
        QCOMPARE(alignment(grid.model()->headerData(0, Qt::Vertical, Qt::TextAlignmentRole)), Qt::AlignLeft | Qt::AlignVCenter);
    }

    void clearEmptiesEveryTextAndRowCountsKeepTheRest()
    {
        FlexGrid grid;
        QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.setRows(4);
        grid.setCols(4);
        grid.setTextMatrix(0, 1, u"A"_s);
        grid.setTextMatrix(3, 0, u"02"_s);
        grid.setCellTextProvider([](int, int) { return u"FF"_s; });
        grid.setRowHeight(1, 300);
        grid.setRows(2);
        grid.setCols(3);
        grid.setRows(4);
        QCOMPARE(std::tuple(grid.RowHeight(1), grid.TextMatrix(3, 0), grid.TextMatrix(0, 1)), std::tuple(300, QString(), u"A"_s));
        grid.Clear();
        QCOMPARE(std::tuple(grid.TextMatrix(0, 1), grid.TextMatrix(1, 1), grid.model()->index(0, 0).data().toString()),
                 std::tuple(QString(), QString(), QString()));
        QCOMPARE(std::pair(grid.Rows(), grid.RowHeight(1)), std::pair(4, 300));
    }

    void questionsOutsideTheTableGetNothingAndBadArgumentsThrow()
    {
        FlexGrid grid;
        grid.setRows(3);
        grid.setCols(3);
        grid.setColAlignment(1, 6);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.TextMatrix(3, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setTextMatrix(0, 3, QString()));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.ColWidth(-1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRowHeight(3, 100));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setTextMatrix(1, 1, u"x"_s));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setRows(0));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setColWidth(1, -15));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, grid.setColAlignment(1, 9));
        QCOMPARE(std::pair(grid.ColAlignment(1), grid.Rows()), std::pair(6, 3)); // unchanged
        const QAbstractItemModel& model = *grid.model();
        for (const int section : {5, 2, -1}) // 1 is the last
            QVERIFY(!model.headerData(section, Qt::Horizontal).isValid());
        QVERIFY(!model.headerData(0, Qt::Orientation(0)).isValid());
        const QStandardItemModel other(3, 3);
        QVERIFY(!model.data(other.index(0, 0)).isValid());

        // What the provider throws shows as an empty cell, also while the view paints.
        grid.setCellTextProvider([](int row, int) -> QString {
            if (row == 2)
                throw std::runtime_error("no such byte");
            return u"ok"_s;
        });
        QCOMPARE(model.index(1, 0).data().toString(), QString());
        grid.resize(300, 200);
        QVERIFY(!grid.grab().isNull());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, grid.TextMatrix(2, 1));
        // Marks are asked for the same way: a marked cell gets the soft background, a throw none.
        grid.setCellMarkProvider([](int row, int col) {
            if (row == 2)
                throw std::runtime_error("no such byte");
            return col == 2;
        });
        QCOMPARE(model.index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), FlexGrid::markColour());
        QVERIFY(!model.index(0, 0).data(Qt::BackgroundRole).isValid() && !model.index(1, 1).data(Qt::BackgroundRole).isValid());
        grid.Clear();
        QVERIFY(!model.index(0, 1).data(Qt::BackgroundRole).isValid());
    }

    void sizesReachTheViewAndAFillResetsOnceEvenCutShort()
    {
        FlexGrid grid;
        grid.setRows(4);
        grid.setCols(3);
        grid.setColWidth(0, 900);
        grid.setRowHeight(0, 600);
        grid.setRowHeight(2, 600);
        grid.setColWidth(1, 1500);
        QCOMPARE(std::tuple(grid.horizontalHeader()->sectionSize(0), grid.verticalHeader()->sectionSize(1), grid.ColWidth(2)),
                 std::tuple(100, 40, FlexGrid::kDefaultColWidth));
        QCOMPARE(std::pair(grid.horizontalHeader()->height(), grid.verticalHeader()->width()), std::pair(40, 60));
        QAbstractItemModelTester tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(grid.model(), &QAbstractItemModel::modelReset);
        QSignalSpy others[] = {{grid.model(), &QAbstractItemModel::rowsInserted}, {grid.model(), &QAbstractItemModel::headerDataChanged}};
        grid.beginFill();
        grid.setRows(1001);
        grid.setCols(5);
        for (int r = 1; r < grid.Rows(); ++r)
            grid.setRowHeight(r, r == 500 ? 450 : 300);
        grid.setColWidth(1, 1000); // 66.7 px, which must not come back as 67 px' 1005 twips
        grid.setColWidth(0, 600);
        grid.endFill();
        QCOMPARE(std::tuple(resets.count(), others[0].count(), others[1].count()), std::tuple(1, 0, 0));
        const QHeaderView& rows = *grid.verticalHeader();
        // 40 before the fill, which a reset alone keeps.
        QCOMPARE(std::tuple(rows.sectionSize(1), rows.sectionSize(499), rows.length(), rows.width()), std::tuple(20, 30, 999 * 20 + 30, 40));
        QCOMPARE(std::pair(grid.horizontalHeader()->sectionSize(0), grid.ColWidth(1)), std::pair(67, 1000));
        grid.setRowHeight(3, 150);
        grid.setRows(1003);
        QCOMPARE(std::tuple(rows.sectionSize(2), rows.sectionSize(1001), grid.RowHeight(1002)), std::tuple(10, 16, FlexGrid::kDefaultRowHeight));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, grid.endFill());
        // A fill cut short still ends: the view shows what it had set.
        try {
            FlexGrid::Fill fill(grid);
            grid.setRows(5);
            grid.setCols(3);
            throw std::runtime_error("cut short");
        } catch (const std::runtime_error&) {
        }
        QCOMPARE(std::tuple(grid.isFilling(), grid.model()->rowCount(), grid.Row()), std::tuple(false, 4, 1));
    }

    void cursorMovesOnlyToDataCells()
    {
        FlexGrid grid;
        QSignalSpy entered(&grid, &FlexGrid::enterCell);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(1));
        grid.setRows(6);
        grid.setCols(4);
        QCOMPARE(Cursor(grid), Corner(1, 1)); // it comes with the first data cell
        grid.setRow(4);
        grid.setCol(3);
        grid.setRow(5);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRow(6));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setCol(4));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setRowSel(0));
        QCOMPARE(std::tuple(Cursor(grid), entered.count()), std::tuple(Corner(5, 3), 4));
        grid.setRowSel(2);
        grid.setColSel(1);
        QCOMPARE(std::tuple(OtherCorner(grid), grid.selectionModel()->selectedIndexes().size()), std::tuple(Corner(2, 1), 4 * 3));
        grid.setCol(2); // collapses the selection
        QCOMPARE(OtherCorner(grid), Corner(5, 2));
        grid.setRows(3); // takes the cursor's row away
        QCOMPARE(std::tuple(grid.Row(), entered.count()), std::tuple(2, 6));
    }

    void shiftAndTheMouseSelectARectangle()
    {
        auto grid = ShownGrid(10, 6);
        grid->setFocus();
        grid->setRow(3);
        grid->setCol(2);
        QSignalSpy entered(grid.get(), &FlexGrid::enterCell);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Left})
            QTest::keyClick(grid.get(), key, Qt::ShiftModifier);
        QCOMPARE(std::pair(Cursor(*grid), OtherCorner(*grid)), std::pair(Corner(3, 2), Corner(5, 1)));
        QCOMPARE(std::tuple(grid->selectionModel()->selectedIndexes().size(), entered.count()), std::tuple(3 * 2, 0));
        QTest::keyClick(grid.get(), Qt::Key_End, Qt::ShiftModifier); // to the last column
        QCOMPARE(OtherCorner(*grid), Corner(5, 6));
        // A drag: the cursor stays on the pressed cell, the other corner follows; so does Shift and a click.
        const auto at = [&](int row, int col) { return grid->visualRect(grid->model()->index(row - 1, col - 1)).center(); };
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, at(3, 4));
        QMouseEvent move(QEvent::MouseMove, at(2, 2), grid->viewport()->mapToGlobal(at(2, 2)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid->viewport(), &move);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at(2, 2));
        QCOMPARE(std::tuple(Cursor(*grid), OtherCorner(*grid), entered.count()), std::tuple(Corner(3, 4), Corner(2, 2), 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(4, 5));
        QCOMPARE(std::pair(Cursor(*grid), OtherCorner(*grid)), std::pair(Corner(3, 4), Corner(4, 5)));
    }

    void scrollingReportsTheFirstRowAndColumnInView()
    {
        auto grid = ShownGrid(20, 30);
        QSignalSpy scrolled(grid.get(), &FlexGrid::scrolled);
        grid->setRows(201);
        grid->setTopRow(50); // before the view has laid the new rows out
        grid->setLeftCol(7);
        QCOMPARE(std::tuple(Corner(grid->TopRow(), grid->LeftCol()), scrolled.count()), std::tuple(Corner(50, 7), 2));
        const int partlyInView = (grid->viewport()->height() + 15) / 16;
        QVERIFY(grid->RowIsVisible(50) && grid->RowIsVisible(50 + partlyInView - 1) && grid->RowIsVisible(0));
        QVERIFY(!grid->RowIsVisible(49) && !grid->RowIsVisible(50 + partlyInView));
        QVERIFY(grid->ColIsVisible(7) && !grid->ColIsVisible(6));
        // A row past the table is taken as the last, which then sits at the bottom; one before it as the first.
        grid->setTopRow(999);
        QCOMPARE(std::pair(grid->TopRow(), grid->RowIsVisible(200)), std::pair(200 - partlyInView + 1, true));
        grid->setRow(2); // out of view: both ways
        QCOMPARE(Corner(grid->TopRow(), grid->LeftCol()), Corner(2, 1));
        grid->setTopRow(-5);
        grid->setLeftCol(0);
        QCOMPARE(std::tuple(Corner(grid->TopRow(), grid->LeftCol()), scrolled.count()), std::tuple(Corner(1, 1), 6));
        FlexGrid empty;
        empty.setTopRow(3); // no data rows: nothing to scroll to
        empty.setLeftCol(3);
        QCOMPARE(Corner(empty.TopRow(), empty.LeftCol()), Corner(0, 0));
    }

    void cursorCellGeometryIsInTwipsFromTheGridsCorner()
    {
        auto grid = ShownGrid(20, 8);
        grid->setColWidth(0, 900);  // 60 px
        grid->setColWidth(1, 1500); // 100 px
        grid->setRowHeight(0, 450); // 30 px
        grid->setRowHeight(1, 300); // 20 px
        grid->setRow(2);
        grid->setCol(3);
        const int frame = grid->frameWidth();
        QCOMPARE(std::pair(grid->CellLeft(), grid->CellTop()), std::pair(15 * (frame + 60 + 100 + 64), 15 * (frame + 30 + 20)));
        // Inside its grid lines: the cell lacks the line on its right and bottom.
        QCOMPARE(std::pair(grid->CellWidth(), grid->CellHeight()), std::pair(FlexGrid::kDefaultColWidth - 15, FlexGrid::kDefaultRowHeight - 15));
        grid->setLeftCol(2);
        QCOMPARE(grid->CellLeft(), 15 * (frame + 60 + 64));
    }

    void columnEdgesDragWithTheMouse()
    {
        auto grid = ShownGrid(5, 4);
        const auto drag = [](QWidget& widget, int fromX, int toX) {
            QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(fromX, 10));
            QTest::mouseMove(&widget, QPoint(toX, 10));
            QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(toX, 10));
        };
        const int edge = 2 * 64 - 1; // column 2's right edge
        drag(*grid->horizontalHeader()->viewport(), edge, edge + 30);
        QCOMPARE(grid->ColWidth(2), FlexGrid::kDefaultColWidth + 30 * 15);
        drag(*grid->horizontalHeader()->viewport(), edge + 30, 0);
        QCOMPARE(grid->ColWidth(2), 0);
        // Column 0 is the row labels' width, with a handle of ours at its right edge.
        grid->setColWidth(0, 900);
        grid->setRow(3);
        QWidget& labels = *grid->verticalHeader()->viewport();
        QTest::mouseMove(&labels, QPoint(59, 10));
        QCOMPARE(labels.cursor().shape(), Qt::SplitHCursor);
        drag(labels, 59, 59 + 25);
        QCOMPARE(std::pair(grid->ColWidth(0), grid->Row()), std::pair(900 + 25 * 15, 3)); // the press, in row 1, did not select that row
    }

    void highlightCanBeTurnedOff()
    {
        auto grid = ShownGrid(40, 20);
        grid->setRowSel(2);
        const auto pixelAt = [&](int row, int col) {
            return grid->viewport()->grab().toImage().pixel(grid->visualRect(grid->model()->index(row, col)).center());
        };
        QVERIFY(pixelAt(1, 0) != pixelAt(1, 2)); // selected and not
        grid->setHighlight(false);
        QCOMPARE(pixelAt(1, 0), pixelAt(1, 2));
    }

    void tabStripDrawsAPageBelowItsTabsInOneRow()
    {
        zor::TabStrip tabs;
        QCOMPARE((QStringList{tabs.tabText(0), tabs.tabText(1), tabs.tabText(2)}), (QStringList{u"ID-セクション"_s, u"個別データ"_s, u"戦闘パラメータ"_s}));
        QCOMPARE(tabs.SelectedIndex(), 1);
        tabs.setCurrentIndex(2);
        QCOMPARE(tabs.SelectedIndex(), 3);
        // A plain tab bar leaves the room below its tabs empty; the strip frames it.
        const auto frameSeenAtLeftEdge = [](QTabBar& bar) {
            bar.resize(300, 200);
            const QImage image = bar.grab().toImage();
            for (int x = 0; x < 4; ++x)
                if (image.pixel(x, 100) != image.pixel(150, 100))
                    return true;
            return false;
        };
        QTabBar plain;
        plain.addTab(u"a"_s);
        QVERIFY(!frameSeenAtLeftEdge(plain) && frameSeenAtLeftEdge(tabs));

        // Narrower than its tabs and taller than wide, as in a narrow window, it keeps its tabs in the row.
        tabs.setCurrentIndex(0);
        tabs.resize(550, 520);
        QVERIFY(Exposed(tabs));
        tabs.resize(tabs.tabRect(2).right() - 40, 280);
        QCoreApplication::processEvents();
        QCOMPARE(tabs.tabRect(0).topLeft(), QPoint(0, 0));
        const QList<QToolButton*> buttons = tabs.findChildren<QToolButton*>();
        QVERIFY(!buttons.isEmpty());
        for (const QToolButton* button : buttons)
            QVERIFY(button->isVisible() && button->height() == tabs.tabsHeight() && button->geometry().right() < tabs.width());
    }
};

int RunDocumentTests(int argc, char** argv);

int main(int argc, char** argv)
{
    // A home of the run's own for Qt's test-mode settings and data: runs side by side would share
    // them, and a pipe a case makes, or a crashed run left, would hold up every other run.
    const QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    zor::Application app(argc, argv);
    zor::SetApplicationNames(); // the names the editor runs under, in Qt's test-mode folders:
    QStandardPaths::setTestModeEnabled(true); // the user's settings stay the user's
    app.setQuitOnLastWindowClosed(false);  // the windows of one case close while the next are made
    WindowTest test;
    const int failures = QTest::qExec(&test, argc, argv);
    return failures + RunDocumentTests(argc, argv);
}

#include "WindowTest.moc"