#include "core/view/CellInput.h"

#include "core/document/CellBytes.h"
#include "core/value/BitsText.h"
#include "core/value/CellValue.h"
#include "core/value/CsvValue.h"
#include "core/value/NamesText.h"
#include "core/value/ValueText.h"
#include "core/view/Grid.h"
#include "core/view/Session.h"

#include <algorithm>

namespace zor {

namespace {

int SectionOf(const CellRef& cell) { return PlaceOf(cell).section; }

// The data set a Names cell's value is an ID of; nullptr for any other cell.
const DataSet* NamesSetOf(const DocumentState& doc, const CellType& type)
{
    return type.NamesDataSet != 0 && doc.DataSets.contains(type.NamesDataSet) ? &doc.DataSets(type.NamesDataSet) : nullptr;
}

} // namespace

std::optional<std::uint32_t> CellReading::read(QStringView text) const
{
    // The CSV reading of a cell's own notation is the editor's, with shortcuts a paste of many values wants.
    if (const std::optional<std::uint32_t> number = ReadCsvValue(text, CsvNotation::Own, size, bare))
        return number;
    if (!namesSet)
        return std::nullopt;
    return ReadNameOrNumber(text, size, names, bare);
}

QString CellReading::forms() const
{
    QString forms = EditorTextForms(size, hexColumn);
    if (bare == BareDigits::Hexadecimal)
        forms += QStringLiteral(u"、0x を付けない16進数（%1桁まで）").arg(2 * size);
    if (namesSet)
        forms += QStringLiteral(u"、「%1」の名前").arg(*namesSet);
    return forms;
}

QStringList NamesById(const DataSet& set)
{
    QStringList names;
    names.reserve(set.IdCount);
    for (int n = 1; n <= set.IdCount; ++n)
        names.append(set.IdNames(n));
    return names;
}

CellReading ReadingOf(const DocumentState& doc, const CellRef& cell, BareDigits hexColumns)
{
    const CellType& type = CellTypeOf(doc, cell);
    CellReading reading;
    reading.size = type.Size;
    reading.hexColumn = ShownNotation(doc, cell.tab, cell.dataSet, SectionOf(cell)) == NotationHex;
    reading.bare = reading.hexColumn ? hexColumns : BareDigits::Decimal;
    if (const DataSet* set = NamesSetOf(doc, type)) {
        reading.namesSet = set->Name;
        reading.names = NamesById(*set);
    }
    return reading;
}

std::vector<NameChoice> NameChoices(const DocumentState& doc, const CellRef& cell)
{
    const CellType& type = CellTypeOf(doc, cell);
    const DataSet* set = NamesSetOf(doc, type);
    if (!set)
        return {};
    const int notation = ShownNotation(doc, cell.tab, cell.dataSet, SectionOf(cell));
    const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(set->IdCount, std::uint64_t{MaxUnsigned(type.Size)} + 1));
    std::vector<NameChoice> choices;
    choices.reserve(count);
    for (std::uint32_t id = 0; id < count; ++id) {
        const QString& name = set->IdNames(static_cast<int>(id) + 1);
        const QString number = FormatValue(notation, id, type.Size);
        choices.push_back({id, name, NameKey(name), name.isEmpty() ? number : number + u' ' + name});
    }
    return choices;
}

QStringList BitLabels(const DocumentState& doc, const CellRef& cell)
{
    const CellType& type = CellTypeOf(doc, cell);
    if (!type.Bits)
        return {};
    QStringList labels;
    for (int bit = 0; bit < 8 * type.Size; ++bit)
        labels << BitLabel(bit, *type.Bits);
    return labels;
}

} // namespace zor
