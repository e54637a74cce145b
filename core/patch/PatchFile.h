#pragma once

// A patch file made from two image files: both read whole (the image limit), the patch
// built, then written atomically. What went wrong is said in Japanese, naming the file.

#include <QString>

namespace zor {

enum class PatchFormat { Bps, Ips };

struct PatchFileResult {
    enum Kind { Written, Unreadable, Refused, NotWritten } kind = Written;
    QString message; // what was written, or why nothing was
    qint64 size = 0; // the patch's bytes when written
};

PatchFileResult WritePatchFile(const QString& original, const QString& edited, const QString& out, PatchFormat format);

} // namespace zor
