#pragma once

#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli export-csv [--home DIR] [--out DIR] ROM: loads the image exactly as dump does
// and writes every table as CSV into the program folder, or into --out. Problems of the
// load are warnings on err. 0 when every file was written, 1 when the image or a file
// couldn't be (with the reason), 2 on bad usage.
int RunExportCsv(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zor
