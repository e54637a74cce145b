#include "core/about/Version.h"

#ifndef ZOR_VERSION
#error "ZOR_VERSION comes from CMake's project() version"
#endif

namespace zor {

QString ZorVersion() { return QStringLiteral(ZOR_VERSION); }

QString VersionLine(const QString& program) { return program + u' ' + ZorVersion(); }

} // namespace zor
