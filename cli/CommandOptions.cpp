#include "cli/CommandOptions.h"

#include "cli/CheckCommand.h"
#include "core/document/Problems.h"
#include "core/document/ReadImage.h"

namespace zor {

std::optional<CommandOptions> ParseCommandOptions(const QStringList& args, bool takesHome, int fileCount,
                                                  bool takesOut)
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
    QString reason;
    const std::optional<QByteArray> image = ReadRomImage(rom, &reason);
    if (!image) {
        err << QStringLiteral("%1 を読み込めません。%2\n").arg(rom, reason);
        return nullptr;
    }
    auto loaded = std::make_unique<LoadedImage>();
    loaded->programFolder = ResolveProgramFolder(home);
    loaded->log = ProblemLog(loaded->programFolder);
    loaded->imageSize = image->size();
    loaded->image = *image;
    BattleCodec codec;
    LoadDocument(loaded->doc, rom, *image, loaded->programFolder, codec, loaded->log);
    return loaded;
}

void PrintProblems(const ProblemLog& log, QTextStream& out)
{
    if (log.empty())
        out << QStringLiteral("問題はありません。\n");
    else
        out << QStringLiteral("問題: %1 件\n").arg(log.items().size()) << log.text();
}

} // namespace zor
