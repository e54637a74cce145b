#include "core/document/Problems.h"

#include <QDir>

namespace zor {

ProblemLog::ProblemLog(QString programFolder) : programFolder_(std::move(programFolder)) {}

namespace {

QString Line(const Problem& p)
{
    QString out = p.file;
    if (p.line > 0)
        out += u':' + QString::number(p.line);
    if (p.field > 0)
        out += u':' + QString::number(p.field);
    return out + QStringLiteral(": ") + p.message + u'\n';
}

} // namespace

void ProblemLog::add(const QString& path, int line, const QString& message) { add(path, line, 0, message); }

void ProblemLog::add(const QString& path, int line, int field, const QString& message)
{
    QString file = path;
    if (!programFolder_.isEmpty()) {
        const QString relative = QDir(programFolder_).relativeFilePath(path);
        if (!relative.startsWith(QStringLiteral("..")))
            file = relative;
    }
    items_.push_back({file, line, message, field});
}

QString ProblemLog::text() const
{
    QString out;
    for (const Problem& p : items_)
        out += Line(p);
    return out;
}

QStringList ProblemLog::lines() const
{
    QStringList out;
    for (const Problem& p : items_)
        out << Line(p).chopped(1);
    return out;
}

QString ProblemLog::summary(int maxLines) const
{
    QString out;
    const int count = static_cast<int>(items_.size());
    for (int i = 0; i < count && i < maxLines; ++i)
        out += Line(items_[static_cast<std::size_t>(i)]);
    if (count > maxLines)
        out += QStringLiteral("ほか %1 件\n").arg(count - maxLines);
    return out;
}

} // namespace zor
