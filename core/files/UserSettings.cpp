#include "core/files/UserSettings.h"

#include "core/files/ReadFile.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace zor {

QStringList UserSettingsFiles()
{
    const QString organization = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    QStringList files;
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << QStringLiteral("%1/%2/%3.conf").arg(folder, organization, application)
              << QStringLiteral("%1/%2.conf").arg(folder, organization);
    return files;
}

UserSettingsCheck CheckUserSettings()
{
    UserSettingsCheck check;
    for (const QString& file : UserSettingsFiles()) {
        // Opened without waiting and read only when regular and small: the same read as every file's.
        const Result<QByteArray> read = ReadRegularFile(file, kMaxUserSettingsSize);
        if (read || read.failure().missing())
            continue;
        check.problem = read.failure()
                            .said(QStringLiteral("設定ファイル %1 を読めません").arg(file),
                                  QStringLiteral("既定の設定で始めます。このファイルには書き込まないため、"
                                                 "最近使ったファイルやウィンドウの位置は次の起動まで残りません。"))
                            .message();
        break;
    }
    if (check.problem.isEmpty())
        return check;
    check.standIn = std::make_unique<QTemporaryDir>();
    // Without a temporary folder, a folder that can't exist: nothing is read, writes fail.
    const QString folder = check.standIn->isValid() ? check.standIn->path() : QStringLiteral("/dev/null");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, folder);
    return check;
}

} // namespace zor
