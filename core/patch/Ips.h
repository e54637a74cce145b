#pragma once

// IPS patches: "PATCH", records that write bytes at 24-bit offsets, "EOF", and the
// 3-byte size a shorter target is truncated to. IPS carries no checksum, so a patch
// made for another file can't be told from the right one.

#include "core/files/Failure.h"

#include <QByteArray>

namespace zor {

inline constexpr char kIpsMagic[] = "PATCH";
inline constexpr qsizetype kIpsMaxOffset = 0xFFFFFF;

// A patch that turns source into target. Refused when a byte that changes lies past
// kIpsMaxOffset, or when a shorter target's size doesn't fit in three bytes. A record
// never starts at 0x454F46 (it would read as "EOF"), and a target longer than the
// source ends with a record writing its last byte, so that the file grows that far.
[[nodiscard]] Result<QByteArray> MakeIps(const QByteArray& source, const QByteArray& target);

// The target of patch applied to source: records (runs included) and the truncation.
// Refused when the patch is damaged (cut short, bytes after the end, an empty run, a
// truncation past the end) or would write past kMaxImageSize.
[[nodiscard]] Result<QByteArray> ApplyIps(const QByteArray& patch, const QByteArray& source);

} // namespace zor
