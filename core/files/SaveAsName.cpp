#include "core/files/SaveAsName.h"

#include <QFileInfo>

namespace zor {

QString SaveAsName(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString renamed = dot > 0 ? name.left(dot) + QStringLiteral("_2") + name.mid(dot) : name + QStringLiteral("_2");
    return path.left(path.size() - name.size()) + renamed;
}

} // namespace zor
