#include "core/navigate/GoTo.h"

#include "core/files/Numbers.h"
#include "core/files/Text.h"
#include "core/navigate/SnesAddressText.h"
#include "core/view/TabView.h"

#include <algorithm>
#include <vector>

namespace zor {

namespace {

Failure Refused(const QString& why) { return Failure::Of(Failure::Kind::BadText, QString(), why); }

// The data sets in the order an offset is looked for: first, then the others.
std::vector<int> DataSetOrder(const DocumentState& doc, int first)
{
    std::vector<int> order;
    if (first >= 1 && first <= doc.DataSetCount)
        order.push_back(first);
    for (int k = 1; k <= doc.DataSetCount; ++k)
        if (k != first)
            order.push_back(k);
    return order;
}

// The ID of a section one of whose bytes lies at offset (a cell of size n holds n bytes
// from its offset); nullopt when none does. A step at least the size, which the load
// ensures, leaves at most one such ID.
std::optional<int> IdAt(const DataSet& set, int section, int size, std::int64_t offset)
{
    if (set.SectionAddressUnusable(section))
        return std::nullopt;
    const std::int64_t step = set.SectionSettings(SettingStep, section);
    for (int k = 0; k < size; ++k) {
        const std::int64_t delta = offset - k - set.SectionAddresses(section);
        // A step of 0 puts every ID on the section's offset: the first one stands for them.
        const std::int64_t id = step == 0 ? (delta == 0 ? 0 : -1) : (delta % step == 0 ? delta / step : -1);
        if (id >= 0 && id < set.IdCount)
            return static_cast<int>(id);
    }
    return std::nullopt;
}

QString Where(std::int64_t offset)
{
    const QString address = SnesAddressText(offset);
    return address.isEmpty() ? OffsetText(offset) : QStringLiteral("%1（%2）").arg(OffsetText(offset), address);
}

// Why no cell lies at offset, naming a stepped section whose IDs it lies between, if any.
QString NoCellAt(const DocumentState& doc, int firstDataSet, std::int64_t offset)
{
    QString text = QStringLiteral("%1 のバイトは、どの表のセルにもありません。").arg(Where(offset));
    for (const int k : DataSetOrder(doc, firstDataSet)) {
        const DataSet& set = doc.DataSets(k);
        for (int c = 1; c <= set.SectionCount; ++c) {
            const std::int64_t step = set.SectionSettings(SettingStep, c);
            const std::int64_t first = set.SectionAddresses(c);
            if (set.SectionAddressUnusable(c) || step <= 1 || offset <= first || offset >= first + (set.IdCount - 1) * step)
                continue;
            const std::int64_t id = (offset - first) / step;
            return text
                   + QStringLiteral("\n「%1」のセクション「%2」は %3 バイトおきで、ID %4 は %5、ID %6 は %7 です。")
                         .arg(QuoteText(set.Name), QuoteText(set.SectionNames(c)))
                         .arg(step)
                         .arg(id)
                         .arg(OffsetText(first + id * step))
                         .arg(id + 1)
                         .arg(OffsetText(first + (id + 1) * step));
        }
    }
    return text;
}

// A number as typed: decimal, or hexadecimal after "0x"; nullopt for anything else.
std::optional<std::int64_t> ReadNumber(QStringView text)
{
    const bool hex = text.startsWith(u"0x", Qt::CaseInsensitive);
    const QStringView digits = hex ? text.mid(2) : text;
    if (digits.isEmpty() || digits.size() > (hex ? 8 : 10))
        return std::nullopt;
    std::int64_t value = 0;
    for (const QChar c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0 || (!hex && digit > 9))
            return std::nullopt;
        value = value * (hex ? 16 : 10) + digit;
    }
    return value;
}

[[nodiscard]] Result<CellRef> RowOfTable(const DocumentState& doc, int tab, int dataSet, int cursorCol, std::int64_t number)
{
    if (tab == TabIdSection) {
        if (dataSet < 1 || dataSet > doc.DataSetCount)
            return Refused(QStringLiteral("ID-セクションにデータセットが表示されていません。"));
        const DataSet& set = doc.DataSets(dataSet);
        if (set.IdCount < 1 || set.SectionCount < 1)
            return Refused(QStringLiteral("データセット「%1」にはセルがありません。").arg(QuoteText(set.Name)));
        if (number >= set.IdCount)
            return Refused(QStringLiteral("データセット「%1」の ID は 0 から %2（0x%3）までです。")
                               .arg(QuoteText(set.Name))
                               .arg(set.IdCount - 1)
                               .arg(QString::number(set.IdCount - 1, 16).toUpper()));
        return CellRef{tab, dataSet, std::clamp(cursorCol, 1, set.SectionCount), static_cast<int>(number) + 1};
    }
    const bool individual = tab == TabIndividual;
    const int count = individual ? doc.IndividualCount : doc.BattleCount();
    const QString what = individual ? QStringLiteral("個別データ") : QStringLiteral("戦闘パラメータのレコード");
    if (count < 1)
        return Refused(QStringLiteral("%1がありません。").arg(what));
    if (number < 1 || number > count)
        return Refused(QStringLiteral("%1の番号は 1 から %2 までです。").arg(what).arg(count));
    return CellRef{tab, 0, individual ? 1 : std::clamp(cursorCol, 1, kBattleRecordSize), static_cast<int>(number)};
}

} // namespace

std::optional<CellRef> CellAtOffset(const DocumentState& doc, int firstDataSet, std::int64_t offset)
{
    for (const int k : DataSetOrder(doc, firstDataSet)) {
        const DataSet& set = doc.DataSets(k);
        for (int c = 1; c <= set.SectionCount; ++c)
            if (const std::optional<int> id = IdAt(set, c, SectionType(doc, TabIdSection, k, c).Size, offset))
                return CellRef{TabIdSection, k, c, *id + 1};
    }
    for (int r = 1; r <= doc.IndividualCount; ++r) {
        const std::int64_t first = doc.IndividualAddresses(r);
        if (!doc.IndividualAddressUnusable(r) && offset >= first && offset < first + SectionType(doc, TabIndividual, 0, r).Size)
            return CellRef{TabIndividual, 0, 1, r};
    }
    return std::nullopt;
}

Result<CellRef> ResolveGoTo(const DocumentState& doc, int tab, int dataSet, int firstDataSet, int cursorCol, QStringView typed)
{
    const QString normalized = typed.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (normalized.isEmpty())
        return Refused(QStringLiteral("移動先を入力してください。"));
    if (normalized.startsWith(u'@') || normalized.startsWith(u'$')) {
        const Result<std::int64_t> place = normalized.startsWith(u'@') ? ParseOffsetText(normalized) : ParseSnesAddress(normalized);
        if (!place)
            return place.failure();
        const int first = tab == TabIdSection ? dataSet : firstDataSet;
        if (const std::optional<CellRef> cell = CellAtOffset(doc, first, *place))
            return *cell;
        return Refused(NoCellAt(doc, first, *place));
    }
    if (const std::optional<std::int64_t> number = ReadNumber(normalized))
        return RowOfTable(doc, tab, dataSet, cursorCol, *number);
    return Refused(QStringLiteral("「%1」は移動先として読めません。番号（ID は 0x を付けて 16 進数でも）、「@」と 16 進数の"
                                  "オフセット、または $BB:AAAA の形の SNES アドレスを入力してください。")
                       .arg(QuoteText(normalized)));
}

} // namespace zor
