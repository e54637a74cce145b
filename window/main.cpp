#include "window/Application.h"
#include "window/Form1.h"

#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

namespace {

// The editor's arguments. They are read before the window system is reached, so that
// --help answers on a machine without a display.
QStringList ReadArguments(int& argc, char** argv)
{
    QCoreApplication parsing(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zor"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ZOR: ROM イメージのデータ表を編集します。"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("起動時に開く ROM イメージ"), QStringLiteral("[ROM]"));
    parser.process(parsing); // --help prints the usage and exits; an unknown option says so and exits
    return parser.positionalArguments();
}

} // namespace

int main(int argc, char* argv[])
{
    const QStringList files = ReadArguments(argc, argv);

    zor::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zor"));

    // Qt's own texts (standard buttons, the file dialog) in Japanese, as the rest of the window.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    zor::Form1 form;
    QObject::connect(&app, &zor::Application::failed, &form, &zor::Form1::reportFailure, Qt::QueuedConnection);
    form.show();
    // The window first, then the image: what its load reports is shown over the window.
    if (!files.isEmpty())
        QTimer::singleShot(0, &form, [&form, path = files.first()] { form.OpenRom(path); });
    return app.exec();
}
