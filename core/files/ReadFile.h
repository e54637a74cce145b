#pragma once

// The one way ZOR reads a file: a regular file within a size limit, read whole.
// Anything else (a pipe, a device, a folder, a file too large) is refused at once,
// never waited on.

#include "core/files/Failure.h"

#include <QByteArray>
#include <QString>

namespace zor {

// No SNES image is larger.
inline constexpr qint64 kMaxImageSize = 64 * 1024 * 1024;
// Definition and settings files (.idn, .sna, .ini, ZOR.ini).
inline constexpr qint64 kMaxTextFileSize = 16 * 1024 * 1024;

// The whole file, or why not (missing() for a file that isn't there). A file that grows
// past maxSize while it is read is refused as well.
[[nodiscard]] Result<QByteArray> ReadRegularFile(const QString& path, qint64 maxSize);

} // namespace zor
