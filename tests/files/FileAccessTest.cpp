#include "core/files/Failure.h"
#include "core/files/ReadFile.h"
#include "core/files/SaveFile.h"

#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <tuple>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::ProgramFolder;

TEST(Failure, MessagesNameTheStepTheReasonAndWhatWasLeft)
{
    const Failure full = Failure::FromErrno(u"/a.rom"_s, ENOSPC, FileAccess::Write);
    EXPECT_EQ(full.said(u"/a.rom に書き込めません"_s, u"ファイルは元のままです。"_s).message(),
              u"/a.rom に書き込めません（ディスクの空きが足りません）。ファイルは元のままです。"_s);
    EXPECT_EQ(full.message(), u"ディスクの空きが足りません。"_s);
    EXPECT_EQ(full.said(u"/a.rom を保存できません。"_s).message(), u"/a.rom を保存できません。ディスクの空きが足りません。"_s);
    EXPECT_TRUE(Failure::FromErrno(u"x"_s, ENOENT, FileAccess::Read).missing());
    EXPECT_FALSE(full.missing());

    // A detail built where the failure is known says why instead of the kind; a sentence keeps its one full stop.
    Failure refused = Failure::Of(Failure::Kind::Refused, u"クラス.csv"_s, u"値が足りません。"_s);
    EXPECT_EQ(refused.message(), u"値が足りません。"_s);
    refused.after = u"何も変えていません。"_s;
    EXPECT_EQ(refused.message(), u"値が足りません。何も変えていません。"_s);

    // A failure said again keeps its first message as the reason.
    Failure tooLarge = Failure::TooLargeFile(u"big.ini"_s, 16 * 1024 * 1024);
    EXPECT_EQ(tooLarge.said(u"big.ini を読めません"_s).said(u"メモを書けません"_s).message(),
              u"メモを書けません（big.ini を読めません（ファイルが大きすぎます（上限は 16 MiB）））。"_s);
    tooLarge.limit = 3;
    EXPECT_EQ(tooLarge.reason(), u"ファイルが大きすぎます（上限は 3 バイト）"_s);
    EXPECT_EQ(Failure::Of(Failure::Kind::Exists, u"a"_s, QString()).message(), u"すでにあります。"_s);
}

TEST(Failure, ReasonsAreJapaneseFromTheErrorCode)
{
    using A = FileAccess;
    for (const auto& [code, access, reason] : {std::tuple{ENOSPC, A::Write, u"ディスクの空きが足りません"_s}, {EFBIG, A::Write, u"ディスクの空きが足りません"_s},
                                               {EROFS, A::Write, u"読み取り専用のファイルシステムです"_s}, {EACCES, A::Write, u"書き込みが許可されていません"_s},
                                               {EPERM, A::Write, u"書き込みが許可されていません"_s}, {EACCES, A::Read, u"読み取りが許可されていません"_s},
                                               {EPERM, A::Read, u"読み取りが許可されていません"_s}, {EISDIR, A::Write, u"フォルダです"_s},
                                               {ENOENT, A::Read, u"ファイルが見つかりません"_s}})
        EXPECT_EQ(ErrnoReason(code, access), reason) << code;
    // Codes without their own text keep their number.
    EXPECT_TRUE(ErrnoReason(EPROTO, FileAccess::Read).contains(QString::number(EPROTO)));
    for (const int code : {ENOTDIR, ENAMETOOLONG, EIO, ELOOP, EMFILE, EPROTO}) {
        const QString reason = ErrnoReason(code, FileAccess::Read);
        EXPECT_TRUE(std::none_of(reason.begin(), reason.end(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; }))
            << reason.toStdString();
    }
}

