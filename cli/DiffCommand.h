#pragma once

#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli diff [--home DIR] OLD NEW [--json]: loads both images as the editor does, with
// the program folder's definitions, and prints the cells that differ table by table, the
// battle record counts and the bytes that differ outside every table. 0 when identical,
// 1 when not, 2 on bad usage or an image that can't be read. Problems of the loads are
// warnings and leave the status alone.
int RunDiff(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zor
