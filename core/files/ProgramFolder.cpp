#include "core/files/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zor {

QString ProgramFolder()
{
    const QString home = qEnvironmentVariable("ZOR_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    return QCoreApplication::applicationDirPath();
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
