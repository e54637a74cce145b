#include "core/files/SaveFile.h"

#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::ProgramFolder;

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
