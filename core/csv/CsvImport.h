#pragma once

// Reading the CSV export's files back into the document: what they hold is checked
// against the tables first, line by line and field by field, and only a check without a
// single problem may be applied, as one undo step.
//
// A file's lines are those the export writes for its table: a data set's file a header
// line and one line per ID, each labelled with its name; 個別データ.csv one line per entry
// and no header; 敵パラメータ.csv a header and one line per record (rows are added and
// deleted by the row commands, not here), whose label is not checked, since it follows
// the record's first byte. The last N fields of a line are its values, N being the
// table's number of sections, and everything before them, commas included, its label.
// Labels and headers are compared with what the export would write now. Empty lines at
// the end are left out, and so may be the lines there that would be empty (nameless IDs
// of a data set without sections).

#include "core/view/CellValueText.h"
#include "core/csv/CsvExport.h"
#include "core/document/DocumentState.h"
#include "core/document/Problems.h"
#include "core/edit/CellWrites.h"
#include "core/edit/EditHistory.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace zor {

// One value the import changes.
struct CsvChange {
    QString file;   // the file's name, "クラス.csv"
    int line = 0;   // from 1
    int field = 0;  // from 1: the label is field 1, the first value field 2
    CellRef cell;   // where it goes: on tab 1 column = section and row = ID + 1; on tab 2 column 1 and row = entry
    std::uint32_t oldValue = 0; // the cell's values, unsigned
    std::uint32_t newValue = 0;
};

struct CsvImportResult {
    std::vector<CsvChange> changes; // in file order: the files in the export's order, each by lines and fields
    ProblemLog problems;            // "file:line:field: ..." each; a single one refuses the whole import
    QStringList notes;              // a file that isn't there, a file read as UTF-8

    bool ok() const { return problems.empty(); }
    // The problems as the read of an image shows them: at most 20 lines, then "ほか N 件".
    QString summary() const { return problems.summary(); }
};

// Problems one import collects at most: a file of garbage must not fill the memory with
// messages. The check ends at the next one, and says so.
inline constexpr int kMaxCsvProblems = 1000;

// Checks bytes as the file of table, adding its changes, problems and notes to result.
// Values are read by ReadCsvValue in notation, by each cell's size (a name too in a
// Names column). A change is a problem when its cell
// can't be written (ReadOnlyReason), or when it makes a battle record's first byte 0,
// which the save refuses. Changes nothing.
void CheckCsvFile(const DocumentState& doc, CsvNotation notation, const CsvTable& table, QByteArrayView bytes,
                  CsvImportResult& result);

// Reads every file the export writes (CsvTables) from folder, each through ReadRegularFile
// within kMaxCsvFileSize, and checks it, with CSVNotation of the program folder's ZOR.ini.
// A file's name is matched without regard to letter case, unless it is exactly another
// table's. A file that isn't there is skipped with a note; one that can't be read, two
// whose names differ only in letter case, or no file at all, is a problem. Changes nothing.
CsvImportResult ImportCsv(const DocumentState& doc, const QString& programFolder, const QString& folder);

// The same from the program folder, where the export puts the files.
CsvImportResult ImportCsv(const DocumentState& doc, const QString& programFolder);

// Applies a checked import to doc as one undo step: Modified follows, and each record names
// its own cell, which an undo brings back at the top left. Refused whole, nothing changed,
// when the result has problems (the detail: its summary) and as WriteCells says; not taken
// when TooLargeToUndo. Unchanged when there is nothing to change.
[[nodiscard]] Result<WriteResult> ApplyCsvImport(DocumentState& doc, const CsvImportResult& result, LargeStep large = LargeStep::Refuse);

} // namespace zor
