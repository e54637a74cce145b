// zor-cli: the headless companion of the editor, for scripts.

#include "cli/BattleCommand.h"
#include "cli/CheckCommand.h"
#include "cli/DiffCommand.h"
#include "cli/DumpCommand.h"
#include "cli/ExportCsvCommand.h"
#include "cli/ImportCsvCommand.h"
#include "cli/PatchCommand.h"
#include "cli/SampleCommand.h"

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
    else if (command == QStringLiteral("battle"))
        status = zor::RunBattle(args, out, err);
    else if (command == QStringLiteral("dump"))
        status = zor::RunDump(args, out, err);
    else if (command == QStringLiteral("diff"))
        status = zor::RunDiff(args, out, err);
    else if (command == QStringLiteral("export-csv"))
        status = zor::RunExportCsv(args, out, err);
    else if (command == QStringLiteral("import-csv"))
        status = zor::RunImportCsv(args, out, err);
    else if (command == QStringLiteral("sample"))
        status = zor::RunSample(args, out, err);
    else if (command == QStringLiteral("patch"))
        status = zor::RunPatch(args, out, err);
    else if (command == QStringLiteral("apply"))
        status = zor::RunApply(args, out, err);
    else if (command == QStringLiteral("checksum"))
        status = zor::RunChecksum(args, out, err);
    else
        err << QStringLiteral("使い方: zor-cli check [--home DIR] [--json]\n")
            << QStringLiteral("        zor-cli dump [--home DIR] ROM [--json]\n")
            << QStringLiteral("        zor-cli diff [--home DIR] OLD NEW [--json]\n")
            << QStringLiteral("        zor-cli export-csv [--home DIR] [--out DIR] ROM\n")
            << QStringLiteral("        zor-cli import-csv [--home DIR] [--in DIR] [--dry-run] [--json] ROM\n")
            << QStringLiteral("        zor-cli battle ROM [--json]\n")
            << QStringLiteral("        zor-cli sample [--force] DIR\n")
            << QStringLiteral("        zor-cli patch [--ips] ORIGINAL EDITED OUT\n")
            << QStringLiteral("        zor-cli apply PATCH ORIGINAL OUT\n")
            << QStringLiteral("        zor-cli checksum [--fix] ROM\n");
    out.flush();
    err.flush();
    return status;
}
