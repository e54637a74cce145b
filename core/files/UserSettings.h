#pragma once

// The user's own settings (recent files, the window's place) are QSettings' files. Qt reads
// them whole when the first QSettings is made, waiting forever on a named pipe and taking
// any size, so they are looked at first, as every file ZOR reads.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace zor {

// Far more than recent files and a window's place ever take.
inline constexpr qint64 kMaxUserSettingsSize = 1024 * 1024;

// The files a default QSettings reads for the application's organization and name:
// ORG/APP.conf, then ORG.conf, in each folder of GenericConfigLocation (the user's first).
QStringList UserSettingsFiles();

struct UserSettingsCheck {
    QString problem; // empty when every one of the files that exists can be read as settings
    std::unique_ptr<QTemporaryDir> standIn; // with a problem: where QSettings reads and writes instead
};

// Checks UserSettingsFiles(); call it before the first QSettings is made. When one that
// exists isn't a regular file of at most kMaxUserSettingsSize, or can't be read, every
// QSettings made afterwards reads and writes an empty folder of its own instead (while the
// result lives), so the program starts with the defaults and that file is never opened by
// QSettings nor written over; problem names the file and says so, in Japanese.
UserSettingsCheck CheckUserSettings();

} // namespace zor
