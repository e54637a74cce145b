#include "core/files/ReadFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zor {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

// By hand on POSIX: QFile::open blocks on a named pipe and reads a device without
// end; only open with O_NONBLOCK and fstat on the descriptor can look before reading.
Result<QByteArray> ReadRegularFile(const QString& path, qint64 maxSize)
{
    auto failWithErrno = [&](int code) { return Failure::FromErrno(path, code, FileAccess::Read); };
    auto failWith = [&](Failure::Kind kind) {
        Failure failure = Failure::Of(kind, path, QString());
        failure.limit = maxSize;
        return failure;
    };

    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ENXIO ? failWith(Failure::Kind::NotRegular) : failWithErrno(errno); // ENXIO: a socket
    const Descriptor file(fd);

    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return failWithErrno(errno);
    if (S_ISDIR(info.st_mode))
        return failWith(Failure::Kind::Folder);
    if (!S_ISREG(info.st_mode))
        return failWith(Failure::Kind::NotRegular);
    if (info.st_size > maxSize)
        return failWith(Failure::Kind::TooLarge);

    // One byte more than the limit shows a file that grew while it was read.
    QByteArray bytes(static_cast<qsizetype>(std::min<qint64>(info.st_size, maxSize) + 1), Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxSize)
                break;
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(maxSize + 1, filled * 2)));
        }
        const ssize_t n = ::read(fd, bytes.data() + filled, static_cast<std::size_t>(bytes.size() - filled));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failWithErrno(errno);
        }
        if (n == 0)
            break;
        filled += n;
    }
    if (filled > maxSize)
        return failWith(Failure::Kind::TooLarge);
    bytes.resize(static_cast<qsizetype>(filled));
    return bytes;
}

} // namespace zor
