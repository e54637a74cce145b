#include "core/selection/SelectionValues.h"

#include "core/document/CellBytes.h"
#include "core/files/Numbers.h"
#include "core/files/Text.h"
#include "core/value/CellValue.h"
#include "core/value/EditorText.h"
#include "core/view/Grid.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace zor {

namespace {

// A number as units / 10^scale, exactly: a percentage such as 12.5 must round its halves
// the same way every time, which a double's nearest value does not promise.
struct Exact {
    std::int64_t units = 0;
    std::int64_t denominator = 1;
};

constexpr int kMaxIntegerDigits = 9;
constexpr int kMaxFractionDigits = 6;

// A signed decimal with an optional fraction, or, when hexadecimal is allowed, a signed
// "0x" and one to eight hexadecimal digits. Blanks around it and an input method's
// full-width forms are taken, as the cell editor takes them.
std::optional<Exact> ParseExact(const QString& typed, bool hexadecimal)
{
    const QString normalized = typed.normalized(QString::NormalizationForm_KC).trimmed();
    QStringView text(normalized);
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text = text.sliced(1);
    Exact number;
    if (hexadecimal && text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        const QStringView digits = text.sliced(2);
        if (digits.size() > 8)
            return std::nullopt;
        for (const QChar c : digits) {
            const int digit = HexDigit(c);
            if (digit < 0)
                return std::nullopt;
            number.units = number.units * 16 + digit;
        }
    } else {
        const qsizetype point = text.indexOf(u'.');
        const QStringView whole = point < 0 ? text : text.first(point);
        const QStringView fraction = point < 0 ? QStringView() : text.sliced(point + 1);
        if ((whole.isEmpty() && fraction.isEmpty()) || fraction.size() > kMaxFractionDigits)
            return std::nullopt;
        int significant = 0;
        for (const QChar c : whole) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            number.units = number.units * 10 + (c.unicode() - u'0');
            if (number.units > 0 && ++significant > kMaxIntegerDigits)
                return std::nullopt;
        }
        for (const QChar c : fraction) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            number.units = number.units * 10 + (c.unicode() - u'0');
            number.denominator *= 10;
        }
    }
    if (negative)
        number.units = -number.units;
    return number;
}

// Wide enough for a 32-bit value times a percentage of 15 digits.
using Wide = __int128;

