#include "core/selection/TextClipboard.h"

#include "core/csv/CellValueText.h"
#include "core/csv/CsvRead.h"
#include "core/files/Text.h"
#include "core/view/Conversions.h"
#include "core/view/Grid.h"

#include <algorithm>

namespace zor {

ClipboardValues ReadClipboardValues(const QString& text)
{
    ClipboardValues read;
    const std::vector<TextLine> lines = SplitTextLines(text);
    const QChar separator = text.contains(u'\t') ? QChar(u'\t') : QChar(u',');
    CsvSplitter splitter;
    // The rows' values one after the other first; laid out in the rectangle once its width is known.
    std::vector<std::uint8_t> bytes;
    std::vector<int> widths;
    bytes.reserve(static_cast<std::size_t>(text.size() / 2));
    widths.reserve(lines.size());
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const std::span<const CsvField> fields = splitter.split(QStringView(text).sliced(lines[r].start, lines[r].length), separator);
        for (std::size_t c = 0; c < fields.size(); ++c) {
            const std::optional<std::uint8_t> value = ParseValueText(fields[c].text, CsvNotation::Own);
            if (!value) {
                read.error = QStringLiteral("行 %1、列 %2 の「%3」は値として読めません。使える形: %4。何も貼り付けていません。")
                                 .arg(r + 1)
                                 .arg(c + 1)
                                 .arg(QuoteText(fields[c].text), CellTextForms());
                return read;
            }
            bytes.push_back(*value);
        }
        widths.push_back(static_cast<int>(fields.size()));
    }
    read.rows = static_cast<int>(lines.size());
    read.cols = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
    read.values.assign(static_cast<std::size_t>(read.rows) * static_cast<std::size_t>(read.cols), std::nullopt);
    std::size_t next = 0;
    for (int r = 0; r < read.rows; ++r)
        for (int c = 0; c < widths[static_cast<std::size_t>(r)]; ++c)
            read.values[static_cast<std::size_t>(r) * static_cast<std::size_t>(read.cols) + static_cast<std::size_t>(c)] = bytes[next++];
    return read;
}

WriteResult PasteText(DocumentState& doc, int tab, const CellSelection& selection, GridSize grid, const QString& text,
                      ScrollPosition scroll, LargeStep large)
{
    const ClipboardValues read = ReadClipboardValues(text);
    if (!read.ok())
        return {CommitResult::UnreadableText, 0, read.error};
    if (read.rows == 0 || read.cols == 0)
        return {};
    const int top = std::min(selection.row, selection.rowSel);
    const int left = std::min(selection.col, selection.colSel);
    const int bottom = std::max(selection.row, selection.rowSel);
    const int right = std::max(selection.col, selection.colSel);
    const bool fill = read.rows == 1 && read.cols == 1 && (bottom > top || right > left);
    // The block written: the selection for a filling value, else the text's size from the cursor.
    const int row = fill ? top : selection.row;
    const int col = fill ? left : selection.col;
    if (row < 1 || col < 1)
        return {};
    const int rows = std::min(fill ? bottom - top + 1 : read.rows, grid.rows - row);
    const int cols = std::min(fill ? right - left + 1 : read.cols, grid.cols - col);
    if (rows <= 0 || cols <= 0)
        return {};
    std::vector<CellWrite> writes;
    writes.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
    for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= cols; ++j)
            if (const std::optional<std::uint8_t>& value = fill ? read.at(1, 1) : read.at(i, j))
                writes.push_back({{tab, doc.CurrentDataSet, col + j - 1, row + i - 1}, *value});
    const WriteResult written = WriteCells(doc, writes, scroll, UnchangedCells::Journalled, large);
    if (written.result == CommitResult::Changed) {
        doc.CurrentRow = writes.back().cell.row;
        doc.CurrentCol = writes.back().cell.col;
    }
    return written;
}

QString SelectionText(const DocumentState& doc, int tab, const CellSelection& selection)
{
    QString text;
    for (int row = std::min(selection.row, selection.rowSel); row <= std::max(selection.row, selection.rowSel); ++row) {
        for (int col = std::min(selection.col, selection.colSel); col <= std::max(selection.col, selection.colSel); ++col) {
            if (col > std::min(selection.col, selection.colSel))
                text += u'\t';
            text += CellText(doc, tab, doc.CurrentDataSet, row, col);
        }
        text += u'\n';
    }
    return text;
}

} // namespace zor
