#include "core/files/FileError.h"

#include <cerrno>

namespace zor {

bool FileError::missing() const { return kind == Kind::System && code == ENOENT; }

QString ErrnoReason(int code, FileAccess access)
{
    switch (code) {
    case ENOENT: // a write makes the file, so only its folder can be missing
        return access == FileAccess::Read ? QStringLiteral("ファイルが見つかりません")
                                          : QStringLiteral("保存先のフォルダが見つかりません");
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return QStringLiteral("ディスクの空きが足りません");
    case EROFS: // a read never meets it: only opening for a write does
        return QStringLiteral("読み取り専用のファイルシステムです");
    case EACCES:
    case EPERM:
        return access == FileAccess::Read ? QStringLiteral("読み取りが許可されていません")
                                          : QStringLiteral("書き込みが許可されていません");
    case EISDIR:
        return QStringLiteral("フォルダです");
    case ENOTDIR:
        return QStringLiteral("パスの途中にフォルダでないものがあります");
    case ENAMETOOLONG:
        return QStringLiteral("パスが長すぎます");
    case EIO:
        return QStringLiteral("ディスクの読み書きでエラーが起きました");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しているか、多すぎます");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case ENOMEM:
        return QStringLiteral("メモリが足りません");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルが使用中です");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("通常のファイルではありません");
    default:
        return QStringLiteral("ファイルを扱えません（エラー番号 %1）").arg(code);
    }
}

QString SizeText(qint64 bytes)
{
    constexpr qint64 kMiB = 1024 * 1024;
    if (bytes > 0 && bytes % kMiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / kMiB);
    return QStringLiteral("%1 バイト").arg(bytes);
}

QString FileError::reason() const
{
    switch (kind) {
    case Kind::None:
        return QString();
    case Kind::System:
        return ErrnoReason(code, access);
    case Kind::NotRegular:
        return QStringLiteral("通常のファイルではありません");
    case Kind::Folder:
        return QStringLiteral("フォルダです");
    case Kind::TooLarge:
        return QStringLiteral("ファイルが大きすぎます（上限は %1）").arg(SizeText(limit));
    case Kind::SameFile:
        return QStringLiteral("%1 と同じファイルです").arg(other);
    }
    return QString();
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
