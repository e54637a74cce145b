#include "core/value/NamesText.h"

#include "core/value/CellValue.h"
#include "core/value/ValueText.h"

#include <algorithm>

namespace zor {

QString NamesCellText(std::uint32_t value, int size, int notation, const QStringList& names)
{
    return NamesCellText(value, size, notation, value < static_cast<std::uint64_t>(names.size()) ? &names[static_cast<qsizetype>(value)] : nullptr);
}

QString NamesCellText(std::uint32_t value, int size, int notation, const QString* name)
{
    if (name && !name->isEmpty())
        return *name;
    return FormatValue(notation, value, size);
}

QString NameKey(QStringView name) { return name.toString().normalized(QString::NormalizationForm_KC); }

std::optional<std::uint32_t> ReadNameOrNumber(QStringView text, int size, const QStringList& names, BareDigits bare)
{
    if (const std::optional<std::uint32_t> number = ReadEditorText(text, size, bare))
        return number;
    const QString wanted = NameKey(text);
    if (wanted.isEmpty())
        return std::nullopt;
    // An ID the cell cannot hold is no answer, however its name reads.
    const auto count = static_cast<qsizetype>(std::min<std::uint64_t>(names.size(), std::uint64_t{MaxUnsigned(size)} + 1));
    for (qsizetype id = 0; id < count; ++id)
        if (NameKey(names[id]) == wanted)
            return static_cast<std::uint32_t>(id);
    return std::nullopt;
}

} // namespace zor
