#pragma once

#include <QString>

namespace zor {

// The folder that holds ZOR.ini, the mode folders and the CSV files: ZOR_HOME when
// it is set, else the folder of the running executable. Needs a QCoreApplication.
QString ProgramFolder();

// The ZOR.ini of a program folder.
QString ZorIniPath(const QString& programFolder);

// A path inside a folder, with '/' separators whatever the user wrote.
QString JoinPath(const QString& folder, const QString& name);

// The file called name in folder, matched without regard to letter case as on the
// system the definition files come from; the exact name wins, and a file that does
// not exist yet is folder/name.
QString FindFileIgnoringCase(const QString& folder, const QString& name);

} // namespace zor
