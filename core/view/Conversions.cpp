#include "core/view/Conversions.h"

#include "core/value/CellValue.h"
#include "core/value/EditorText.h"

#include <cmath>

namespace zor {

int ByteToSigned(std::uint8_t value) { return static_cast<int>(SignedValue(value, 1)); }

std::uint8_t ParseHexByte(QStringView text)
{
    if (text.size() >= 5)
        return 0;
    const std::int32_t value = HexTextToLong(text.right(2)).value_or(0);
    return static_cast<std::uint8_t>(value);
}

std::uint8_t ParseNegativeByte(QStringView text)
{
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        return 0;
    const double shifted = std::floor(*value) + 256.0;
    if (shifted < 0.0 || shifted > 255.0)
        return 0;
    return static_cast<std::uint8_t>(shifted);
}

void ParseByte(std::uint8_t& target, QStringView text)
{
    if (text.startsWith(u'-')) {
        target = ParseNegativeByte(text);
        return;
    }
    if (text.startsWith(u"0x")) {
        target = ParseHexByte(text);
        return;
    }
    const std::optional<double> value = ParseDecimal(text);
    const double rounded = value ? std::nearbyint(*value) : -1.0;
    target = (rounded >= 0.0 && rounded <= 255.0) ? static_cast<std::uint8_t>(rounded) : 0;
}

std::optional<std::uint8_t> ParseCellText(QStringView text)
{
    const std::optional<std::uint32_t> value = ReadEditorText(text, 1);
    return value ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*value)) : std::nullopt;
}

QString CellTextForms() { return EditorTextForms(1); }

} // namespace zor
