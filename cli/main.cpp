// zor-cli: the headless companion of the editor, for scripts.

#include "cli/CommandLine.h"
#include "core/about/ApplicationNames.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    zor::SetApplicationNames();
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const int status = zor::RunCommandLine(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
