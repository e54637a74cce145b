#pragma once

// The options the commands of zor-cli share, and how they print problems.

#include <QString>
#include <QStringList>
#include <QJsonValue>
#include <QTextStream>

#include "core/document/DocumentState.h"
#include "core/document/Problems.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zor {

struct CommandOptions {
    QString home;     // --home DIR
    QString out;      // --out DIR
    QString in;       // --in DIR
    bool dryRun = false; // --dry-run
    bool json = false; // --json
    QString file;     // the first plain argument
    QStringList files; // every plain argument, in order
};

// --json, --home DIR where takesHome, --out DIR where takesOut, --in DIR and --dry-run
// where takesIn, and exactly fileCount plain arguments (a bool reads as one or none);
// nullopt for anything else.
std::optional<CommandOptions> ParseCommandOptions(const QStringList& args, bool takesHome, int fileCount,
                                                  bool takesOut = false, bool takesIn = false);

// An image loaded as the editor's file read loads it.
struct LoadedImage {
    QString programFolder;
    DocumentState doc;
    qsizetype imageSize = 0;
};

// Reads rom and loads it with the definitions of the program folder (home, else the
// program folder by its rule); nullptr, with the reason written to err, when the
// image can't be read.
std::unique_ptr<LoadedImage> LoadImageForCommand(const QString& rom, const QString& home, QTextStream& err);

// A JSON value as compact text.
QString Json(const QJsonValue& value);

// A JSON object with its members in the order given (QJsonObject would sort them).
QString JsonObject(const std::vector<std::pair<const char*, QString>>& members);

// "問題はありません。", or the count and one line per problem.
void PrintProblems(const ProblemLog& log, QTextStream& out);

} // namespace zor
