#pragma once

// What went wrong with a file, as one small vocabulary: a kind, the path and the
// detail (errno, or the size limit). Every Japanese reason is made here, from the
// error code, never from Qt's English texts.

#include <QString>

namespace zor {

enum class FileAccess { Read, Write };

struct FileError {
    enum class Kind {
        None,
        System,     // a call failed; code is its errno
        NotRegular, // a pipe, a device, a socket: never waited on
        Folder,
        TooLarge,   // limit is the largest size allowed
        SameFile,   // an output that is one of the files it must not replace, named in other
    };
    Kind kind = Kind::None;
    QString path;
    int code = 0;
    qint64 limit = 0;
    FileAccess access = FileAccess::Read;
    QString other; // SameFile: that file as the user knows it, "元のイメージ a.rom"

    bool failed() const { return kind != Kind::None; }
    bool missing() const; // the file (or a folder above it) does not exist

    // The reason in Japanese, without the path and without a final "。".
    QString reason() const;

    static FileError fromErrno(const QString& path, int code, FileAccess access);
};

// errno as a Japanese reason: what a user can act on, else the number.
QString ErrnoReason(int code, FileAccess access);

// "64 MiB", "16 MiB", or bytes when the limit is not a whole number of MiB.
QString SizeText(qint64 bytes);

} // namespace zor
