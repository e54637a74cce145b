#include "core/about/ApplicationNames.h"

#include "core/about/Version.h"

#include <QCoreApplication>

namespace zor {

void SetApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("ZOR"));
    QCoreApplication::setApplicationName(QStringLiteral("zor"));
    QCoreApplication::setApplicationVersion(ZorVersion());
}

} // namespace zor
