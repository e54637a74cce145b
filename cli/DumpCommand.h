#pragma once

#include "core/document/DocumentState.h"

#include <QJsonObject>
#include <QStringList>
#include <QTextStream>

namespace zor {

class ProblemLog;

// zor-cli dump [--home DIR] ROM [--json]: loads the definitions and the image exactly
// as the editor's file read does and prints the whole document. 0 without problems,
// 1 with problems (listed) or when the image can't be read, 2 on bad usage.
int RunDump(const QStringList& args, QTextStream& out, QTextStream& err);

// The loaded document as the JSON object that dump --json prints.
QJsonObject DocumentReport(const DocumentState& doc, qsizetype romSize, const ProblemLog& log);

} // namespace zor
