#pragma once

#include "core/document/Definitions.h"
#include "core/document/DocumentState.h"
#include "core/document/Problems.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli check [--home DIR] [--json]: loads ZOR.ini and the mode's definitions and
// prints them with every problem met. 0 when there was no problem, 1 otherwise.
int RunCheck(const QStringList& args, QTextStream& out, QTextStream& err);

// The loaded definitions as the JSON object that check --json prints; defaultNotation is
// null when ZOR.ini could not be read.
QJsonObject DefinitionsReport(const DocumentState& doc, const ZorSettings& settings, const ProblemLog& log);

// A cell's type as every JSON report gives it: size, the data set its value names (or
// null) and its 8 × size bit names (or null), added to the object of its section.
QJsonObject WithType(QJsonObject object, const DocumentState& doc, const CellType& type);

// Every problem as {"file", "line", "message"}.
QJsonArray ProblemsJson(const ProblemLog& log);

// --home DIR, else the program folder by its rule (ZOR_HOME, the executable's folder, the
// data folder), nothing made when it is missing.
QString ResolveProgramFolder(const QString& home);

} // namespace zor
