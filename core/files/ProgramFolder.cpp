#include "core/files/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace zor {

namespace {

// Whether folder can take new files.
[[nodiscard]] Result<void> Writable(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return Failure::Of(Failure::Kind::Refused, folder, QStringLiteral("プログラムフォルダ %1 がありません").arg(folder));
    if (!info.isDir())
        return Failure::Of(Failure::Kind::Refused, folder, QStringLiteral("プログラムフォルダ %1 はフォルダではありません").arg(folder));
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return Failure::FromErrno(folder, errno, FileAccess::Write).said(QStringLiteral("プログラムフォルダ %1 に書き込めません").arg(folder));
    return {};
}

} // namespace

ProgramFolderChoice FindProgramFolder(const QString& zorHome, const QString& executableFolder,
                                      const QString& dataFolder)
{
    ProgramFolderChoice choice;
    if (!zorHome.isEmpty()) {
        choice.path = QDir(zorHome).absolutePath();
        choice.source = ProgramFolderSource::Environment;
    } else if (HoldsDefinitions(executableFolder)) {
        choice.path = QDir(executableFolder).absolutePath();
        choice.source = ProgramFolderSource::Executable;
    } else {
        choice.path = QDir(dataFolder).absolutePath();
        choice.source = ProgramFolderSource::UserData;
    }
    return choice;
}

ProgramFolderChoice ChooseProgramFolder(const QString& zorHome, const QString& executableFolder,
                                        const QString& dataFolder)
{
    ProgramFolderChoice choice = FindProgramFolder(zorHome, executableFolder, dataFolder);
    if (choice.source == ProgramFolderSource::UserData) {
        if (const Result<void> made = MakeFolder(choice.path); !made) {
            choice.writable = made.failure().said(QStringLiteral("プログラムフォルダ %1 を作れません").arg(choice.path));
            return choice;
        }
    }
    choice.writable = Writable(choice.path);
    return choice;
}

ProgramFolderChoice ChooseProgramFolder()
{
    return ChooseProgramFolder(qEnvironmentVariable("ZOR_HOME"), QCoreApplication::applicationDirPath(),
                               UserDataFolder());
}

QString ProgramFolder() { return ChooseProgramFolder().path; }

QString ProgramFolderToRead()
{
    return FindProgramFolder(qEnvironmentVariable("ZOR_HOME"), QCoreApplication::applicationDirPath(), UserDataFolder())
        .path;
}

QString ProgramFolderToOpen(const QString& chosen, const QString& openImages, const std::function<QString()>& rule)
{
    if (!chosen.isEmpty())
        return chosen;
    if (!openImages.isEmpty())
        return openImages;
    return rule();
}

QString UserDataFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

bool HoldsDefinitions(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    if (QFileInfo(FindFileIgnoringCase(folder, QStringLiteral("ZOR.ini"))).isFile())
        return true;
    // Name filters match without regard to letter case, as the definitions are matched.
    return !QDir(folder).entryList({QStringLiteral("*.idn"), QStringLiteral("*.sna")}, QDir::Files | QDir::Hidden).isEmpty();
}

Result<void> MakeFolder(const QString& folder)
{
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error)
        return Failure::FromErrno(folder, error.value(), FileAccess::Write);
    return {};
}

QString ZorIniPath(const QString& programFolder) { return JoinPath(programFolder, QStringLiteral("ZOR.ini")); }

QString JoinPath(const QString& folder, const QString& name)
{
    QString joined = folder + u'/' + name;
    joined.replace(u'\\', u'/');
    return QDir::cleanPath(joined);
}

QString FindFileIgnoringCase(const QString& folder, const QString& name)
{
    const QString exact = JoinPath(folder, name);
    if (QFileInfo::exists(exact))
        return exact;
    return FolderListing(folder).find(name);
}

FolderListing::FolderListing(const QString& folder) : folder_(folder)
{
    if (folder.isEmpty())
        return;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    entries_.reserve(entries.size());
    for (const QFileInfo& entry : entries) {
        if (!entry.exists())
            continue; // a dangling link, which no read could open
        const QString name = entry.fileName();
        entries_.insert(name);
        if (entry.isDir())
            continue;
        files_.push_back(name);
        // Of names that differ only in letter case, the first by name wins, as in a sorted listing.
        QString& first = filesByFold_[name.toCaseFolded()];
        if (first.isEmpty() || name < first)
            first = name;
    }
}

QString FolderListing::find(const QString& name) const
{
    if (!entries_.contains(name))
        if (const auto found = filesByFold_.constFind(name.toCaseFolded()); found != filesByFold_.cend())
            return JoinPath(folder_, *found);
    return JoinPath(folder_, name);
}

} // namespace zor
