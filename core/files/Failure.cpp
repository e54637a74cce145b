#include "core/files/Failure.h"

#include <cerrno>

namespace zor {

namespace {

const QChar kFullStop = u'。';

QString Sentence(const QString& text) { return text.endsWith(kFullStop) ? text : text + kFullStop; }

} // namespace

Failure Failure::Of(Kind kind, const QString& place, const QString& detail)
{
    Failure failure;
    failure.kind = kind;
    failure.place = place;
    failure.detail = detail;
    return failure;
}

Failure Failure::FromErrno(const QString& path, int code, FileAccess access)
{
    Failure failure;
    failure.kind = Kind::System;
    failure.place = path;
    failure.code = code;
    failure.access = access;
    return failure;
}

Failure Failure::TooLargeFile(const QString& path, qint64 limit)
{
    Failure failure;
    failure.kind = Kind::TooLarge;
    failure.place = path;
    failure.limit = limit;
    return failure;
}

bool Failure::missing() const { return kind == Kind::System && code == ENOENT; }

QString Failure::reason() const
{
    if (!detail.isEmpty())
        return detail;
    switch (kind) {
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
    case Kind::Exists:
        return QStringLiteral("すでにあります");
    case Kind::BadText:
        return QStringLiteral("読めない文字があります");
    case Kind::Damaged:
        return QStringLiteral("壊れています");
    case Kind::OtherFile:
        return QStringLiteral("別のファイル用です");
    case Kind::Refused:
        break;
    }
    return QStringLiteral("できません");
}

QString Failure::message() const
{
    if (step.isEmpty() || step.endsWith(kFullStop))
        return step + Sentence(reason()) + after;
    return QStringLiteral("%1（%2）。%3").arg(step, reason(), after);
}

Failure Failure::said(const QString& failedStep, const QString& left) const
{
    Failure failure = *this;
    if (!step.isEmpty() || !after.isEmpty()) {
        failure.detail = message();
        if (failure.detail.endsWith(kFullStop))
            failure.detail.chop(1);
    }
    failure.step = failedStep;
    failure.after = left;
    return failure;
}

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

} // namespace zor
