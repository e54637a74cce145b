#pragma once

#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli sample [--force] DIR: writes the sample program folder to DIR, each file
// atomically; a folder that already holds any of its files is refused unless --force.
// 0 on success, 1 when refused or a file cannot be written, 2 on bad usage.
int RunSample(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zor
