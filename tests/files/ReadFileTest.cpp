#include "core/files/ReadFile.h"

#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::ProgramFolder;

TEST(ReadFile, ReadsARegularFileWhole)
{
    ProgramFolder home;
    home.writeBytes(u"a.bin"_s, QByteArray("a\0b", 3));
    FileError error;
    EXPECT_EQ(ReadRegularFile(home.file(u"a.bin"_s), 3, &error), QByteArray("a\0b", 3));
    EXPECT_FALSE(error.failed());
    home.writeBytes(u"empty.bin"_s, {});
    EXPECT_EQ(ReadRegularFile(home.file(u"empty.bin"_s), 3, &error), QByteArray());
    // Through a symlink to a regular file.
    ASSERT_TRUE(QFile::link(home.file(u"a.bin"_s), home.file(u"link.bin"_s)));
    EXPECT_EQ(ReadRegularFile(home.file(u"link.bin"_s), 3, &error), QByteArray("a\0b", 3));
}

// A pipe would block an ordinary open, a device would be read without end: both are
// refused before a byte is read.
TEST(ReadFile, RefusesWhatIsNotARegularFile)
{
    ProgramFolder home;
    ASSERT_EQ(mkfifo(QFile::encodeName(home.file(u"pipe"_s)).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, home.file(u"zero"_s)));
    for (const QString& name : {u"pipe"_s, u"zero"_s}) {
        FileError error;
        EXPECT_FALSE(ReadRegularFile(home.file(name), kMaxTextFileSize, &error)) << name.toStdString();
        EXPECT_EQ(error.kind, FileError::Kind::NotRegular) << name.toStdString();
        EXPECT_EQ(error.reason(), u"通常のファイルではありません"_s);
        EXPECT_EQ(error.path, home.file(name));
    }
    FileError folder, missing;
    EXPECT_FALSE(ReadRegularFile(home.path(), kMaxTextFileSize, &folder) || ReadRegularFile(home.file(u"none"_s), kMaxTextFileSize, &missing));
    EXPECT_EQ(std::tuple(folder.reason(), folder.missing(), missing.reason(), missing.missing()),
              std::tuple(u"フォルダです"_s, false, u"ファイルが見つかりません"_s, true));
}

TEST(ReadFile, RefusesAFileOverTheLimitNamingIt)
{
    ProgramFolder home;
    home.writeBytes(u"big.ini"_s, {});
    QFile big(home.file(u"big.ini"_s));
    ASSERT_TRUE(big.resize(kMaxTextFileSize + 1)); // sparse: nothing is written
    FileError error;
    EXPECT_FALSE(ReadRegularFile(big.fileName(), kMaxTextFileSize, &error));
    EXPECT_EQ(error.kind, FileError::Kind::TooLarge);
    EXPECT_TRUE(error.reason().contains(u"16 MiB"_s)) << error.reason().toStdString();
    ASSERT_TRUE(big.resize(kMaxTextFileSize));
    EXPECT_EQ(ReadRegularFile(big.fileName(), kMaxTextFileSize, &error)->size(), kMaxTextFileSize);
    home.writeBytes(u"four"_s, "1234");
    EXPECT_FALSE(ReadRegularFile(home.file(u"four"_s), 3, &error));
    EXPECT_TRUE(error.reason().contains(u"3 バイト"_s)) << error.reason().toStdString();
}

TEST(FileError, ReasonsAreJapaneseFromTheErrorCode)
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

} // namespace
} // namespace zor
