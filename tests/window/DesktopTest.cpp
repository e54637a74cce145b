// The window as a desktop program: recent files, the image dialogs' folder and names,
// drops, the sample and the program folder in use, the start hint, the window's place.
// The user's settings and data folder are Qt's test-mode ones (see main).

#include "core/about/Version.h"
#include "core/files/ProgramFolder.h"
#include "core/files/UserSettings.h"
#include "core/recent/RecentFiles.h"
#include "core/sample/Sample.h"
#include "tests/window/Controls.h"
#include "tests/window/TestFolder.h"

#include <QDesktopServices>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;
using namespace zor::test;
using zor::Form1;

namespace {

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

// The list as the user's settings hold it.
std::vector<zor::RecentFile> Recent()
{
    QSettings settings;
    return zor::RecentFiles::Load(settings).entries();
}

// What the window's title says is open.
QString Title(const Form1& form) { return form.windowTitle().mid(6); }

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

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

    void recentFilesFollowOpensAndSavesNewestFirst()
    {
        auto o = Open();
        Form1& form = *o.form;
        const QString x = o.folder->file(u"x.rom"_s);
        const QString home = o.folder->dir.path();
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{x, home}}));
        QCOMPARE(RecentCaptions(form).size(), 1);
        QVERIFY(RecentCaptions(form)[0].startsWith(u"&1 "_s) && RecentCaptions(form)[0].contains(u"x.rom（プログラムフォルダ "_s));
        // Save As proposes a name beside the open file, starting the dialog there.
        const QString y = o.folder->file(u"y.sfc"_s);
        o.dialogs->savePaths = {y};
        Run(form, "SaveAs");
        QCOMPARE(o.dialogs->saveStarts.back(), o.folder->file(u"x_2.rom"_s));
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{y, home}, {x, home}}));
        // The older entry, chosen from the menu, opens again and goes to the top; only once in the list.
        OpenRecent(form, 1);
        QCOMPARE(Title(form), u"x.rom"_s);
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{x, home}, {y, home}}));
        // A file that has gone is dropped with a message, and the open image stays.
        QFile::remove(y);
        o.dialogs->messagesExpected = true;
        OpenRecent(form, 1);
        QVERIFY(o.dialogs->messages.size() == 1 && o.dialogs->messages[0].text.contains(y));
        QCOMPARE(Title(form), u"x.rom"_s);
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{x, home}}));
        QCOMPARE(RecentCaptions(form).size(), 1);
        // A later run reads the list from the user's settings, the clearing too.
        QCOMPARE(RecentCaptions(Form1(std::make_unique<FakeDialogs>())), RecentCaptions(form));
        Run(form, "ClearRecent");
        const QStringList none{u"（なし）"_s};
        QCOMPARE(RecentCaptions(form), none);
        QVERIFY(!RecentMenu(form).actions().at(0)->isEnabled() && !Item(form, "ClearRecent").isEnabled());
        QCOMPARE(RecentCaptions(Form1(std::make_unique<FakeDialogs>())), none);

        // A long path is cut in its middle; the whole is the tooltip.
        const QString image = u"/tmp/"_s + QString(10000, u'd') + u"/game.rom"_s;
        {
            QSettings settings;
            zor::RecentFiles list;
            list.add(image, u"/tmp/home"_s);
            list.store(settings);
        }
        const Form1 later(std::make_unique<FakeDialogs>());
        const QString caption = RecentCaptions(later).value(0);
        QVERIFY2(caption.startsWith(u"&1 /tmp/ddd"_s) && caption.contains(u'…') && caption.endsWith(u"/game.rom（プログラムフォルダ /tmp/home）"_s),
                 qPrintable(caption.left(200)));
        QVERIFY(RecentMenu(later).fontMetrics().horizontalAdvance(caption) < later.screen()->availableGeometry().width());
        QVERIFY(RecentMenu(later).actions().at(0)->toolTip().contains(image));
    }

    void imageDialogsStartInTheImagesFolderElseTheLastOne()
    {
        auto o = Open();
        QCOMPARE(o.dialogs->openStarts, std::vector<QString>{QString()}); // nothing remembered yet
        Run(*o.form, "Read");                                               // cancelled
        QCOMPARE(o.dialogs->openStarts.back(), o.folder->dir.path());
        auto fresh = std::make_unique<FakeDialogs>();
        FakeDialogs& dialogs = *fresh;
        const Form1 form(std::move(fresh));
        Run(form, "Read");
        QCOMPARE(dialogs.openStarts.back(), o.folder->dir.path());
        Run(form, "SaveAs"); // no image: no dialog
        QVERIFY(dialogs.saveStarts.empty());
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
        // The text boxes leave a dropped path to the window.
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
        o.dialogs->openPaths = {o.folder->file(u"x.rom"_s)};
        Run(form, "Read");
        QCOMPARE(std::tuple(Title(form), form.control().ProgramFolderInUse(), DataSets(form).itemText(0)),
                 std::tuple(u"x.rom"_s, sample, zor::SampleModeName()));
        QVERIFY(folderShown.isVisible() && folderShown.toolTip() == tip(sample));
        // A folder chosen reads the open image again with it, and every image opened after.
        o.dialogs->folders = {home};
        Run(form, "ChooseFolder");
        QCOMPARE(o.dialogs->folderStarts.back(), sample);
        QCOMPARE(std::tuple(Title(form), DataSets(form).itemText(0), folderShown.toolTip()), std::tuple(u"x.rom"_s, u"m"_s, tip(home)));
        // The sample's recent entry keeps its own folder; 読み込む after it, the chosen one.
        OpenRecent(form, 1);
        QCOMPARE(std::pair(form.control().ProgramFolderInUse(), DataSets(form).itemText(0)), std::pair(sample, zor::SampleModeName()));
        o.dialogs->openPaths = {o.folder->file(u"x.rom"_s)};
        Run(form, "Read");
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
            auto fresh = std::make_unique<FakeDialogs>();
            FakeDialogs& dialogs = *fresh;
            dialogs.messagesExpected = true;
            Form1 form(std::move(fresh));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.folders().ShowProgramFolderState();
            QCOMPARE(dialogs.messages.size(), std::size_t(told));
            QVERIFY(!told || dialogs.messages[0].text.contains(missing));
            const QLabel& shown = Control<QLabel>(form, "StartHint");
            QCOMPARE(shown.isVisible(), hint);
            if (!hint)
                continue;
            QVERIFY(shown.text().contains(u"サンプルを開く"_s));
            // The folder on a line of its own, cut in its middle where it is too long.
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

    void theWindowsPlaceComesBackOnScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect placed(screen.topLeft() + QPoint(30, 40), QSize(500, 400));
        for (const QPoint& at : {placed.topLeft(), screen.bottomRight() + QPoint(4000, 4000)}) { // a screen that has gone since
            Form1 form(std::make_unique<FakeDialogs>());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.setGeometry(QRect(at, placed.size()));
            QCoreApplication::processEvents();
            zor::SaveWindowPlace(form);
            Form1 next(std::make_unique<FakeDialogs>());
            const QRect designed = next.geometry();
            zor::RestoreWindowPlace(next);
            // Off every screen: the place a new window takes, at its designed size.
            QCOMPARE(next.geometry(), at == placed.topLeft() ? placed : designed);
        }
    }

    // Last: like the editor's start, it points QSettings elsewhere for the rest of the run.
    // That QSettings then never opens the pipe is the core's to check (tests/files); here the
    // window must say so and keep its own settings away from it.
    void aSettingsFileThatIsAPipeHoldsNothingUpAndStaysAPipe()
    {
        const QString file = zor::UserSettingsFiles().first();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0644), 0);
        const auto removed = qScopeGuard([&] { QFile::remove(file); });
        const zor::UserSettingsCheck check = zor::CheckUserSettings();
        {
            auto dialogs = std::make_unique<FakeDialogs>();
            FakeDialogs& told = *dialogs;
            told.messagesExpected = true;
            Form1 form(std::move(dialogs));
            form.ShowSettingsProblem(check.problem);
            QVERIFY(told.messages.size() == 1 && told.messages[0].text.contains(file));
            zor::SaveWindowPlace(form);
        }
        struct stat info {};
        QVERIFY(lstat(QFile::encodeName(file).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    }
};

int RunDesktopTests(int argc, char** argv)
{
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DesktopTest.moc"
