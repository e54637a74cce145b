#include "core/view/Conversions.h"

#include <cmath>

namespace zor {

int ByteToSigned(std::uint8_t value) { return value < 128 ? value : value - 256; }

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

} // namespace zor
