#pragma once

// Replacing a file whole, in two phases: write() puts the bytes into a temporary file
// beside the target and flushes it to disk; commit() renames it over the target. Until
// the rename the target is as it was; a writer destroyed or failed before it removes
// its temporary file.

#include "core/files/Failure.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace zor {

// What a write does with a target that is a symbolic link.
enum class SymlinkTarget {
    WriteThrough, // the file it names is replaced, in that file's folder; the link stays
    ReplaceLink,  // the link itself is replaced by the new file; what it named stays as it was
};

class AtomicFile {
public:
    explicit AtomicFile(const QString& path, SymlinkTarget link = SymlinkTarget::WriteThrough);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Phase 1. Refuses a target that is a folder or that exists but is not writable by
    // us; written through a link, also one that exists and isn't a regular file (a pipe
    // or a device would be replaced by a regular file). The temporary file gets the
    // target's permission bits, or 0666 less the umask for a new file.
    // A failure names the path as given, with the reason for a write.
    [[nodiscard]] Result<void> write(const QByteArray& bytes);
    // Phase 2: only after a write() that succeeded.
    [[nodiscard]] Result<void> commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    QString temporaryPath() const { return temporary_; }

private:
    Failure fail(int code);
    Failure fail(Failure failure);

    QString path_;     // as given
    SymlinkTarget link_;
    QString target_;   // the name the rename replaces: with symlinks followed when written through
    QString temporary_; // empty when there is none
};

// A file an output must not replace, with what it is to the user ("元のイメージ").
struct GuardedFile {
    QString role;
    QString path;
};

// The copy of an image that a save keeps beside it.
QString BackupPath(const QString& image);

// The open image and its .bak, which no export, patch or copy may replace; none when
// no image is open.
std::vector<GuardedFile> OpenImageFiles(const QString& image);

// Whether out may be written. Refused when it is one of the guarded files (the same
// absolute path, or the same device and inode with links followed, so another
// spelling, a symbolic or a hard link counts: Kind::SameFile, naming it), or when it
// exists and is a folder or not a regular file. A missing out may be written.
[[nodiscard]] Result<void> CheckOutput(const QString& out, const std::vector<GuardedFile>& guarded);

// Both phases at once, for settings, CSV, patch and sample files, after CheckOutput. On
// failure the old file stays whole.
[[nodiscard]] Result<void> WriteFileAtomically(const QString& path, const QByteArray& bytes,
                                               const std::vector<GuardedFile>& guarded = {});

} // namespace zor
