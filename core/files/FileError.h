#pragma once

// What went wrong with a file, as one small vocabulary: a kind, the path and the
// detail (errno, or the size limit). Every Japanese reason is made here, from the
// error code, never from Qt's English texts.

#include "core/files/Failure.h"

#include <QString>

namespace zor {

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

} // namespace zor
