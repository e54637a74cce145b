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
    EXPECT_EQ(ReadRegularFile(home.file(u"a.bin"_s), 3), QByteArray("a\0b", 3));
    home.writeBytes(u"empty.bin"_s, {});
    EXPECT_EQ(ReadRegularFile(home.file(u"empty.bin"_s), 3), QByteArray());
    // Through a symlink to a regular file.
    ASSERT_TRUE(QFile::link(home.file(u"a.bin"_s), home.file(u"link.bin"_s)));
    EXPECT_EQ(ReadRegularFile(home.file(u"link.bin"_s), 3), QByteArray("a\0b", 3));
}

// A pipe would block an ordinary open, a device would be read without end: both are
// refused before a byte is read.
TEST(ReadFile, RefusesWhatIsNotARegularFile)
{
    ProgramFolder home;
    ASSERT_EQ(mkfifo(QFile::encodeName(home.file(u"pipe"_s)).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, home.file(u"zero"_s)));
    for (const QString& name : {u"pipe"_s, u"zero"_s}) {
        const Result<QByteArray> read = ReadRegularFile(home.file(name), kMaxTextFileSize);
        ASSERT_FALSE(read) << name.toStdString();
        EXPECT_EQ(read.failure().kind, Failure::Kind::NotRegular) << name.toStdString();
        EXPECT_EQ(read.failure().reason(), u"通常のファイルではありません"_s);
        EXPECT_EQ(read.failure().place, home.file(name));
    }
    const Result<QByteArray> folder = ReadRegularFile(home.path(), kMaxTextFileSize);
    const Result<QByteArray> missing = ReadRegularFile(home.file(u"none"_s), kMaxTextFileSize);
    ASSERT_FALSE(folder || missing);
    EXPECT_EQ(std::tuple(folder.failure().reason(), folder.failure().missing(), missing.failure().reason(), missing.failure().missing()),
              std::tuple(u"フォルダです"_s, false, u"ファイルが見つかりません"_s, true));
}

TEST(ReadFile, RefusesAFileOverTheLimitNamingIt)
{
    ProgramFolder home;
    home.writeBytes(u"big.ini"_s, {});
    QFile big(home.file(u"big.ini"_s));
    ASSERT_TRUE(big.resize(kMaxTextFileSize + 1)); // sparse: nothing is written
    const Result<QByteArray> tooLarge = ReadRegularFile(big.fileName(), kMaxTextFileSize);
    ASSERT_FALSE(tooLarge);
    EXPECT_EQ(tooLarge.failure().kind, Failure::Kind::TooLarge);
    EXPECT_TRUE(tooLarge.failure().reason().contains(u"16 MiB"_s)) << tooLarge.failure().reason().toStdString();
    ASSERT_TRUE(big.resize(kMaxTextFileSize));
    EXPECT_EQ(ReadRegularFile(big.fileName(), kMaxTextFileSize)->size(), kMaxTextFileSize);
    home.writeBytes(u"four"_s, "1234");
    const Result<QByteArray> four = ReadRegularFile(home.file(u"four"_s), 3);
    ASSERT_FALSE(four);
    EXPECT_TRUE(four.failure().reason().contains(u"3 バイト"_s)) << four.failure().reason().toStdString();
}

} // namespace
} // namespace zor
