#pragma once

// The options the commands of zor-cli share, and how they print problems.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace zor {

class ProblemLog;

struct CommandOptions {
    QString home;     // --home DIR
    QString out;      // --out DIR
    bool json = false; // --json
    QString file;     // the one plain argument
};

// --json, --home DIR where takesHome, --out DIR where takesOut, and exactly as many
// plain arguments as takesFile asks (one or none); nullopt for anything else.
std::optional<CommandOptions> ParseCommandOptions(const QStringList& args, bool takesHome, bool takesFile,
                                                  bool takesOut = false);

// "問題はありません。", or the count and one line per problem.
void PrintProblems(const ProblemLog& log, QTextStream& out);

} // namespace zor
