#include "core/value/BitsText.h"

#include <algorithm>

namespace zor {

QString BitsCellText(std::uint32_t value, int size, const QStringList& bitNames)
{
    const int bits = 8 * std::clamp(size, 1, 4);
    QStringList set;
    for (int bit = 0; bit < bits; ++bit) {
        if (!(value >> bit & 1U))
            continue;
        const bool named = bit < bitNames.size() && !bitNames[bit].isEmpty();
        set << (named ? bitNames[bit] : QStringLiteral("bit %1").arg(bit));
    }
    return set.isEmpty() ? QStringLiteral(u"－") : set.join(u'・');
}

} // namespace zor
