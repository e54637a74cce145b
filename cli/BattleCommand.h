#pragma once

#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli battle ROM [--json]: decodes the battle blocks of an image file and prints
// every record with its block, split as the loader splits them. 0 on success, 1 when
// the file cannot be read or decoded, 2 on bad usage.
int RunBattle(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zor
