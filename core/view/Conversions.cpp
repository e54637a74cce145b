#include "core/view/Conversions.h"

#include <cctype>
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

std::optional<std::uint8_t> ParseCellText(QStringView typed)
{
    const QString normalized = typed.toString().normalized(QString::NormalizationForm_KC);
    const QStringView text = QStringView(normalized).trimmed();
    if (text.isEmpty())
        return std::uint8_t{0};
    if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        const QStringView digits = text.mid(2);
        if (digits.isEmpty() || digits.size() > 2)
            return std::nullopt;
        for (const QChar c : digits)
            if (c.unicode() > 0x7F || !std::isxdigit(c.unicode()))
                return std::nullopt; // toUInt would also take a sign
        return static_cast<std::uint8_t>(digits.toUInt(nullptr, 16));
    }
    if (text.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt; // ParseDecimal takes exponents, the editor does not
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        return std::nullopt;
    if (text.startsWith(u'-')) {
        if (*value == 0.0)
            return std::uint8_t{0};
        if (*value < -128.0 || *value > 0.0)
            return std::nullopt;
        return static_cast<std::uint8_t>(std::floor(*value) + 256.0);
    }
    const double rounded = std::nearbyint(*value); // the default rounding mode takes halves to even
    if (rounded < 0.0 || rounded > 255.0)
        return std::nullopt;
    return static_cast<std::uint8_t>(rounded);
}

QString CellTextForms() { return QStringLiteral(u"0x00〜0xFF、0〜255、−128〜−1"); }

} // namespace zor
