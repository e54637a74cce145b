#pragma once

// A patch whose bytes aren't what they claim to be, in the words both readers use.

#include "core/files/Failure.h"

namespace zor {

inline Failure PatchDamaged(const QString& detail)
{
    return Failure::Of(Failure::Kind::Damaged, QString(), QStringLiteral("パッチが壊れています（%1）").arg(detail));
}

} // namespace zor
