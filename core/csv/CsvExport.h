#pragma once

// Every table of the document as CSV: one file per data set (its name + ".csv"),
// 個別データ.csv and 敵パラメータ.csv, in that order. Fields are joined by commas
// without quoting, every line ends with CRLF, and the text is CP932.

#include "core/view/CellValueText.h"
#include "core/document/DocumentState.h"
#include "core/files/Failure.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zor {

struct CsvExportResult {
    QStringList written;  // the files written, in order, those before a failure included
    QStringList notes;    // "name.csv:line: ..." for each written line whose unreadable characters became "?"
    Result<void> outcome; // a failure: the file that ended the export, and why

    bool ok() const { return outcome.ok(); }
};

// Writes the files into folder, replacing files of the same names. Values follow
// CSVNotation of the program folder's ZOR.ini, read once: "10", "16" (upper-case, no
// prefix, no padding), "-10", or anything else for each section's own notation as the
// grid shows it. Each file is written whole or not at all; the first file that can't
// be written (a name without a CP932 form, the open image or its .bak, a file that isn't
// regular, a write that fails; see CheckOutput) ends the export, and
// the files written before it stay. A U+FFFD, which a load puts where bytes were not
// CP932, is written as "?" and noted; it stops nothing.
CsvExportResult ExportCsv(const DocumentState& doc, const QString& programFolder, const QString& folder);

// The same into the program folder itself, where the editor puts them.
CsvExportResult ExportCsv(const DocumentState& doc, const QString& programFolder);

// A table the export writes one file for.
struct CsvTable {
    int tab = TabIdSection;
    int dataSet = 0; // tab 1's data set; 0 on tabs 2 and 3
    QString name;    // the file's name without ".csv": the data set's name, 個別データ or 敵パラメータ

    QString fileName() const { return name + QStringLiteral(".csv"); }
};

// The tables in the order the export writes them.
std::vector<CsvTable> CsvTables(const DocumentState& doc);

// A name as the export writes it: a U+FFFD as "?".
QString CsvNameText(const QString& name);

// The header line of a table's file as the export writes it, without its CRLF: "ID" and
// the section captions; nullopt for 個別データ, whose file has none.
std::optional<QString> CsvHeaderText(const DocumentState& doc, const CsvTable& table);

// One file as the export builds it, in memory, before anything is written.
struct CsvFileBytes {
    std::string bytes;
    std::vector<int> replacedLines; // 1-based lines where "?" stands for unreadable characters
};

class ValueText;

// Builds the export's files one at a time, the value texts shared between them.
class CsvBuilder {
public:
    CsvBuilder(const DocumentState& doc, CsvNotation notation);
    ~CsvBuilder();
    CsvBuilder(const CsvBuilder&) = delete;
    CsvBuilder& operator=(const CsvBuilder&) = delete;

    // Refused (BadText) for a table with a name that has no CP932 form: the file can't be written.
    [[nodiscard]] Result<CsvFileBytes> build(const CsvTable& table);

private:
    const DocumentState& doc_;
    std::unique_ptr<ValueText> values_;
};

} // namespace zor
