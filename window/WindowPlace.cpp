#include "window/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace zor {

namespace {

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

void SaveWindowPlace(const QWidget& window)
{
    QSettings settings;
    settings.setValue(kGeometryKey, window.saveGeometry());
    settings.setValue(kFrameKey, window.frameGeometry());
}

void RestoreWindowPlace(QWidget& window)
{
    // Qt would pull a window from a screen that has gone onto another, keeping its odd
    // place; such a window starts where a new one does instead.
    QSettings settings;
    const QByteArray saved = settings.value(kGeometryKey).toByteArray();
    if (saved.isEmpty() || !OnSomeScreen(settings.value(kFrameKey).toRect()))
        return;
    const QRect designed = window.geometry();
    if (!window.restoreGeometry(saved))
        window.setGeometry(designed);
}

} // namespace zor
