#include "core/files/FileError.h"

#include <cerrno>

namespace zor {

bool FileError::missing() const { return kind == Kind::System && code == ENOENT; }

QString FileError::reason() const
{
    if (kind == Kind::None)
        return QString();
    Failure failure;
    failure.kind = static_cast<Failure::Kind>(static_cast<int>(kind) - 1);
    failure.code = code;
    failure.access = access;
    failure.limit = limit;
    failure.other = other;
    return failure.reason();
}

FileError FileError::fromErrno(const QString& path, int code, FileAccess access)
{
    FileError error;
    error.kind = Kind::System;
    error.path = path;
    error.code = code;
    error.access = access;
    return error;
}

} // namespace zor
