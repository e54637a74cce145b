#include "core/value/BitsText.h"

#include <algorithm>

namespace zor {

QString BitLabel(int bit, const QStringList& bitNames)
{
    const bool named = bit >= 0 && bit < bitNames.size() && !bitNames[bit].isEmpty();
    return named ? bitNames[bit] : QStringLiteral("bit %1").arg(bit);
}

QString BitsCellText(std::uint32_t value, int size, const QStringList& bitNames)
{
    const int bits = 8 * std::clamp(size, 1, 4);
    QStringList set;
    for (int bit = 0; bit < bits; ++bit)
        if (value >> bit & 1U)
            set << BitLabel(bit, bitNames);
    return set.isEmpty() ? QStringLiteral(u"－") : set.join(u'・');
}

} // namespace zor