// numerator / denominator (denominator > 0) rounded to the nearest integer, halves away from zero.
Wide RoundedQuotient(Wide numerator, Wide denominator)
{
    const Wide magnitude = (2 * (numerator < 0 ? -numerator : numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

// The cells of the selection that lie in the shown table, with the section each belongs to.
struct SelectedCell {
    CellRef cell;
    bool isSigned = false;
    int size = 1;
    std::int64_t value = 0; // in the section's sense
};

struct Selection {
    std::vector<SelectedCell> cells; // by rows, left to right
    int top = 0;
    int bottom = 0;
};

Selection SelectedCells(const DocumentState& doc, TableRef table, const CellSelection& s)
{
    Selection selection{{}, std::min(s.row, s.rowSel), std::max(s.row, s.rowSel)};
    for (int row = selection.top; row <= selection.bottom; ++row)
        for (int col = std::min(s.col, s.colSel); col <= std::max(s.col, s.colSel); ++col) {
            const CellRef cell = table.at(col, row);
            const CellSpan bytes = CellSpanOf(doc, cell);
            if (!bytes || (table.tab == TabIndividual && col != 1))
                continue; // 個別データ has one value column, whatever the mapping makes of others
            const int section = table.tab == TabIndividual ? row : col;
            const std::int16_t* notation = SectionSetting(doc, SettingNotation, table.tab, table.dataSet, section);
            const bool isSigned = notation && *notation == NotationSigned;
            const std::uint32_t value = bytes.value();
            selection.cells.push_back({cell, isSigned, bytes.size, isSigned ? SignedValue(value, bytes.size) : std::int64_t{value}});
        }
    return selection;
}

// A result held to its cell's range, counted when it had to be.
std::uint32_t Held(Wide value, const SelectedCell& cell, int& held)
{
    const std::int64_t low = cell.isSigned ? MinSigned(cell.size) : 0;
    const std::int64_t high = cell.isSigned ? MaxSigned(cell.size) : std::int64_t{MaxUnsigned(cell.size)};
    if (value < low || value > high)
        ++held;
    return FromSigned(static_cast<std::int64_t>(std::clamp<Wide>(value, low, high)), cell.size);
}

Failure Unreadable(const QString& why) { return Failure::Of(Failure::Kind::BadText, QString(), why); }

// Writes the new bytes, after the checks only the battle table needs.
[[nodiscard]] Result<ValuesWritten> Write(DocumentState& doc, const std::vector<CellWrite>& writes, int held,
                                          ScrollPosition scroll, LargeStep large)
{
    for (const CellWrite& write : writes) {
        const CellRef& c = write.cell;
        if (c.tab == TabBattle && c.col == 1 && (write.value & 0xFF) == 0 && doc.BattleParams(1, c.row) != 0)
            return Failure::Of(Failure::Kind::Refused, QString(),
                               QStringLiteral("戦闘パラメータのレコード %1 の最初のバイト%2が 0 になります。0 で始まるレコードは保存できないため、"
                                              "この変更はできません。")
                                   .arg(c.row)
                                   .arg(FirstByteNote(doc, write.value)));
    }
    const Result<WriteResult> written = WriteCells(doc, writes, scroll, UnchangedCells::Skipped, large);
    if (!written)
        return written.failure();
    return ValuesWritten{*written, held};
}

// Every selected cell to what result makes of its value.
[[nodiscard]] Result<ValuesWritten> Apply(DocumentState& doc, TableRef table, const CellSelection& selection, ScrollPosition scroll,
                                          LargeStep large, const std::function<Wide(const SelectedCell&)>& result)
{
    int held = 0;
    std::vector<CellWrite> writes;
    for (const SelectedCell& cell : SelectedCells(doc, table, selection).cells)
        writes.push_back({cell.cell, Held(result(cell), cell, held)});
    return Write(doc, writes, held, scroll, large);
}

} // namespace

Result<ValuesWritten> SetSelectionValue(DocumentState& doc, TableRef table, const CellSelection& selection,
                                        const QString& text, ScrollPosition scroll, LargeStep large)
{
    // Each cell reads the text by its own size; a value one of them can't hold refuses it
    // all, as a byte's did, naming the forms that cell takes.
    std::vector<CellWrite> writes;
    for (const SelectedCell& cell : SelectedCells(doc, table, selection).cells) {
        const std::optional<std::uint32_t> value = ReadEditorText(text, cell.size);
        if (!value)
            return Unreadable(QStringLiteral("「%1」は値として読めません。使える形: %2").arg(QuoteText(text), EditorTextForms(cell.size)));
        writes.push_back({cell.cell, *value});
    }
    const int held = 0;
    return Write(doc, writes, held, scroll, large);
}

Result<ValuesWritten> AddToSelection(DocumentState& doc, TableRef table, const CellSelection& selection,
                                     const QString& amount, ScrollPosition scroll, LargeStep large)
{
    const std::optional<Exact> added = ParseExact(amount, true);
    if (!added)
        return Unreadable(QStringLiteral("「%1」は足す数として読めません。-5、2.5、0x10 のような数を入れてください（負の数は引きます）。")
                              .arg(QuoteText(amount)));
    return Apply(doc, table, selection, scroll, large, [&](const SelectedCell& cell) {
        return RoundedQuotient(Wide{cell.value} * added->denominator + added->units, added->denominator);
    });
}

Result<ValuesWritten> ScaleSelection(DocumentState& doc, TableRef table, const CellSelection& selection,
                                     const QString& percent, ScrollPosition scroll, LargeStep large)
{
    const std::optional<Exact> scale = ParseExact(percent, false);
    if (!scale)
        return Unreadable(QStringLiteral("「%1」は百分率として読めません。150 や 12.5 のような数を入れてください。").arg(QuoteText(percent)));
    return Apply(doc, table, selection, scroll, large, [&](const SelectedCell& cell) {
        return RoundedQuotient(Wide{cell.value} * scale->units, Wide{scale->denominator} * 100);
    });
}

Result<ValuesWritten> FillSeries(DocumentState& doc, TableRef table, const CellSelection& selection, ScrollPosition scroll,
                                 LargeStep large)
{
    const Selection selected = SelectedCells(doc, table, selection);
    const int steps = selected.bottom - selected.top;
    if (steps <= 0)
        return ValuesWritten{};
    // Each column's ends: the values of its first and last selected rows, which come first
    // and last among the cells.
    const int left = std::min(selection.col, selection.colSel);
    std::vector<std::int64_t> first(static_cast<std::size_t>(std::abs(selection.colSel - selection.col)) + 1);
    std::vector<std::int64_t> last(first.size());
    for (const SelectedCell& cell : selected.cells) {
        const std::size_t column = static_cast<std::size_t>(cell.cell.col - left);
        if (cell.cell.row == selected.top)
            first[column] = cell.value;
        if (cell.cell.row == selected.bottom)
            last[column] = cell.value;
    }
    int held = 0;
    std::vector<CellWrite> writes;
    for (const SelectedCell& cell : selected.cells) {
        const std::size_t column = static_cast<std::size_t>(cell.cell.col - left);
        const Wide from = first[column];
        const Wide i = cell.cell.row - selected.top;
        writes.push_back({cell.cell, Held(RoundedQuotient(from * steps + (last[column] - from) * i, steps), cell, held)});
    }
    return Write(doc, writes, held, scroll, large);
}

} // namespace zor
