// A file dropped on the window opens as 読み込む would; the window's place between runs.

#include "window/Form1.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
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

// Enough of the frame on some screen to take hold of it.
bool OnSomeScreen(const QRect& frame)
{
    const QSize reachable(std::min(frame.width(), 64), std::min(frame.height(), 32));
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(frame);
        if (shared.width() >= reachable.width() && shared.height() >= reachable.height())
            return true;
    }
    return false;
}

} // namespace

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended: the save question must not keep the other program's drag waiting.
    QTimer::singleShot(0, this, [this, path] {
        runGuarded([&] {
            if (CommitCellEditor() && ConfirmSave())
                static_cast<void>(OpenRom(path));
        });
    });
}

void Form1::SaveWindowGeometry()
{
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kFrameKey, frameGeometry());
}

void Form1::RestoreWindowGeometry()
{
    // Qt would pull a window from a screen that has gone onto another, keeping its odd
    // place; such a window starts where a new one does instead.
    QSettings settings;
    const QByteArray saved = settings.value(kGeometryKey).toByteArray();
    if (saved.isEmpty() || !OnSomeScreen(settings.value(kFrameKey).toRect()))
        return;
    const QRect designed = geometry();
    if (!restoreGeometry(saved))
        setGeometry(designed);
}

} // namespace zor
