#include "core/files/Failure.h"
#include "core/files/ProgramFolder.h"
#include "core/files/ReadFile.h"
#include "core/files/SaveAsName.h"
#include "core/files/SaveFile.h"
#include "core/files/UserSettings.h"

#include "tests/support/ModeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

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

TEST(Failure, MessagesNameTheStepTheJapaneseReasonAndWhatWasLeft)
{
    const Failure full = Failure::FromErrno(u"/a.rom"_s, ENOSPC, FileAccess::Write);
    EXPECT_EQ(full.said(u"/a.rom に書き込めません"_s, u"ファイルは元のままです。"_s).message(),
              u"/a.rom に書き込めません（ディスクの空きが足りません）。ファイルは元のままです。"_s);
    EXPECT_EQ(full.message(), u"ディスクの空きが足りません。"_s);
    EXPECT_EQ(full.said(u"/a.rom を保存できません。"_s).message(), u"/a.rom を保存できません。ディスクの空きが足りません。"_s);
    EXPECT_EQ(std::pair(Failure::FromErrno(u"x"_s, ENOENT, FileAccess::Read).missing(), full.missing()), std::pair(true, false));

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

// A regular file is read whole, also through a link, up to the limit; a pipe would block an open and a device never
// end: both are refused before a byte is read, as are folders, missing files and files over the limit, naming it.
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
    for (const Case& c : std::vector<Case>{{u"a.bin"_s, 3, QByteArray("a\0b", 3)}, {u"empty.bin"_s, 3, QByteArray()},
                                           {u"link.bin"_s, 3, QByteArray("a\0b", 3)},
                                           {u"a.bin"_s, 2, {}, u"ファイルが大きすぎます（上限は 2 バイト）"_s},
                                           {u"limit"_s, kMaxTextFileSize, QByteArray(kMaxTextFileSize, '\0')},
                                           {u"over"_s, kMaxTextFileSize, {}, u"ファイルが大きすぎます（上限は 16 MiB）"_s},
                                           {u"pipe"_s, 3, {}, u"通常のファイルではありません"_s}, {u"zero"_s, 3, {}, u"通常のファイルではありません"_s},
                                           {QString(), 3, {}, u"フォルダです"_s}, {u"none"_s, 3, {}, u"ファイルが見つかりません"_s, true}}) {
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

QString Reason(const Result<void>& written) { return written ? QString() : written.failure().reason(); }

// The permission bits, or the kind of file, of path itself.
mode_t Mode(const QString& path, mode_t mask = 07777)
{
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & mask : 0;
}

// The bytes go to a temporary file beside the target, named after it; a writer never committed takes it with it.
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
        EXPECT_EQ(std::pair(QFile(temporary.filePath()).size(), home.readBytes(u"t.bin"_s)), std::pair(qint64{9}, QByteArray("old")));
        if (committed) {
            ASSERT_TRUE(file.commit());
            EXPECT_TRUE(file.temporaryPath().isEmpty());
        }
    }
    EXPECT_EQ(std::pair(home.readBytes(u"t.bin"_s), Files(home)), std::pair(QByteArray("new bytes"), QStringList{u"t.bin"_s}));
    EXPECT_FALSE(AtomicFile(home.file(u"t.bin"_s)).commit());
}

// A file written over keeps its permissions, a new one gets 0666 less the umask; a link is written through, or replaced
// as a name when told; a pipe, or a link to one, is never replaced by a regular file.
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

    // A read-only file in a writable folder, written by a child that has given up root, as permissions don't stop root.
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
    EXPECT_EQ(std::pair(home.readBytes(u"locked.bin"_s), Files(home)), std::pair(QByteArray("old"), QStringList{u"locked.bin"_s}));
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

QString Problem
(const ProgramFolderChoice& choice) { return choice.writable ? QString() : choice.writable.failure().message(); }

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

    // A data folder that can't be made (a file stands in its path) is still the choice, with the reason naming it.
    p.root.writeBytes(u"blocked"_s, "file");
    const QString blocked = p.root.file(u"blocked/ZOR/zor"_s);
    const ProgramFolderChoice failed = ChooseProgramFolder(QString(), p.exe, blocked);
    EXPECT_TRUE(failed.path == blocked && Problem(failed).contains(blocked) && Problem(failed).contains(u"作れません"_s))
        << Problem(failed).toStdString();
}

// The exact name wins, even a folder's; then one differing in case only, the first by name; else folder/name.
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
        {u"Folder.idn"_s, u"Folder.idn"_s}, {u"folder.idn"_s, u"folder.idn"_s}, {u"missing.ini"_s, u"missing.ini"_s}};
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
    EXPECT_EQ(std::pair(ProgramFolderToOpen(u"/c"_s, u"/o"_s, rule), ProgramFolderToOpen({}, u"/o"_s, rule)), std::pair(u"/c"_s, u"/o"_s));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ProgramFolderToOpen({}, {}, rule), u"/rule"_s);
    EXPECT_EQ(asked, 1);
}

TEST(SaveAsName, TwoBeforeTheExtensionBesideTheFile)
{
    // A dot in the folder is no extension, only the last counts, a hidden name has none, and it is never the file's own.
    for (const auto& [path, name] : {std::pair{u"/r/a.sfc"_s, u"/r/a_2.sfc"_s}, {u"/r/a"_s, u"/r/a_2"_s}, {u"/r.d/a"_s, u"/r.d/a_2"_s},
                                     {u"/r/a.b.smc"_s, u"/r/a.b_2.smc"_s}, {u"/r/.rom"_s, u"/r/.rom_2"_s}, {u"a_2.sfc"_s, u"a_2_2.sfc"_s},
                                     {QString(), QString()}})
        EXPECT_EQ(SaveAsName(path), name) << path.toStdString();
}

// The user's and the system's folders of the test's own: a pipe or a file too large in any of the four files QSettings
// reads is never opened by it nor written over.
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
            EXPECT_TRUE(pipe ? Mode(file, S_IFMT) == S_IFIFO : QFileInfo(file).size() == kMaxUserSettingsSize + 1);
            QFile::remove(file);
        }
    }
}

} // namespace
} // namespace zor
