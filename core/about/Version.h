#pragma once

// What ZOR says of itself: its version, set once in CMake's project(), and its licence.

#include <QString>

namespace zor {

inline constexpr char kLicense[] = "GPL-3.0-or-later";

// "1.2.3", as the build was configured.
QString ZorVersion();

// The line --version prints: the program's name and the version, "zor-cli 1.2.3".
QString VersionLine(const QString& program);

} // namespace zor
