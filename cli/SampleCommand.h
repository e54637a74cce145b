#pragma once

#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli sample DIR: writes the sample program folder to DIR, each file atomically.
// 0 on success, 1 when a file cannot be written, 2 on bad usage.
int RunSample(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zor
