#include "core/value/EditorText.h"

#include "core/files/Numbers.h"
#include "core/value/CellValue.h"

#include <algorithm>
#include <cmath>

namespace zor {

std::optional<std::uint32_t> ReadEditorText(QStringView typed, int size, BareDigits bare)
{
    size = std::clamp(size, 1, 4);
    const QString normalized = typed.toString().normalized(QString::NormalizationForm_KC);
    const QStringView text = QStringView(normalized).trimmed();
    if (text.isEmpty())
        return 0;
    if (text.startsWith(u"0x", Qt::CaseInsensitive))
        return HexDigitsValue(text.mid(2), 2 * size);
    // Digits alone are hexadecimal then, however many: too many for the size is a mistake,
    // never a decimal number.
    if (bare == BareDigits::Hexadecimal && std::all_of(text.begin(), text.end(), [](QChar c) { return HexDigit(c) >= 0; }))
        return HexDigitsValue(text, 2 * size);
    if (text.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt; // ParseDecimal takes exponents, the editor does not
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        return std::nullopt;
    if (text.startsWith(u'-')) {
        if (*value == 0.0)
            return 0;
        if (*value < static_cast<double>(MinSigned(size)) || *value > 0.0)
            return std::nullopt;
        return FromSigned(static_cast<std::int64_t>(std::floor(*value)), size);
    }
    const double rounded = std::nearbyint(*value); // the default rounding mode takes halves to even
    if (rounded < 0.0 || rounded > static_cast<double>(MaxUnsigned(size)))
        return std::nullopt;
    return static_cast<std::uint32_t>(rounded);
}

QString EditorTextForms(int size, bool hexExample)
{
    size = std::clamp(size, 1, 4);
    QString forms = QStringLiteral(u"0x%1〜0x%2、0〜%3、−%4〜−1")
                        .arg(QString(2 * size, u'0'), QString(2 * size, u'F'))
                        .arg(MaxUnsigned(size))
                        .arg(-MinSigned(size));
    if (hexExample)
        forms += QStringLiteral(u"（例: 0x%1）").arg(QStringLiteral("12345678").left(2 * size));
    return forms;
}

} // namespace zor
