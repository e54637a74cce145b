// The window as a desktop program: recent files, the image dialogs' folder and names,
// drops, the sample and the program folder in use, the start hint, the window's place.
// The user's settings and data folder are Qt's test-mode ones (see main).

#include "core/about/Version.h"
#include "core/files/ProgramFolder.h"
#include "core/files/UserSettings.h"
#include "core/recent/RecentFiles.h"
#include "core/sample/Sample.h"
#include "tests/window/TestFolder.h"
#include "window/FlexGrid.h"
#include "window/NoteEdit.h"

#include <QDesktopServices>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <sys/stat.h>

using zor::Form1;
using zor::test::Open;

namespace {

// The captions of the recent submenu, as the user reads them, up to its separator.
QStringList RecentCaptions(const Form1& form)
{
    QStringList captions;
    for (const QAction* action : form.RecentMenu->actions()) {
        if (action->isSeparator())
            break;
        captions << action->text();
    }
    return captions;
}

QAction* RecentItem(const Form1& form, int index) { return form.RecentMenu->actions().value(index); }

// The list as the user's settings hold it.
std::vector<zor::RecentFile> Recent()
{
    QSettings settings;
    return zor::RecentFiles::Load(settings).entries();
}

// Drops urls on the window as the window system delivers it; true when the window took it.
bool Drop(Form1& form, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = form.FGrid1->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    QCoreApplication::processEvents(); // the open runs after the drop has ended
    return enter.isAccepted() && drop.isAccepted();
}

QString Copy(const zor::test::Folder& folder, const QString& name)
{
    QFile::copy(folder.file(QStringLiteral("x.rom")), folder.file(name));
    return folder.file(name);
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
        const QString x = o.folder->file(QStringLiteral("x.rom"));
        const QString home = o.folder->dir.path();
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{x, home}}));
        QCOMPARE(RecentCaptions(form).size(), 1);
        QVERIFY(RecentCaptions(form)[0].startsWith(QStringLiteral("&1 ")));
        QVERIFY(RecentCaptions(form)[0].contains(QStringLiteral("x.rom（プログラムフォルダ ")));

        // Save As proposes a name beside the open file, starting the dialog there.
        const QString y = o.folder->file(QStringLiteral("y.sfc"));
        o.dialogs->savePaths = {y};
        form.SaveAs->trigger();
        QCOMPARE(o.dialogs->saveStarts.back(), o.folder->file(QStringLiteral("x_2.rom")));
        QCOMPARE(form.doc.RomPath, y);
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{y, home}, {x, home}}));

        // The older entry, chosen from the menu, opens again and goes to the top; only once in the list.
        RecentItem(form, 1)->trigger();
        QCOMPARE(form.doc.RomPath, x);
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{x, home}, {y, home}}));

        // A file that has gone is dropped with a message, and the open image stays.
        QFile::remove(y);
        o.dialogs->messagesExpected = true;
        RecentItem(form, 1)->trigger();
        QCOMPARE(o.dialogs->messages.size(), std::size_t(1));
        QVERIFY(o.dialogs->messages[0].text.contains(y));
        QCOMPARE(form.doc.RomPath, x);
        QCOMPARE(Recent(), (std::vector<zor::RecentFile>{{x, home}}));
        QCOMPARE(RecentCaptions(form).size(), 1);

        // A later run reads the list from the user's settings, the clearing too.
        QCOMPARE(RecentCaptions(Form1(std::make_unique<zor::test::FakeDialogs>())), RecentCaptions(form));
        form.ClearRecent->trigger();
        const QStringList none{QStringLiteral(u"（なし）")};
        QCOMPARE(RecentCaptions(form), none);
        QVERIFY(!RecentItem(form, 0)->isEnabled());
        QVERIFY(!form.ClearRecent->isEnabled());
        QCOMPARE(RecentCaptions(Form1(std::make_unique<zor::test::FakeDialogs>())), none);
    }

    void aLongRecentPathIsCutInItsMiddle()
    {
        const QString image = QStringLiteral("/tmp/") + QString(10000, u'd') + QStringLiteral("/game.rom");
        {
            QSettings settings;
            zor::RecentFiles list;
            list.add(image, QStringLiteral("/tmp/home"));
            list.store(settings);
        }
        Form1 form(std::make_unique<zor::test::FakeDialogs>());
        const QString caption = RecentCaptions(form).value(0);
        QVERIFY2(caption.startsWith(QStringLiteral("&1 /tmp/ddd")) && caption.contains(u'…')
                     && caption.endsWith(QStringLiteral("/game.rom（プログラムフォルダ /tmp/home）")),
                 qPrintable(caption.left(200)));
        QVERIFY(form.RecentMenu->fontMetrics().horizontalAdvance(caption) < form.screen()->availableGeometry().width());
        QVERIFY(RecentItem(form, 0)->toolTip().contains(image));
    }

    void imageDialogsStartInTheImagesFolderElseTheLastOne()
    {
        auto o = Open();
        QCOMPARE(o.dialogs->openStarts, std::vector<QString>{QString()}); // nothing remembered yet
        o.form->Read->trigger(); // cancelled
        QCOMPARE(o.dialogs->openStarts.back(), o.folder->dir.path());

        auto fresh = std::make_unique<zor::test::FakeDialogs>();
        zor::test::FakeDialogs& dialogs = *fresh;
        Form1 form(std::move(fresh));
        form.Read->trigger();
        QCOMPARE(dialogs.openStarts.back(), o.folder->dir.path());
        form.SaveAs->trigger(); // no image: no dialog
        QVERIFY(dialogs.saveStarts.empty());
    }

    void aDropOfOneFileOpensItAnythingElseNothing()
    {
        auto o = Open();
        Form1& form = *o.form;
        const QString x = o.folder->file(QStringLiteral("x.rom"));
        const QString y = Copy(*o.folder, QStringLiteral("y.rom"));
        QVERIFY(!Drop(form, {QUrl::fromLocalFile(o.folder->dir.path())}));
        QVERIFY(!Drop(form, {QUrl::fromLocalFile(y), QUrl::fromLocalFile(x)}));
        QVERIFY(!Drop(form, {QUrl(QStringLiteral("https://example.invalid/y.rom"))}));
        QCOMPARE(form.doc.RomPath, x);

        // The save question comes first; cancelled, nothing opens.
        zor::SetCellByte(form.doc, zor::TabBattle, 0, 2, 1, form.doc.BattleParams(2, 1) ^ 1);
        o.dialogs->answers = {QMessageBox::Cancel};
        QVERIFY(Drop(form, {QUrl::fromLocalFile(y)}));
        QCOMPARE(o.dialogs->asked.size(), std::size_t(1));
        QCOMPARE(form.doc.RomPath, x);
        o.dialogs->answers = {QMessageBox::No};
        QVERIFY(Drop(form, {QUrl::fromLocalFile(y)}));
        QCOMPARE(form.doc.RomPath, y);
        // The text boxes leave a dropped path to the window.
        QVERIFY(!form.Text1->acceptDrops() && !form.Text1->viewport()->acceptDrops());
    }

    void theSampleOpensWithItsOwnFolderForEverything()
    {
        QVERIFY(QStandardPaths::isTestModeEnabled());
        const QString sample = zor::JoinPath(zor::UserDataFolder(), QStringLiteral("sample"));
        QDir(sample).removeRecursively();
        auto o = Open();
        Form1& form = *o.form;
        const QString home = o.folder->dir.path();
        form.OpenSample->trigger();
        QCOMPARE(form.doc.RomPath, zor::JoinPath(sample, zor::SampleImageName()));
        QCOMPARE(form.doc.ModeName, zor::SampleModeName());
        QCOMPARE(form.ProgramFolderInUse(), sample);
        QVERIFY(form.AboutText().contains(sample));
        form.OpCSV->trigger();
        QVERIFY(QFile::exists(zor::JoinPath(sample, QStringLiteral("クラス.csv"))));
        QVERIFY(!QFile::exists(zor::JoinPath(home, QStringLiteral("クラス.csv"))));
        QCOMPARE(Recent().front(), (zor::RecentFile{form.doc.RomPath, sample}));

        // 読み込む keeps the open image's folder, and the status bar shows it.
        const QString x = o.folder->file(QStringLiteral("x.rom"));
        o.dialogs->openPaths = {x};
        form.Read->trigger();
        QCOMPARE(form.doc.RomPath, x);
        QCOMPARE(form.ProgramFolderInUse(), sample);
        QCOMPARE(form.doc.ModeName, zor::SampleModeName());
        QCOMPARE(form.ProgramFolderShown->toolTip(), QStringLiteral("プログラムフォルダ: ") + QDir::toNativeSeparators(sample));
        QVERIFY(form.ProgramFolderShown->isVisible());
        // A folder chosen reads the open image again with it, and every image opened after.
        o.dialogs->folders = {home};
        form.ChooseFolder->trigger();
        QCOMPARE(o.dialogs->folderStarts.back(), sample);
        QCOMPARE(form.doc.RomPath, x);
        QCOMPARE(form.doc.ModeName, QStringLiteral("m"));
        QCOMPARE(form.ProgramFolderShown->toolTip(), QStringLiteral("プログラムフォルダ: ") + QDir::toNativeSeparators(home));
        // The sample's recent entry keeps its own folder; 読み込む after it, the chosen one.
        RecentItem(form, 1)->trigger();
        QCOMPARE(form.ProgramFolderInUse(), sample);
        QCOMPARE(form.doc.ModeName, zor::SampleModeName());
        o.dialogs->openPaths = {x};
        form.Read->trigger();
        QCOMPARE(form.ProgramFolderInUse(), home);
        RecentItem(form, 1)->trigger();
        QCOMPARE(form.ProgramFolderInUse(), sample);

        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
        form.OpenProgramFolder->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(sample)});

        const QString about = form.AboutText();
        for (const QString& part : {zor::ZorVersion(), QString::fromLatin1(qVersion()), QStringLiteral("GPL-3.0-or-later")})
            QVERIFY2(about.contains(part), qPrintable(part));
        QDir(sample).removeRecursively();
    }

    void theProgramFolderIsToldAndTheHintShowsUntilATable()
    {
        zor::test::Folder definitions;
        QTemporaryDir empty;
        // A long path, so that the hint must cut it.
        const QString missing = empty.filePath(QStringLiteral("gone/") + QString(30, u'p') + u'/' + QString(30, u'q') + u'/'
                                               + QString(30, u'r') + u'/' + QString(30, u's') + QStringLiteral("/end"));
        struct Case {
            QString home;
            bool told;
            bool hint;
        };
        for (const Case& c : {Case{definitions.dir.path(), false, false}, Case{empty.path(), false, true}, Case{missing, true, true}}) {
            qputenv("ZOR_HOME", c.home.toUtf8());
            auto fresh = std::make_unique<zor::test::FakeDialogs>();
            zor::test::FakeDialogs& dialogs = *fresh;
            dialogs.messagesExpected = true;
            Form1 form(std::move(fresh));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.ShowProgramFolderState();
            QCOMPARE(dialogs.messages.size(), std::size_t(c.told ? 1 : 0));
            if (c.told)
                QVERIFY(dialogs.messages[0].text.contains(missing));
            QCOMPARE(form.StartHint->isVisible(), c.hint);
            if (c.hint) {
                QVERIFY(form.StartHint->text().contains(QStringLiteral(u"サンプルを開く")));
                // The folder on a line of its own, cut in its middle where it is too long.
                const QString line = form.StartHint->text().split(u'\n').last();
                QVERIFY2(line == c.home || (c.home == missing && line.startsWith(c.home.left(8)) && line.contains(u'…')
                                            && line.endsWith(QStringLiteral("/end"))),
                         qPrintable(line));
                QVERIFY(form.StartHint->fontMetrics().horizontalAdvance(line) < form.StartHint->contentsRect().width());
                // No empty grid shows around the hint: where its heading was is the window's colour.
                const QImage shot = form.centralWidget()->grab().toImage();
                const QPoint heading = form.FGrid1->geometry().topLeft() + QPoint(6, 6);
                QCOMPARE(shot.pixelColor(heading), form.StartHint->palette().color(QPalette::Window));
                // The hint lies over the grid, and clicks reach the grid through it.
                QVERIFY(form.FGrid1->geometry().contains(form.StartHint->geometry()));
                QWidget* hit = form.centralWidget()->childAt(form.StartHint->geometry().center());
                QVERIFY(hit == form.FGrid1 || form.FGrid1->isAncestorOf(hit));
                QVERIFY(form.OpenRom(definitions.file(QStringLiteral("x.rom")), definitions.dir.path()));
                QVERIFY(!form.StartHint->isVisible());
            }
        }
    }

    void theWindowsPlaceComesBackOnScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        {
            Form1 form(std::make_unique<zor::test::FakeDialogs>());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.setGeometry(QRect(screen.topLeft() + QPoint(30, 40), QSize(500, 400)));
            QCoreApplication::processEvents();
            form.SaveWindowGeometry();
        }
        {
            Form1 form(std::make_unique<zor::test::FakeDialogs>());
            form.RestoreWindowGeometry();
            QCOMPARE(form.geometry(), QRect(screen.topLeft() + QPoint(30, 40), QSize(500, 400)));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.move(screen.bottomRight() + QPoint(4000, 4000)); // a screen that has gone since
            QCoreApplication::processEvents();
            form.SaveWindowGeometry();
        }
        // Off every screen: the place a new window takes, at its designed size.
        Form1 form(std::make_unique<zor::test::FakeDialogs>());
        const QRect designed = form.geometry();
        form.RestoreWindowGeometry();
        QCOMPARE(form.geometry(), designed);
    }

    // Last: like the editor's start, it points QSettings elsewhere for the rest of the run.
    void aSettingsFileThatIsAPipeHoldsNothingUpAndStaysAPipe()
    {
        const QString file = zor::UserSettingsFiles().first();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0644), 0);
        const auto removed = qScopeGuard([&] { QFile::remove(file); });
        const zor::UserSettingsCheck check = zor::CheckUserSettings();
        {
            auto dialogs = std::make_unique<zor::test::FakeDialogs>();
            zor::test::FakeDialogs& told = *dialogs;
            told.messagesExpected = true;
            Form1 form(std::move(dialogs));
            form.RestoreWindowGeometry();
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.ShowSettingsProblem(check.problem);
            QCOMPARE(told.messages.size(), std::size_t(1));
            QVERIFY(told.messages[0].text.contains(file));
            form.ColourByValue->trigger(); // remembered in the settings
            form.SaveWindowGeometry();
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
