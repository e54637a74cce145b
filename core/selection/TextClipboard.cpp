#include "core/selection/TextClipboard.h"

#include "core/files/CsvText.h"
#include "core/files/Text.h"
#include "core/view/CellInput.h"
#include "core/view/Grid.h"

#include <algorithm>
#include <optional>

namespace zor {

ClipboardFields ReadClipboardFields(const QString& text, int maxRows, int maxCols)
{
    ClipboardFields read;
    const std::vector<TextLine> lines = SplitTextLines(text);
    const QChar separator = text.contains(u'\t') ? QChar(u'\t') : QChar(u',');
    CsvSplitter splitter;
    read.starts.push_back(0);
    read.rowStarts.push_back(0);
    const auto keptRows = static_cast<std::size_t>(std::max(maxRows, 0));
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const std::span<const CsvField> fields = splitter.split(QStringView(text).sliced(lines[r].start, lines[r].length), separator);
        if (r < keptRows) {
            for (std::size_t c = 0; c < std::min(fields.size(), static_cast<std::size_t>(std::max(maxCols, 0))); ++c) {
                read.texts += fields[c].text;
                read.starts.push_back(read.texts.size());
            }
            read.rowStarts.push_back(read.starts.size() - 1);
        }
        read.cols = std::max(read.cols, static_cast<int>(fields.size()));
    }
    read.rows = static_cast<int>(lines.size());
    return read;
}

Result<ClipboardWrite> PasteText(DocumentState& doc, TableRef table, const CellSelection& selection, GridSize grid,
                                 const QString& text, ScrollPosition scroll, LargeStep large, BareDigits hexColumns)
{
    // Only what can land from the cursor is kept; a filling value is the text's first.
    const ClipboardFields read =
        ReadClipboardFields(text, std::max(grid.rows - selection.row, 1), std::max(grid.cols - selection.col, 1));
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
    // A section's cells read alike: its reading is made once. A column is a section, a row on 個別データ.
    const bool rowIsSection = table.tab == TabIndividual;
    std::vector<std::optional<CellReading>> readings(static_cast<std::size_t>(rowIsSection ? rows : cols));
    std::vector<CellWrite> writes;
    writes.reserve(fill ? static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols) : read.starts.size());
    for (int i = 1; i <= rows; ++i) {
        for (int j = 1; j <= (fill ? cols : std::min(cols, read.width(i))); ++j) {
            const CellRef cell = table.at(col + j - 1, row + i - 1);
            std::optional<CellReading>& reading = readings[static_cast<std::size_t>((rowIsSection ? i : j) - 1)];
            if (!reading)
                reading = ReadingOf(doc, cell, hexColumns);
            const QStringView field = fill ? read.at(1, 1) : read.at(i, j);
            const std::optional<std::uint32_t> value = reading->read(field);
            if (!value) {
                Failure unreadable = Failure::Of(Failure::Kind::BadText, QString(),
                                                 QStringLiteral("行 %1、列 %2 の「%3」は値として読めません。使える形: %4")
                                                     .arg(fill ? 1 : i)
                                                     .arg(fill ? 1 : j)
                                                     .arg(QuoteText(field.toString()), reading->forms()));
                unreadable.after = QStringLiteral("何も貼り付けていません。");
                return unreadable;
            }
            writes.push_back({cell, *value});
        }
    }
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
