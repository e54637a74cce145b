#include "core/files/ProgramFolder.h"
#include "core/files/SaveAsName.h"
#include "core/files/UserSettings.h"

#include "tests/support/ModeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// Three folders: ZOR_HOME's, the executable's and the user's data folder (not yet made).
struct Places {
    test::ProgramFolder root;
    QString home = root.file(u"home"_s);
    QString exe = root.file(u"bin"_s);
    QString data = root.file(u"share/ZOR/zor"_s);
    Places()
    {
        QDir().mkpath(home);
        QDir().mkpath(exe);
    }
};

// Why a chosen folder can't be written to; empty when it can.
QString Problem(const ProgramFolderChoice& choice) { return choice.writable ? QString() : choice.writable.failure().message(); }

TEST(ProgramFolderRule, ZorHomeWinsOverEverything)
{
    Places p;
    p.root.writeZorIni(u"m"_s); // nothing in bin yet: the rule must not look there first
    p.root.writeBytes(u"bin/ZOR.ini"_s, "[Option]\r\n");
    const ProgramFolderChoice choice = ChooseProgramFolder(p.home, p.exe, p.data);
    EXPECT_EQ(std::tuple(choice.path, choice.source, Problem(choice)), std::tuple(p.home, ProgramFolderSource::Environment, QString()));
    EXPECT_FALSE(QFileInfo::exists(p.data)); // the data folder is made only when it is chosen

    // A ZOR_HOME that isn't there is used all the same, and reported, not made.
    const ProgramFolderChoice missing = ChooseProgramFolder(p.root.file(u"nowhere"_s), p.exe, p.data);
    EXPECT_TRUE(missing.path == p.root.file(u"nowhere"_s) && Problem(missing).contains(missing.path)) << Problem(missing).toStdString();
    EXPECT_FALSE(QFileInfo::exists(p.root.file(u"nowhere"_s)));
}

TEST(ProgramFolderRule, TheExecutablesFolderWhenItHoldsDefinitions)
{
    const QStringList holders = {u"ZOR.ini"_s, u"zor.INI"_s, u"items.idn"_s, u"ITEMS.SNA"_s};
    for (const QString& name : holders) {
        Places p;
        p.root.writeBytes(u"bin/"_s + name, "x\r\n");
        const ProgramFolderChoice choice = ChooseProgramFolder(QString(), p.exe, p.data);
        EXPECT_EQ(std::tuple(choice.path, choice.source, QFileInfo::exists(p.data)), std::tuple(p.exe, ProgramFolderSource::Executable, false))
            << name.toStdString();
    }
    // A mode folder under it is not a mode's definitions in it; nor is a folder named like one.
    Places p;
    p.root.writeBytes(u"bin/m/items.idn"_s, "x\r\n");
    QDir().mkpath(p.root.file(u"bin/ZOR.ini"_s));
    EXPECT_FALSE(HoldsDefinitions(p.exe));
    EXPECT_EQ(ChooseProgramFolder(QString(), p.exe, p.data).source, ProgramFolderSource::UserData);
}

TEST(ProgramFolderRule, ElseTheUsersDataFolderMadeWhenMissing)
{
    Places p;
    p.root.writeBytes(u"bin/zor"_s, "\x7F" "ELF"); // the programs alone are no definitions
    // Found for reading, it is not made.
    EXPECT_EQ(FindProgramFolder(QString(), p.exe, p.data).path, p.data);
    EXPECT_FALSE(QFileInfo::exists(p.data));
    const ProgramFolderChoice choice = ChooseProgramFolder(QString(), p.exe, p.data);
    EXPECT_EQ(std::tuple(choice.path, choice.source, Problem(choice), QFileInfo(p.data).isDir()),
              std::tuple(p.data, ProgramFolderSource::UserData, QString(), true));
    // Chosen again, it is simply there.
    EXPECT_TRUE(Problem(ChooseProgramFolder(QString(), p.exe, p.data)).isEmpty());

    // A data folder that can't be made (a file stands where a folder of its path must be)
    // is still the choice, with the reason naming it.
    p.root.writeBytes(u"blocked"_s, "file");
    const QString blocked = p.root.file(u"blocked/ZOR/zor"_s);
    const ProgramFolderChoice failed = ChooseProgramFolder(QString(), p.exe, blocked);
    EXPECT_TRUE(failed.path == blocked && Problem(failed).contains(blocked) && Problem(failed).contains(u"作れません"_s))
        << Problem(failed).toStdString();
}

// The exact name wins, even a folder's; then a file whose name differs in letter case only,
// the first by name when there are several; a name that isn't there is folder/name.
TEST(FolderListing, FindsNamesAsFindFileIgnoringCaseDoes)
{
    test::ProgramFolder dir;
    for (const QString& name : {u"exact.ini"_s, u"EXACT.INI"_s, u"Mixed.Sna"_s, u"b.ini"_s, u"B.ini"_s, u"個別データ.SNA"_s})
        dir.writeBytes(name, "x");
    QDir(dir.path()).mkdir(u"Folder.idn"_s);
    const FolderListing listing(dir.path());
    const std::pair<QString, QString> cases[] = {
        {u"exact.ini"_s, u"exact.ini"_s}, {u"EXACT.INI"_s, u"EXACT.INI"_s}, {u"Exact.Ini"_s, u"EXACT.INI"_s},
        {u"mixed.sna"_s, u"Mixed.Sna"_s}, {u"B.INI"_s, u"B.ini"_s}, {u"個別データ.sna"_s, u"個別データ.SNA"_s},
        {u"Folder.idn"_s, u"Folder.idn"_s}, {u"folder.idn"_s, u"folder.idn"_s}, {u"missing.ini"_s, u"missing.ini"_s},
    };
    for (const auto& [name, found] : cases) {
        EXPECT_EQ(listing.find(name), dir.file(found)) << name.toStdString();
        EXPECT_EQ(FindFileIgnoringCase(dir.path(), name), dir.file(found)) << name.toStdString();
    }
    QStringList files = listing.files();
    files.sort();
    EXPECT_EQ(files, (QStringList{u"B.ini"_s, u"EXACT.INI"_s, u"Mixed.Sna"_s, u"b.ini"_s, u"exact.ini"_s, u"個別データ.SNA"_s}));
}

TEST(ProgramFolderToOpen, TheChosenFolderElseTheOpenImagesElseTheRule)
{
    int asked = 0;
    const auto rule = [&] {
        ++asked;
        return u"/rule"_s;
    };
    EXPECT_EQ(ProgramFolderToOpen(u"/c"_s, u"/o"_s, rule), u"/c"_s);
    EXPECT_EQ(ProgramFolderToOpen({}, u"/o"_s, rule), u"/o"_s);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ProgramFolderToOpen({}, {}, rule), u"/rule"_s);
    EXPECT_EQ(asked, 1);
}

TEST(SaveAsName, TwoBeforeTheExtensionBesideTheFile)
{
    // A dot in the folder is no extension, only the last extension counts, a hidden name has
    // none, and the name is never the open file's own.
    for (const auto& [path, name] : {std::pair{u"/r/a.sfc"_s, u"/r/a_2.sfc"_s}, {u"/r/a"_s, u"/r/a_2"_s}, {u"/r.d/a"_s, u"/r.d/a_2"_s},
                                     {u"/r/a.b.smc"_s, u"/r/a.b_2.smc"_s}, {u"/r/.rom"_s, u"/r/.rom_2"_s}, {u"a_2.sfc"_s, u"a_2_2.sfc"_s},
                                     {QString(), QString()}})
        EXPECT_EQ(SaveAsName(path), name) << path.toStdString();
}

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
