#include "window/Form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zor"));

    // Qt's own texts (standard buttons, the file dialog) in Japanese, as the rest of the window.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ZOR: ROM イメージのデータ表を編集します。"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("起動時に開く ROM イメージ"), QStringLiteral("[ROM]"));
    parser.process(app);

    zor::Form1 form;
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        form.OpenRom(files.first());
    form.show();
    return app.exec();
}
