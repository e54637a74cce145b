#include "core/files/ProgramFolder.h"

#include "core/files/FileError.h"

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

// Why folder can't take new files, or empty text.
QString WriteProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("プログラムフォルダ %1 がありません").arg(folder);
    if (!info.isDir())
        return QStringLiteral("プログラムフォルダ %1 はフォルダではありません").arg(folder);
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("プログラムフォルダ %1 に書き込めません（%2）")
            .arg(folder, ErrnoReason(errno, FileAccess::Write));
    return QString();
}

} // namespace

ProgramFolderChoice ChooseProgramFolder(const QString& zorHome, const QString& executableFolder,
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
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(choice.path).toStdString(), error);
        if (error) {
            choice.problem = QStringLiteral("プログラムフォルダ %1 を作れません（%2）")
                                 .arg(choice.path, ErrnoReason(error.value(), FileAccess::Write));
            return choice;
        }
    }
    choice.problem = WriteProblem(choice.path);
    return choice;
}

ProgramFolderChoice ChooseProgramFolder()
{
    return ChooseProgramFolder(qEnvironmentVariable("ZOR_HOME"), QCoreApplication::applicationDirPath(),
                               UserDataFolder());
}

QString ProgramFolder() { return ChooseProgramFolder().path; }

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
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return JoinPath(folder, entry);
    return exact;
}

} // namespace zor
