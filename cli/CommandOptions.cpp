#include "cli/CommandOptions.h"

#include "cli/CheckCommand.h"
#include "core/document/Problems.h"
#include "core/document/ReadImage.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace zor {

std::optional<CommandOptions> ParseCommandOptions(const QStringList& args, bool takesHome, int fileCount,
                                                  bool takesOut, bool takesIn)
{
    CommandOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("--json")) {
            options.json = true;
        } else if (takesHome && arg == QStringLiteral("--home") && i + 1 < args.size()) {
            options.home = args[++i];
        } else if (takesOut && arg == QStringLiteral("--out") && i + 1 < args.size()) {
            options.out = args[++i];
        } else if (takesIn && arg == QStringLiteral("--in") && i + 1 < args.size()) {
            options.in = args[++i];
        } else if (takesIn && arg == QStringLiteral("--dry-run")) {
            options.dryRun = true;
        } else if (options.files.size() < fileCount && !arg.isEmpty() && !arg.startsWith(u'-')) {
            options.files.append(arg);
        } else {
            return std::nullopt;
        }
    }
    if (options.files.size() != fileCount)
        return std::nullopt;
    if (!options.files.isEmpty())
        options.file = options.files.first();
    return options;
}

std::unique_ptr<LoadedImage> LoadImageForCommand(const QString& rom, const QString& home, QTextStream& err)
{
    const Result<QByteArray> image = ReadRomImage(rom);
    if (!image) {
        err << image.failure().said(QStringLiteral("%1 を読み込めません。").arg(rom)).message() << u'\n';
        return nullptr;
    }
    auto loaded = std::make_unique<LoadedImage>();
    loaded->programFolder = ResolveProgramFolder(home);
    loaded->imageSize = image->size();
    LoadDocument(loaded->doc, rom, *image, loaded->programFolder);
    return loaded;
}

QString Json(const QJsonValue& value)
{
    // QJsonDocument only takes arrays and objects whole.
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString JsonObject(const std::vector<std::pair<const char*, QString>>& members)
{
    QStringList parts;
    for (const auto& [key, value] : members)
        parts << Json(QString::fromLatin1(key)) + u':' + value;
    return u'{' + parts.join(u',') + u'}';
}

void PrintProblems(const ProblemLog& log, QTextStream& out)
{
    if (log.empty())
        out << QStringLiteral("問題はありません。\n");
    else
        out << QStringLiteral("問題: %1 件\n").arg(log.items().size()) << log.text();
}

} // namespace zor
