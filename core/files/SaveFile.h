#pragma once

// Replacing a file whole, in two phases: write() puts the bytes into a temporary file
// beside the target and flushes it to disk; commit() renames it over the target. Until
// the rename the target is as it was; a writer destroyed or failed before it removes
// its temporary file.

#include "core/files/FileError.h"

#include <QByteArray>
#include <QString>

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

    // Phase 1. Refuses a target that is a folder or that exists but is not writable
    // by us. The temporary file gets the target's permission bits, or 0666 less the
    // umask for a new file.
    bool write(const QByteArray& bytes);
    // Phase 2: only after a write() that succeeded.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    const FileError& error() const { return error_; }
    QString temporaryPath() const { return temporary_; }

private:
    bool fail(int code);

    QString path_;     // as given
    SymlinkTarget link_;
    QString target_;   // the name the rename replaces: with symlinks followed when written through
    QString temporary_; // empty when there is none
    FileError error_;
};

// Both phases at once, for settings, CSV and sample files. On failure the old file
// stays whole and *error says why, in Japanese.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

} // namespace zor
