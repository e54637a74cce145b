#include "core/patch/Patch.h"

namespace zor {

Result<QByteArray> ApplyPatch(const QByteArray& patch, const QByteArray& source)
{
    if (patch.startsWith(kBpsMagic))
        return ApplyBps(patch, source);
    if (patch.startsWith(kIpsMagic))
        return ApplyIps(patch, source);
    return Failure::Of(Failure::Kind::Damaged, QString(),
                       QStringLiteral("BPS のパッチでも IPS のパッチでもありません（先頭が「BPS1」でも「PATCH」でもありません）"));
}

} // namespace zor
