#include "window/Application.h"

#include <exception>

namespace zor {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Q_EMIT failed(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Q_EMIT failed(QString());
    }
    return false;
}

} // namespace zor
