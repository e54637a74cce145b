#include "core/value/ValueText.h"

#include "core/value/CellValue.h"

#include <algorithm>

namespace zor {

QString FormatValue(int notation, std::uint32_t value, int size)
{
    size = std::clamp(size, 1, 4);
    value &= MaxUnsigned(size);
    switch (notation) {
    case 10:
        return QString::number(value);
    case -10:
        return QString::number(SignedValue(value, size));
    default:
        return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(2 * size, u'0');
    }
}

} // namespace zor
