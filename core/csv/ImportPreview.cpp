#include "core/csv/ImportPreview.h"

#include "core/view/ChangedCell.h"

namespace zor {

ImportPreview PreviewCsvImport(const DocumentState& doc, const CsvImportResult& result)
{
    ImportPreview preview;
    preview.notes = result.notes;
    preview.lines.reserve(static_cast<qsizetype>(result.changes.size()));
    for (const CsvChange& change : result.changes) {
        // The changes come file by file, so a file's count is always the last one.
        if (preview.files.empty() || preview.files.back().file != change.file)
            preview.files.push_back({change.file, 0});
        ++preview.files.back().changes;
        preview.lines << ChangedCellLine(doc, DescribeChangedCell(doc, change.cell, change.oldValue, change.newValue));
    }
    return preview;
}

} // namespace zor
