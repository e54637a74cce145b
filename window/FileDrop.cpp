#include "window/FileDrop.h"

#include "window/CellEditing.h"
#include "window/CellEditor.h"
#include "window/Form1.h"
#include "window/NoteEdit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace zor {

namespace {

// The one local file a drop carries; empty for several files, a folder, or no file at all.
QString DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    const QString path = urls.first().toLocalFile();
    return QFileInfo(path).isDir() ? QString() : path;
}

} // namespace

FileDrop::FileDrop(Form1& form) : form_(form)
{
    form.setAcceptDrops(true);
    form.installEventFilter(this);
    // The text boxes would take a dropped file's path as text; the window opens it instead.
    form.note().setAcceptDrops(false);
    form.editor().setAcceptDrops(false);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &form_ || (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop))
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = DroppedFile(drop->mimeData());
    if (path.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::DragEnter)
        return true;
    // After the drop has ended: the save question must not keep the other program's drag waiting.
    QTimer::singleShot(0, this, [this, path] {
        form_.runGuarded([&] {
            if (form_.editing().commit() && form_.ConfirmSave())
                static_cast<void>(form_.OpenRom(path));
        });
    });
    return true;
}

} // namespace zor
