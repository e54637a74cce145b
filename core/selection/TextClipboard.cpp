#include "core/selection/TextClipboard.h"

#include "core/view/CellValueText.h"
#include "core/files/CsvText.h"
#include "core/files/Text.h"
#include "core/view/Conversions.h"
#include "core/view/Grid.h"

#include <algorithm>

namespace zor {

Result<ClipboardValues> ReadClipboardValues(const QString& text, int maxRows, int maxCols)
{
    ClipboardValues read;
    const std::vector<TextLine> lines = SplitTextLines(text);
    const QChar separator = text.contains(u'\t') ? QChar(u'\t') : QChar(u',');
    CsvSplitter splitter;
    read.rowStarts.push_back(0);
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const std::span<const CsvField> fields = splitter.split(QStringView(text).sliced(lines[r].start, lines[r].length), separator);
        const bool rowKept = r < static_cast<std::size_t>(std::max(maxRows, 0));
        for (std::size_t c = 0; c < fields.size(); ++c) {
            const std::optional<std::uint8_t> value = ParseValueText(fields[c].text, CsvNotation::Own);
            if (!value) {
                Failure unreadable = Failure::Of(Failure::Kind::BadText, QString(),
                                                 QStringLiteral("行 %1、列 %2 の「%3」は値として読めません。使える形: %4")
                                                     .arg(r + 1)
                                                     .arg(c + 1)
                                                     .arg(QuoteText(fields[c].text), CellTextForms()));
                unreadable.after = QStringLiteral("何も貼り付けていません。");
                return unreadable;
            }
            if (rowKept && c < static_cast<std::size_t>(std::max(maxCols, 0)))
                read.values.push_back(*value);
        }
        if (rowKept)
            read.rowStarts.push_back(read.values.size());
        read.cols = std::max(read.cols, static_cast<int>(fields.size()));
    }
    read.rows = static_cast<int>(lines.size());
    return read;
}

Result<ClipboardWrite> PasteText(DocumentState& doc, TableRef table, const CellSelection& selection, GridSize grid,
                                 const QString& text, ScrollPosition scroll, LargeStep large)
{
    // Only what can land from the cursor is kept; a filling value is the text's first.
    const Result<ClipboardValues> values =
        ReadClipboardValues(text, std::max(grid.rows - selection.row, 1), std::max(grid.cols - selection.col, 1));
    if (!values)
        return values.failure();
    const ClipboardValues& read = *values;
    if (read.rows == 0 || read.cols == 0)
        return ClipboardWrite{};
    const int top = std::min(selection.row, selection.rowSel);
    const int left = std::min(selection.col, selection.colSel);
    const int bottom = std::max(selection.row, selection.rowSel);
    const int right = std::max(selection.col, selection.colSel);
    const bool fill = read.rows == 1 && read.cols == 1 && (bottom > top || right > left);
    // The block written: the selection for a filling value, else the text's size from the cursor.
    const int row = fill ? top : selection.row;
    const int col = fill ? left : selection.col;
    if (row < 1 || col < 1)
        return ClipboardWrite{};
    const int rows = std::min(fill ? bottom - top + 1 : read.rows, grid.rows - row);
    const int cols = std::min(fill ? right - left + 1 : read.cols, grid.cols - col);
    if (rows <= 0 || cols <= 0)
        return ClipboardWrite{};
    std::vector<CellWrite> writes;
    writes.reserve(fill ? static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols) : read.values.size());
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= (fill ? cols : std::min(cols, read.width(i))); ++j)
            writes.push_back({table.at(col + j - 1, row + i - 1), fill ? read.at(1, 1) : read.at(i, j)});
    const Result<WriteResult> written = WriteCells(doc, writes, scroll, UnchangedCells::Journalled, large);
    if (!written)
        return written.failure();
    return ClipboardWrite{*written, writes.back().cell};
}

QString SelectionText(const DocumentState& doc, TableRef table, const CellSelection& selection)
{
    QString text;
    for (int row = std::min(selection.row, selection.rowSel); row <= std::max(selection.row, selection.rowSel); ++row) {
        for (int col = std::min(selection.col, selection.colSel); col <= std::max(selection.col, selection.colSel); ++col) {
            if (col > std::min(selection.col, selection.colSel))
                text += u'\t';
            text += CellNumberText(doc, table.tab, table.dataSet, row, col);
        }
        text += u'\n';
    }
    return text;
}

} // namespace zor
