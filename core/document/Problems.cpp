#include "core/document/Problems.h"

#include <QDir>

namespace zor {

ProblemLog::ProblemLog(QString programFolder) : programFolder_(std::move(programFolder)) {}

void ProblemLog::add(const QString& path, int line, const QString& message)
{
    const QString file = programFolder_.isEmpty() ? path : QDir(programFolder_).relativeFilePath(path);
    items_.push_back({file, line, message});
}

QString ProblemLog::text() const
{
    QString out;
    for (const Problem& p : items_) {
        out += p.file;
        if (p.line > 0)
            out += u':' + QString::number(p.line);
        out += QStringLiteral(": ") + p.message + u'\n';
    }
    return out;
}

} // namespace zor
