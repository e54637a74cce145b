#include "cli/DiffCommand.h"

#include "cli/CommandOptions.h"
#include "core/codec/CodecError.h"
#include "core/compare/Compare.h"
#include "core/view/ChangedCell.h"
#include "core/view/Grid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace zor {

namespace {

const QString kUsage = QStringLiteral("使い方: zor-cli diff [--home DIR] OLD NEW [--json]\n");

QString TableKey(int tab)
{
    switch (tab) {
    case TabIdSection:
        return QStringLiteral("id-section");
    case TabIndividual:
        return QStringLiteral("individual");
    default:
        return QStringLiteral("battle");
    }
}

QString RangeText(const ByteRange& range)
{
    return range.first == range.last ? HexOffset(range.first)
                                     : QStringLiteral("%1-%2").arg(HexOffset(range.first), HexOffset(range.last));
}

QString CountText(const std::optional<int>& count)
{
    return count ? QString::number(*count) : QStringLiteral("読めません");
}

QString CountJson(const std::optional<int>& count) { return count ? Json(*count) : QStringLiteral("null"); }

void PrintText(const DocumentState& oldDoc, const ImageComparison& result, QTextStream& out)
{
    for (const CellDifference& cell : result.cells)
        out << ChangedCellLine(oldDoc, cell) << u'\n';
    if (result.oldBattleCount != result.newBattleCount)
        out << QStringLiteral("戦闘パラメータのレコード数: %1 -> %2\n")
                   .arg(CountText(result.oldBattleCount), CountText(result.newBattleCount));
    for (const BlockDifference& block : result.blocks)
        out << QStringLiteral("戦闘パラメータのブロック %1 のレコード数: %2 -> %3\n")
                   .arg(block.block)
                   .arg(block.oldRecords)
                   .arg(block.newRecords);
    for (const ByteRange& range : result.otherBytes)
        out << QStringLiteral("どの表にもないバイト: %1\n").arg(RangeText(range));
    if (result.identical())
        out << QStringLiteral("違いはありません。\n");
}

QString PrintJson(const QString& oldPath, const QString& newPath, const ImageComparison& result,
                  const QStringList& problems)
{
    QStringList cells;
    for (const CellDifference& cell : result.cells)
        cells << JsonObject({
            {"table", Json(TableKey(cell.tab))},
            {"dataSet", cell.tab == TabIdSection ? Json(cell.dataSetName) : QStringLiteral("null")},
            {"row", Json(cell.row)},
            {"label", Json(cell.label)},
            {"section", Json(cell.col)},
            {"caption", Json(cell.caption)},
            {"offset", cell.offset ? Json(static_cast<qint64>(*cell.offset)) : QStringLiteral("null")},
            {"size", Json(cell.size)},
            {"old", Json(qint64{cell.oldValue})},
            {"new", Json(qint64{cell.newValue})},
        });
    QStringList blocks;
    for (const BlockDifference& block : result.blocks)
        blocks << JsonObject({{"block", Json(block.block)}, {"old", Json(block.oldRecords)}, {"new", Json(block.newRecords)}});
    QJsonArray other;
    for (const ByteRange& range : result.otherBytes)
        other.append(QJsonArray{static_cast<qint64>(range.first), static_cast<qint64>(range.last)});
    return JsonObject({
        {"old", Json(oldPath)},
        {"new", Json(newPath)},
        {"identical", Json(result.identical())},
        {"cells", u'[' + cells.join(u',') + u']'},
        {"battleCount", JsonObject({{"old", CountJson(result.oldBattleCount)}, {"new", CountJson(result.newBattleCount)}})},
        {"blocks", u'[' + blocks.join(u',') + u']'},
        {"otherBytes", Json(other)},
        {"problems", Json(QJsonArray::fromStringList(problems))},
    });
}

// The problems of both loads and of the comparison, each once: both loads read the
// same definitions and would report their problems twice.
QStringList ProblemLines(const LoadedImage& oldImage, const LoadedImage& newImage, const ImageComparison& result)
{
    // The comparison names images by the path given; the loads, inside the program folder, relative to it.
    ProblemLog comparison(oldImage.programFolder);
    for (const Problem& p : result.problems)
        comparison.add(p.file, p.line, p.message);
    const ProblemLog* logs[] = {&oldImage.doc.Problems, &newImage.doc.Problems, &comparison};
    ProblemLog all;
    for (const ProblemLog* log : logs)
        for (const Problem& p : log->items())
            all.add(p.file, p.line, p.message);
    QStringList lines;
    for (const QString& line : all.text().split(u'\n', Qt::SkipEmptyParts))
        if (!lines.contains(line))
            lines << line;
    return lines;
}

} // namespace

int RunDiff(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::optional<CommandOptions> options = ParseCommandOptions(args, true, 2);
    if (!options) {
        err << kUsage;
        return 2;
    }
    const QString& oldPath = options->files[0];
    const QString& newPath = options->files[1];
    const std::unique_ptr<LoadedImage> oldImage = LoadImageForCommand(oldPath, options->home, err);
    if (!oldImage)
        return 2;
    const std::unique_ptr<LoadedImage> newImage = LoadImageForCommand(newPath, options->home, err);
    if (!newImage)
        return 2;

    const ImageComparison result = CompareImages(oldImage->doc, oldImage->doc.Image, newImage->doc, newImage->doc.Image);
    const QStringList problems = ProblemLines(*oldImage, *newImage, result);
    if (!problems.isEmpty())
        err << QStringLiteral("警告: %1 件の問題がありました。\n").arg(problems.size()) << problems.join(u'\n') << u'\n';
    if (options->json)
        out << PrintJson(oldPath, newPath, result, problems) << u'\n';
    else
        PrintText(oldImage->doc, result, out);
    return result.identical() ? 0 : 1;
}

} // namespace zor
