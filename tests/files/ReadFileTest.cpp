#include "core/files/ReadFile.h"

#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::ProgramFolder;

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

} // namespace
} // namespace zor
