#include "core/files/UserSettings.h"

#include "tests/support/ModeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

bool IsPipe(const QString& path)
{
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// The user's and the system's folders of the test's own: a pipe or a file too large in
// any of the four files QSettings reads is never opened by it nor written over.
TEST(UserSettings, AFileThatCantBeReadAsSettingsIsLeftAloneForTheDefaults)
{
    test::ProgramFolder home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.file(u"user"_s)));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home.file(u"system"_s)));
    QCoreApplication::setOrganizationName(u"ZOR"_s);
    QCoreApplication::setApplicationName(u"zor"_s);
    const QStringList files = UserSettingsFiles();
    ASSERT_EQ(files, (QStringList{home.file(u"user/ZOR/zor.conf"_s), home.file(u"user/ZOR.conf"_s),
                                  home.file(u"system/ZOR/zor.conf"_s), home.file(u"system/ZOR.conf"_s)}));
    ASSERT_TRUE(QDir().mkpath(home.file(u"user/ZOR"_s)) && QDir().mkpath(home.file(u"system/ZOR"_s)));

    // Missing or a small regular file: QSettings reads them as usual.
    home.writeBytes(u"user/ZOR/zor.conf"_s, "[General]\nkept=1\n");
    EXPECT_TRUE(CheckUserSettings().problem.isEmpty());
    EXPECT_EQ(QSettings().value(u"kept"_s).toInt(), 1);

    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        for (const bool pipe : {true, false}) {
            QFile::remove(file);
            if (pipe) {
                ASSERT_EQ(mkfifo(QFile::encodeName(file).constData(), 0644), 0);
            } else {
                QFile large(file);
                ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(kMaxUserSettingsSize + 1));
            }
            const UserSettingsCheck check = CheckUserSettings();
            EXPECT_TRUE(check.problem.contains(file)) << check.problem.toStdString();
            EXPECT_TRUE(check.problem.contains(pipe ? u"通常のファイルではありません"_s : u"1 MiB"_s)) << check.problem.toStdString();
            {
                QSettings settings; // would wait forever on the pipe
                EXPECT_FALSE(settings.contains(u"kept"_s));
                settings.setValue(u"new"_s, 2);
            }
            EXPECT_EQ(QSettings().value(u"new"_s).toInt(), 2);
            EXPECT_TRUE(pipe ? IsPipe(file) : QFileInfo(file).size() == kMaxUserSettingsSize + 1);
            QFile::remove(file);
        }
    }
}

} // namespace
} // namespace zor
