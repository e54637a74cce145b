#include "cli/ImportCsvCommand.h"

#include "cli/CommandOptions.h"
#include "core/csv/CsvImport.h"
#include "core/document/CellBytes.h"
#include "core/edit/CellChange.h"
#include "core/edit/EditHistory.h"
#include "core/output/Save.h"
#include "core/view/Grid.h"

#include <QDir>
#include <QJsonArray>

namespace zor {

namespace {

const QString kUsage = QStringLiteral("使い方: zor-cli import-csv [--home DIR] [--in DIR] [--dry-run] [--json] ROM\n");

// The cell a change goes to, as a line names it.
QString CellOf(const DocumentState& doc, const CellRef& cell)
{
    if (cell.tab == TabBattle)
        return QStringLiteral("戦闘パラメータのレコード %1、「%2」").arg(cell.row).arg(doc.BattleSectionNames(cell.col));
    return CellName(doc, cell.tab, cell.dataSet, cell.col, cell.row);
}

QString ChangeLine(const DocumentState& doc, const CsvChange& change)
{
    const CellRef& c = change.cell;
    return QStringLiteral("%1:%2:%3: %4: %5 -> %6\n")
        .arg(change.file)
        .arg(change.line)
        .arg(change.field)
        .arg(CellOf(doc, c), FormatCellValue(doc, c, change.oldValue), FormatCellValue(doc, c, change.newValue));
}

QString ResultJson(const CsvImportResult& result, const QStringList& problems)
{
    QStringList changes;
    for (const CsvChange& change : result.changes)
        changes << JsonObject({{"file", Json(change.file)},
                               {"line", Json(change.line)},
                               {"field", Json(change.field)},
                               {"old", Json(qint64{change.oldValue})},
                               {"new", Json(qint64{change.newValue})}});
    return JsonObject({{"changes", u'[' + changes.join(u',') + u']'}, {"problems", Json(QJsonArray::fromStringList(problems))}});
}

} // namespace

int RunImportCsv(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<CommandOptions> options = ParseCommandOptions(args, true, 1, false, true);
    if (!options) {
        err << kUsage;
        return 2;
    }
    const std::unique_ptr<LoadedImage> loaded = LoadImageForCommand(options->file, options->home, err);
    if (!loaded)
        return 1;
    DocumentState& doc = loaded->doc;
    // The editor imports into whatever loaded, so problems of the load are warnings here too.
    if (!loaded->doc.Problems.empty())
        err << QStringLiteral("警告: 読み込みで %1 件の問題がありました。\n").arg(loaded->doc.Problems.items().size()) << loaded->doc.Problems.text();

    const QString folder = options->in.isEmpty() ? loaded->programFolder : QDir(options->in).absolutePath();
    const CsvImportResult result = ImportCsv(doc, loaded->programFolder, folder);
    for (const QString& note : result.notes)
        err << QStringLiteral("注意: ") << note << u'\n';
    QStringList problems = result.problems.lines();

    bool written = false;
    if (result.ok() && !options->dryRun && !result.changes.empty()) {
        // The command keeps no undo, so the journal's limit doesn't apply: the changes go straight in.
        std::vector<CellChange> changes;
        changes.reserve(result.changes.size());
        for (const CsvChange& change : result.changes)
            changes.push_back({change.cell, {change.oldValue}, {change.newValue}});
        if (!ApplyCellChanges(doc, changes)) {
            problems << QStringLiteral("取り込む変更に同じセルが二度あります。");
        } else {
            const Result<void> saved = SaveDocument(doc);
            written = saved.ok();
            if (!saved)
                problems << saved.failure().message();
        }
    }

    if (options->json) {
        out << ResultJson(result, problems) << u'\n';
    } else {
        for (const CsvChange& change : result.changes)
            out << ChangeLine(doc, change);
        if (result.changes.empty() && problems.isEmpty())
            out << QStringLiteral("変更はありません。\n");
    }
    if (!problems.isEmpty()) {
        err << QStringLiteral("問題: %1 件\n").arg(problems.size()) << problems.join(u'\n') << u'\n'
            << QStringLiteral("取り込みをやめました。%1 は変えていません。\n").arg(options->file);
        return 1;
    }
    if (written)
        out << QStringLiteral("%1 件の変更を %2 に書きました（元のイメージは %2.bak）。\n").arg(result.changes.size()).arg(options->file);
    return 0;
}

} // namespace zor
