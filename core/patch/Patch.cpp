#include "core/patch/Patch.h"

namespace zor {

PatchResult ApplyPatch(const QByteArray& patch, const QByteArray& source)
{
    if (patch.startsWith(kBpsMagic))
        return ApplyBps(patch, source);
    if (patch.startsWith(kIpsMagic))
        return ApplyIps(patch, source);
    return PatchResult::Failed(QStringLiteral("BPS のパッチでも IPS のパッチでもありません（先頭が「BPS1」でも「PATCH」でもありません）"));
}

} // namespace zor
