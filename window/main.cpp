#include "core/about/ApplicationNames.h"
#include "core/about/Version.h"
#include "core/files/UserSettings.h"
#include "window/Application.h"
#include "window/FolderChoice.h"
#include "window/Form1.h"
#include "window/WindowPlace.h"

#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt's own texts (standard buttons, the file dialog, the usage) in Japanese, as the rest.
void LoadQtTexts(QTranslator& texts)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    if (texts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&texts);
}

// The editor's arguments. They are read before the window system is reached, so that
// --help and --version answer on a machine without a display. The manual page is made
// from --help.
QStringList ReadArguments(int& argc, char** argv)
{
    QCoreApplication parsing(argc, argv);
    zor::SetApplicationNames();
    QTranslator texts;
    LoadQtTexts(texts);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ZOR: ROM イメージのデータ表を編集します。"));
    // Our own help option: its text in Japanese, and no Qt-only options in the manual page.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("この説明を表示します。"));
    parser.addOption(help);
    // Our own too: Qt's text is in the plain form, the rest of the help in です/ます.
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("バージョンを表示します。"));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("起動時に開く ROM イメージ"), QStringLiteral("[ROM]"));
    parser.process(parsing); // an unknown option says so and exits
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        std::exit(0);
    }
    if (parser.isSet(version)) {
        std::fputs((zor::VersionLine(QStringLiteral("zor")) + u'\n').toLocal8Bit().constData(), stdout);
        std::exit(0);
    }
    return parser.positionalArguments();
}

} // namespace

int main(int argc, char* argv[])
{
    const QStringList files = ReadArguments(argc, argv);

    zor::Application app(argc, argv);
    zor::SetApplicationNames();
    // Before the first QSettings: a settings file that can't be read is never opened by it nor written over.
    const zor::UserSettingsCheck settings = zor::CheckUserSettings();
    // The desktop file's name ties the window to its launcher and icon; the icon itself for every window.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.zor_editor.zor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zor/icon.png")));
    QTranslator qtTexts;
    LoadQtTexts(qtTexts);

    zor::Form1 form;
    QObject::connect(&app, &zor::Application::failed, &form, &zor::Form1::reportFailure, Qt::QueuedConnection);
    zor::RestoreWindowPlace(form);
    form.show();
    // The window first, then what the program folder and the image's load report, over it.
    QTimer::singleShot(0, &form, [&form, files, &settings] {
        form.ShowSettingsProblem(settings.problem);
        form.folders().ShowProgramFolderState();
        if (!files.isEmpty() && !files.first().isEmpty()) // an empty argument names no file
            static_cast<void>(form.OpenRom(files.first()));
    });
    const int status = app.exec();
    zor::SaveWindowPlace(form);
    return status;
}
