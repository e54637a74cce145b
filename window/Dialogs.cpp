#include "window/Dialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace zor {

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        const QString shown = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (description.endsWith(shown))
            description = description.chopped(shown.size()).trimmed();
        QStringList patterns;
        for (const QString& one : pattern.split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = one.trimmed();
            patterns << (trimmed == u"*.*" ? QStringLiteral("*") : trimmed);
        }
        entries << description + QStringLiteral(" (") + patterns.join(u' ') + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QMessageBox::StandardButton QtDialogs::ask(QWidget* parent, const QString& title, const QString& text,
                                           QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void QtDialogs::showMessage(QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtDialogs::openFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), QtFileFilter(filter));
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, title, QString(), QtFileFilter(filter));
}

} // namespace zor
