#pragma once

#include "core/patch/Bps.h"
#include "core/patch/Ips.h"

namespace zor {

// A BPS or an IPS patch, told apart by its first bytes, applied to source.
[[nodiscard]] Result<QByteArray> ApplyPatch(const QByteArray& patch, const QByteArray& source);

} // namespace zor
