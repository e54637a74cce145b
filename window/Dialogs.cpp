#include "window/Dialogs.h"

#include "window/GoToDialog.h"
#include "window/ImportPreview.h"
#include "window/SelectionValuesDialog.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QStringList>

namespace zor {

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        QStringList written;
        QStringList patterns;
        for (const QString& one : pattern.split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = one.trimmed();
            written << trimmed;
            patterns << (trimmed == u"*.*" ? QStringLiteral("*") : trimmed);
        }
        for (const QString& copy : {pattern, written.join(u' ')}) {
            const QString shown = QLatin1Char('(') + copy + QLatin1Char(')');
            if (description.endsWith(shown)) {
                description = description.chopped(shown.size()).trimmed();
                break;
            }
        }
        entries << description + QStringLiteral(" (") + patterns.join(u' ') + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QMessageBox::StandardButton QtDialogs::ask(QWidget* parent, const QString& title, const QString& text,
                                           QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                           const QString& informative)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setInformativeText(informative);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void QtDialogs::showMessage(QWidget* parent, const QString& title, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtDialogs::openFileName(QWidget* parent, const QString& title, const QString& filter, const QString& start)
{
    return QFileDialog::getOpenFileName(parent, title, start, QtFileFilter(filter));
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& title, const QString& filter, const QString& start,
                                QString* chosenFilter)
{
    const QStringList pairs = filter.split(u'|');
    const QStringList shown = QtFileFilter(filter).split(QStringLiteral(";;"));
    QString selected;
    const QString path = QFileDialog::getSaveFileName(parent, title, start, shown.join(QStringLiteral(";;")), &selected);
    if (chosenFilter) {
        // Back from Qt's form to the pair it was made from.
        const qsizetype at = shown.indexOf(selected);
        *chosenFilter = at >= 0 && 2 * at + 1 < pairs.size() ? pairs[2 * at] + u'|' + pairs[2 * at + 1] : QString();
    }
    return path;
}

QString Dialogs::askPlace(QWidget*, const QString&, const QString&, const std::function<QString(const QString&)>&)
{
    return QString();
}

QString QtDialogs::askPlace(QWidget* parent, const QString& title, const QString& prompt,
                            const std::function<QString(const QString&)>& check)
{
    GoToDialog dialog(parent, title, prompt, check);
    return dialog.exec() == QDialog::Accepted ? dialog.field()->text() : QString();
}

QString Dialogs::folderName(QWidget*, const QString&, const QString&) { return QString(); }

bool Dialogs::confirmImport(QWidget*, const ImportPreview&) { return false; }

void Dialogs::askSelectionValues(QWidget*, const std::function<QString(SelectionOperation, const QString&)>&) {}

QString QtDialogs::folderName(QWidget* parent, const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, title, start);
}

bool QtDialogs::confirmImport(QWidget* parent, const ImportPreview& preview)
{
    ImportPreviewDialog dialog(parent, preview);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::askSelectionValues(QWidget* parent, const std::function<QString(SelectionOperation, const QString&)>& apply)
{
    SelectionValuesDialog dialog(parent, apply);
    dialog.exec();
}

} // namespace zor
