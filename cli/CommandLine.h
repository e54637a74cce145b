#pragma once

#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli's arguments after the program's name: the command and its own arguments, or
// --help or --version alone. The command's exit status; 2, with the reason and the
// usage on err, for an unknown command.
int RunCommandLine(QStringList args, QTextStream& out, QTextStream& err);

} // namespace zor
