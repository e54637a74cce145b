#pragma once

// What a checked CSV import would change, before anything is: how many cells of each
// file, and each cell as the change list shows one, from the byte it holds now.

#include "core/csv/CsvImport.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zor {

struct ImportPreviewFile {
    QString file; // "クラス.csv"
    int changes = 0;
};

struct ImportPreview {
    std::vector<ImportPreviewFile> files; // the files with a change, in the import's order
    QStringList lines;                    // one per change, in the import's order
    QStringList notes;                    // the import's notes, as they came
    int changes() const { return static_cast<int>(lines.size()); }
};

ImportPreview PreviewCsvImport(const DocumentState& doc, const CsvImportResult& result);

} // namespace zor
