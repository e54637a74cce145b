#pragma once

#include <QStringList>
#include <QTextStream>

namespace zor {

// zor-cli import-csv [--home DIR] [--in DIR] [--dry-run] [--json] ROM: loads the image as
// dump does, reads the CSV export's files from --in (else the program folder) and checks
// them as the editor's import does, prints the changes (one line each, or JSON), and
// without --dry-run writes them into ROM as the editor's save does (ROM.bak, everything
// checked first, the image replaced atomically). 0 when the import was written, or the
// dry run found no problem; 1 when it was refused and ROM left as it was; 2 on bad usage.
int RunImportCsv(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace zor