// A regular file is read whole, also through a link, up to the limit; a pipe would block
// an ordinary open and a device would be read without end: both are refused before a
// byte is read, as are folders, missing files and files over the limit, naming it.
TEST(ReadFile, ReadsRegularFilesUpToTheLimitAndRefusesTheRest)
{
    ProgramFolder home;
    home.writeBytes(u"a.bin"_s, QByteArray("a\0b", 3));
    home.writeBytes(u"empty.bin"_s, {});
    ASSERT_TRUE(QFile::link(home.file(u"a.bin"_s), home.file(u"link.bin"_s)));
    ASSERT_EQ(mkfifo(QFile::encodeName(home.file(u"pipe"_s)).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, home.file(u"zero"_s)));
    for (const auto& [name, size] : {std::pair{u"limit"_s, kMaxTextFileSize}, {u"over"_s, kMaxTextFileSize + 1}}) {
        home.writeBytes(name, {});
        ASSERT_TRUE(QFile::resize(home.file(name), size)); // sparse: nothing is written
    }
    struct Case {
        QString name;
        qint64 limit;
        QByteArray bytes = {}; // read, when why is empty
        QString why = {};
        bool missing = false;
    };
    for (const Case& c : std::vector<Case>{{u"a.bin"_s, 3, QByteArray("a\0b", 3)},
                                           {u"empty.bin"_s, 3, QByteArray()},
                                           {u"link.bin"_s, 3, QByteArray("a\0b", 3)},
                                           {u"a.bin"_s, 2, {}, u"ファイルが大きすぎます（上限は 2 バイト）"_s},
                                           {u"limit"_s, kMaxTextFileSize, QByteArray(kMaxTextFileSize, '\0')},
                                           {u"over"_s, kMaxTextFileSize, {}, u"ファイルが大きすぎます（上限は 16 MiB）"_s},
                                           {u"pipe"_s, 3, {}, u"通常のファイルではありません"_s},
                                           {u"zero"_s, 3, {}, u"通常のファイルではありません"_s},
                                           {QString(), 3, {}, u"フォルダです"_s},
                                           {u"none"_s, 3, {}, u"ファイルが見つかりません"_s, true}}) {
        SCOPED_TRACE(c.name.toStdString());
        const Result<QByteArray> read = ReadRegularFile(home.file(c.name), c.limit);
        if (c.why.isEmpty()) {
            ASSERT_TRUE(read) << read.failure().message().toStdString();
            EXPECT_TRUE(*read == c.bytes);
        } else {
            ASSERT_FALSE(read);
            EXPECT_EQ(std::tuple(read.failure().reason(), read.failure().missing(), read.failure().place),
                      std::tuple(c.why, c.missing, home.file(c.name)));
        }
    }
}

