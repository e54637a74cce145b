#include "core/files/SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Written by hand on POSIX: QSaveFile renames in the same call that writes, so a save
// could not replace its .bak between the two, and it reports only coarse errors, losing
// the errno a Japanese reason is made from.

namespace zor {

namespace {

constexpr int kMaxSymlinkDepth = 128;
constexpr int kMaxNameTries = 100;

// The file a symlink chain ends at, as QSaveFile finds it: a target that does not
// exist yet is fine, a chain too deep is left as given.
QString FollowSymlinks(const QString& path)
{
    QFileInfo info(path);
    int depth = kMaxSymlinkDepth;
    while (--depth > 0 && info.isSymLink())
        info.setFile(info.symLinkTarget());
    return depth > 0 ? info.filePath() : path;
}

[[nodiscard]] bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<std::size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// A rename is only as durable as the folder entry; best effort, as not every file
// system syncs folders.
void SyncFolder(const QString& file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(const QString& path, SymlinkTarget link)
    : path_(path), link_(link), target_(link == SymlinkTarget::WriteThrough ? FollowSymlinks(path) : path)
{
}

AtomicFile::~AtomicFile() { discard(); }

Failure AtomicFile::fail(int code) { return fail(Failure::FromErrno(path_, code, FileAccess::Write)); }

Failure AtomicFile::fail(Failure failure)
{
    failure.place = path_;
    failure.access = FileAccess::Write;
    discard();
    return failure;
}

void AtomicFile::discard()
{
    if (!temporary_.isEmpty())
        ::unlink(QFile::encodeName(temporary_).constData());
    temporary_.clear();
}

Result<void> AtomicFile::write(const QByteArray& bytes)
{
    discard();
    const QByteArray target = QFile::encodeName(target_);
    if (link_ == SymlinkTarget::WriteThrough) {
        if (Result<void> refusal = CheckOutput(target_, {}); !refusal)
            return fail(refusal.failure());
    }
    // Only a regular file is written over; anything else at a replaced name, a link
    // above all, is replaced whole, as a new file.
    struct stat found {};
    const bool exists = ::lstat(target.constData(), &found) == 0;
    if (exists && S_ISDIR(found.st_mode))
        return fail(EISDIR);
    const bool regular = exists && S_ISREG(found.st_mode);
    if (regular && ::access(target.constData(), W_OK) != 0)
        return fail(errno);

    // Our own names rather than mkstemp, so that the kernel applies the umask to 0666
    // for a new file: reading the umask means setting it, which other threads could see.
    int fd = -1;
    for (int attempt = 0; attempt < kMaxNameTries && fd < 0; ++attempt) {
        temporary_ = target_ + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate() % 0x1000000, 6, 36, QLatin1Char('0'));
        fd = ::open(QFile::encodeName(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            const int code = errno;
            temporary_.clear(); // never made: nothing to remove
            return fail(code);
        }
    }
    if (fd < 0) {
        temporary_.clear();
        return fail(EEXIST);
    }
    if (regular && ::fchmod(fd, found.st_mode & 07777) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(code);
    }
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(code);
    }
    if (::close(fd) != 0)
        return fail(errno);
    return {};
}

Result<void> AtomicFile::commit()
{
    if (temporary_.isEmpty())
        return fail(ENOENT); // nothing written to rename
    if (::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(target_).constData()) != 0)
        return fail(errno);
    temporary_.clear();
    SyncFolder(target_);
    return {};
}

QString BackupPath(const QString& image) { return image + QStringLiteral(".bak"); }

std::vector<GuardedFile> OpenImageFiles(const QString& image)
{
    if (image.isEmpty())
        return {};
    return {{QStringLiteral("開いているイメージ"), image},
            {QStringLiteral("開いているイメージのバックアップ"), BackupPath(image)}};
}

Result<void> CheckOutput(const QString& out, const std::vector<GuardedFile>& guarded)
{
    const auto refuse = [&](Failure::Kind kind) {
        Failure refusal = Failure::Of(kind, out, QString());
        refusal.access = FileAccess::Write;
        return refusal;
    };
    struct stat found {};
    const bool exists = ::stat(QFile::encodeName(out).constData(), &found) == 0;
    if (exists && S_ISDIR(found.st_mode))
        return refuse(Failure::Kind::Folder);
    if (exists && !S_ISREG(found.st_mode))
        return refuse(Failure::Kind::NotRegular);
    const QString absolute = QFileInfo(out).absoluteFilePath();
    for (const GuardedFile& file : guarded) {
        struct stat other {};
        const bool same = QFileInfo(file.path).absoluteFilePath() == absolute
                          || (exists && ::stat(QFile::encodeName(file.path).constData(), &other) == 0
                              && other.st_dev == found.st_dev && other.st_ino == found.st_ino);
        if (same) {
            Failure refusal = refuse(Failure::Kind::SameFile);
            refusal.other = QStringLiteral("%1 %2").arg(file.role, file.path);
            return refusal;
        }
    }
    return {};
}

Result<void> WriteFileAtomically(const QString& path, const QByteArray& bytes, const std::vector<GuardedFile>& guarded)
{
    if (Result<void> refusal = CheckOutput(path, guarded); !refusal)
        return refusal;
    AtomicFile file(path);
    if (Result<void> written = file.write(bytes); !written)
        return written;
    return file.commit();
}

} // namespace zor
