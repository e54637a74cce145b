#pragma once

// The options the commands of zor-cli share, and how they print problems.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "core/document/DocumentState.h"
#include "core/document/Problems.h"

#include <memory>
#include <optional>

namespace zor {

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

// An image loaded as the editor's file read loads it.
struct LoadedImage {
    QString programFolder;
    DocumentState doc;
    ProblemLog log;
    qsizetype imageSize = 0;
};

// Reads rom and loads it with the definitions of the program folder (home, else ZOR_HOME,
// else the executable's folder); nullptr, with the reason written to err, when the
// image can't be read.
std::unique_ptr<LoadedImage> LoadImageForCommand(const QString& rom, const QString& home, QTextStream& err);

// "問題はありません。", or the count and one line per problem.
void PrintProblems(const ProblemLog& log, QTextStream& out);

} // namespace zor