QStringList Files(const ProgramFolder& home)
{
    QStringList files = QDir(home.path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
    files.sort();
    return files;
}

// Why a write was refused; empty when it wasn't.
QString Reason(const Result<void>& written) { return written ? QString() : written.failure().reason(); }

// The permission bits, or the kind of file, of path itself.
mode_t Mode(const QString& path, mode_t mask = 07777)
{
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & mask : 0;
}

// The bytes go to a temporary file beside the target, named after it; the target changes
// only at the rename, and a writer never committed takes its temporary file with it.
TEST(AtomicFile, TheTargetChangesOnlyAtTheRename)
{
    ProgramFolder home;
    home.writeBytes(u"t.bin"_s, "old");
    for (const bool committed : {false, true}) {
        AtomicFile file(home.file(u"t.bin"_s));
        ASSERT_TRUE(file.write("new bytes"));
        const QFileInfo temporary(file.temporaryPath());
        EXPECT_EQ(temporary.absolutePath(), QFileInfo(home.path()).absoluteFilePath());
        EXPECT_TRUE(temporary.fileName().startsWith(u"t.bin"_s)) << temporary.fileName().toStdString();
        EXPECT_EQ(QFile(temporary.filePath()).size(), 9);
        EXPECT_EQ(home.readBytes(u"t.bin"_s), "old");
        if (committed) {
            ASSERT_TRUE(file.commit());
            EXPECT_TRUE(file.temporaryPath().isEmpty());
        }
    }
    EXPECT_EQ(home.readBytes(u"t.bin"_s), "new bytes");
    EXPECT_EQ(Files(home), QStringList{u"t.bin"_s});
    EXPECT_FALSE(AtomicFile(home.file(u"t.bin"_s)).commit());
}

// A file written over keeps its permissions, a new one gets 0666 less the umask; a link
// is written through, or replaced as a name when told; a pipe, or a link to one, is
// never replaced by a regular file.
TEST(AtomicFile, KeepsPermissionsLinksAndPipes)
{
    ProgramFolder home;
    home.writeBytes(u"t.bin"_s, "old");
    ASSERT_EQ(chmod(QFile::encodeName(home.file(u"t.bin"_s)).constData(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(home.file(u"t.bin"_s), "new"));
    const mode_t old = umask(027);
    ASSERT_TRUE(WriteFileAtomically(home.file(u"fresh.bin"_s), "x"));
    umask(old);
    EXPECT_EQ(std::pair(Mode(home.file(u"t.bin"_s)), Mode(home.file(u"fresh.bin"_s))), std::pair(mode_t{0640}, mode_t{0640}));

    ASSERT_TRUE(QFile::link(home.file(u"t.bin"_s), home.file(u"through.bin"_s)));
    ASSERT_TRUE(WriteFileAtomically(home.file(u"through.bin"_s), "through"));
    ASSERT_TRUE(QFile::link(home.file(u"fresh.bin"_s), home.file(u"name.bin"_s)));
    AtomicFile name(home.file(u"name.bin"_s), SymlinkTarget::ReplaceLink);
    ASSERT_TRUE(name.write("replaced") && name.commit());
    EXPECT_EQ(std::tuple(Mode(home.file(u"through.bin"_s), S_IFMT), Mode(home.file(u"name.bin"_s), S_IFMT)),
              std::tuple(mode_t{S_IFLNK}, mode_t{S_IFREG}));
    EXPECT_EQ(std::tuple(home.readBytes(u"t.bin"_s), home.readBytes(u"fresh.bin"_s), home.readBytes(u"name.bin"_s)),
              std::tuple(QByteArray("through"), QByteArray("x"), QByteArray("replaced")));

    ASSERT_EQ(mkfifo(QFile::encodeName(home.file(u"pipe"_s)).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(home.file(u"pipe"_s), home.file(u"to-pipe"_s)));
    for (const QString& pipe : {u"pipe"_s, u"to-pipe"_s})
        EXPECT_EQ(Reason(WriteFileAtomically(home.file(pipe), "x")), u"通常のファイルではありません"_s) << pipe.toStdString();
    EXPECT_EQ(Mode(home.file(u"pipe"_s), S_IFMT), mode_t{S_IFIFO});
    EXPECT_EQ(Files(home), (QStringList{u"fresh.bin"_s, u"name.bin"_s, u"pipe"_s, u"t.bin"_s, u"through.bin"_s, u"to-pipe"_s}));
}

TEST(AtomicFile, RefusalsSayWhyInJapaneseAndLeaveNothing)
{
    ProgramFolder home;
    ASSERT_TRUE(QDir(home.path()).mkdir(u"folder"_s));
    EXPECT_EQ(Reason(WriteFileAtomically(home.file(u"folder"_s), "x")), u"フォルダです"_s);
    EXPECT_EQ(Reason(WriteFileAtomically(home.file(u"none/t.bin"_s), "x")), u"保存先のフォルダが見つかりません"_s);

    // A read-only file in a writable folder: refused, as permissions don't stop root,
    // by a child process that has given up root.
    home.writeBytes(u"locked.bin"_s, "old");
    ASSERT_EQ(chmod(QFile::encodeName(home.path()).constData(), 0777), 0);
    ASSERT_EQ(chmod(QFile::encodeName(home.file(u"locked.bin"_s)).constData(), 0444), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        _exit(Reason(WriteFileAtomically(home.file(u"locked.bin"_s), "new")) == u"書き込みが許可されていません"_s ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(home.readBytes(u"locked.bin"_s), "old");
    EXPECT_EQ(Files(home), QStringList{u"locked.bin"_s});
    ASSERT_EQ(chmod(QFile::encodeName(home.path()).constData(), 0700), 0);
}

TEST(CheckOutput, TheGuardedFilesUnderAnyNameAndWhatIsntARegularFileAreRefused)
{
    ProgramFolder home;
    home.writeBytes(u"in.rom"_s, "input");
    home.writeBytes(u"other.rom"_s, "other");
    ASSERT_TRUE(QDir(home.path()).mkdir(u"sub"_s));
    ASSERT_TRUE(QFile::link(home.file(u"in.rom"_s), home.file(u"sub/alias.rom"_s)));
    ASSERT_EQ(link(QFile::encodeName(home.file(u"in.rom"_s)).constData(), QFile::encodeName(home.file(u"hard.rom"_s)).constData()), 0);
    ASSERT_EQ(mkfifo(QFile::encodeName(home.file(u"pipe"_s)).constData(), 0644), 0);
    const std::vector<GuardedFile> guarded = OpenImageFiles(home.file(u"in.rom"_s)); // in.rom.bak doesn't exist
    using K = Failure::Kind;
    const auto kind = [&](const QString& out) {
        const Result<void> checked = CheckOutput(home.file(out), guarded);
        return checked ? std::nullopt : std::optional(checked.failure().kind);
    };
    for (const auto& [out, refused] : {std::pair{u"in.rom"_s, std::optional(K::SameFile)}, {u"sub/../in.rom"_s, K::SameFile},
                                       {u"sub/alias.rom"_s, K::SameFile}, {u"hard.rom"_s, K::SameFile}, {u"in.rom.bak"_s, K::SameFile},
                                       {u"pipe"_s, K::NotRegular}, {u"sub"_s, K::Folder}, {u"other.rom"_s, std::nullopt},
                                       {u"new.rom"_s, std::nullopt}})
        EXPECT_EQ(kind(out), refused) << out.toStdString();
    EXPECT_EQ(Reason(CheckOutput(home.file(u"hard.rom"_s), guarded)), u"開いているイメージ %1 と同じファイルです"_s.arg(home.file(u"in.rom"_s)));
    EXPECT_FALSE(WriteFileAtomically(home.file(u"sub/alias.rom"_s), "x", guarded));
    EXPECT_EQ(home.readBytes(u"in.rom"_s), "input");
}

} // namespace
} // namespace zor
