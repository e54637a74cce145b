#include "cli/CommandOptions.h"

#include "core/document/Problems.h"

namespace zor {

std::optional<CommandOptions> ParseCommandOptions(const QStringList& args, bool takesHome, bool takesFile,
                                                  bool takesOut)
{
    CommandOptions options;
    bool hasFile = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("--json")) {
            options.json = true;
        } else if (takesHome && arg == QStringLiteral("--home") && i + 1 < args.size()) {
            options.home = args[++i];
        } else if (takesOut && arg == QStringLiteral("--out") && i + 1 < args.size()) {
            options.out = args[++i];
        } else if (takesFile && !hasFile && !arg.isEmpty() && !arg.startsWith(u'-')) {
            options.file = arg;
            hasFile = true;
        } else {
            return std::nullopt;
        }
    }
    if (takesFile != hasFile)
        return std::nullopt;
    return options;
}

void PrintProblems(const ProblemLog& log, QTextStream& out)
{
    if (log.empty())
        out << QStringLiteral("問題はありません。\n");
    else
        out << QStringLiteral("問題: %1 件\n").arg(log.items().size()) << log.text();
}

} // namespace zor
