#pragma once

// Every table of the document as CSV: one file per data set (its name + ".csv"),
// 個別データ.csv and 敵パラメータ.csv, in that order. Fields are joined by commas
// without quoting, every line ends with CRLF, and the text is CP932.

#include "core/document/DocumentState.h"

#include <QString>
#include <QStringList>

namespace zor {

struct CsvExportResult {
    QStringList written; // the files written, in order
    QStringList notes;   // "name.csv:line: ..." for each written line whose unreadable characters became "?"
    QString error;       // empty when every file was written; else which file and why, in Japanese

    bool ok() const { return error.isEmpty(); }
};

// Writes the files into folder, replacing files of the same names. Values follow
// CSVNotation of the program folder's ZOR.ini, read once: "10", "16" (upper-case, no
// prefix, no padding), "-10", or anything else for each section's own notation as the
// grid shows it. Each file is written whole or not at all; the first file that can't
// be written (a name without a CP932 form, a write that fails) ends the export, and
// the files written before it stay. A U+FFFD, which a load puts where bytes were not
// CP932, is written as "?" and noted; it stops nothing.
CsvExportResult ExportCsv(const DocumentState& doc, const QString& programFolder, const QString& folder);

// The same into the program folder itself, where the editor puts them.
CsvExportResult ExportCsv(const DocumentState& doc, const QString& programFolder);

} // namespace zor
