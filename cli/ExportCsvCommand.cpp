#include "cli/ExportCsvCommand.h"

#include "cli/CheckCommand.h"
#include "cli/CommandOptions.h"
#include "core/document/ReadImage.h"
#include "core/csv/CsvExport.h"
#include "core/files/ProgramFolder.h"

#include <QDir>

namespace zor {

int RunExportCsv(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<CommandOptions> options = ParseCommandOptions(args, true, true, true);
    // Nothing here prints JSON, so --json is a mistake rather than something to ignore.
    if (!options || options->json) {
        err << QStringLiteral("使い方: zor-cli export-csv [--home DIR] [--out DIR] ROM\n");
        return 2;
    }
    const std::unique_ptr<LoadedImage> loaded = LoadImageForCommand(options->file, options->home, err);
    if (!loaded)
        return 1;
    const QString& programFolder = loaded->programFolder;
    const DocumentState& doc = loaded->doc;
    const ProblemLog& log = loaded->doc.Problems;
    // The editor exports whatever loaded, so problems of the load don't stop the export here either.
    if (!log.empty())
        err << QStringLiteral("警告: 読み込みで %1 件の問題がありました。\n").arg(log.items().size()) << log.text();

    const QString folder = options->out.isEmpty() ? programFolder : QDir(options->out).absolutePath();
    if (const Result<void> made = MakeFolder(folder); !made) {
        err << made.failure().said(QStringLiteral("保存先のフォルダ %1 を作れません").arg(folder)).message() << u'\n';
        return 1;
    }
    const CsvExportResult result = ExportCsv(doc, programFolder, folder);
    for (const QString& file : result.written)
        out << file << u'\n';
    for (const QString& note : result.notes)
        err << QStringLiteral("警告: ") << note << u'\n';
    if (!result.ok()) {
        err << result.outcome.failure().message() << u'\n';
        return 1;
    }
    out << QStringLiteral("%1 個の CSV ファイルを %2 に書きました。\n").arg(result.written.size()).arg(folder);
    return 0;
}

} // namespace zor
