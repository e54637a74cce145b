// zor-cli: the headless companion of the editor, for scripts.

#include "cli/CheckCommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    int status = 2;
    if (command == QStringLiteral("check"))
        status = zor::RunCheck(args, out, err);
    else
        err << QStringLiteral("使い方: zor-cli check [--home DIR] [--json]\n");
    out.flush();
    err.flush();
    return status;
}
