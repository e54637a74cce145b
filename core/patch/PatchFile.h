#pragma once

// A patch file made from two image files: both read whole (the image limit), the patch
// built, then written atomically. What went wrong is said in Japanese, naming the file.

#include "core/files/SaveFile.h"

#include <QString>

#include <vector>

namespace zor {

enum class PatchFormat { Bps, Ips };

struct PatchWritten {
    QString message; // what was written, or that the images are identical
    qint64 size = 0; // the patch's bytes; 0 when nothing was written
};

struct PatchFileOptions {
    std::vector<GuardedFile> guarded; // besides the two images, files the patch must not replace
    bool skipIdentical = false;       // two identical images: nothing written, and said so
};

// The patch from original to edited, written to out; out is never one of the images nor
// a guarded file (see CheckOutput), which is refused before anything is read. A failure
// to read an image has access Read; every other failure (out refused, no patch possible,
// out not written) has access Write.
[[nodiscard]] Result<PatchWritten> WritePatchFile(const QString& original, const QString& edited, const QString& out,
                                                  PatchFormat format, const PatchFileOptions& options = {});

} // namespace zor
