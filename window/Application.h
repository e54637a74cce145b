#pragma once

// The editor's application object. Handlers catch what they throw themselves; this is
// the backstop for anything else that would otherwise unwind through Qt's event loop
// and end the program with every unsaved edit.

#include <QApplication>

namespace zor {

class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

Q_SIGNALS:
    // An event's handler threw; the event was dropped. Connect it queued: the event may
    // have been a paint, where no dialog may open.
    void failed(const QString& detail);
};

} // namespace zor
