#pragma once

// One file dropped on the window opens as 読み込む would; anything else (several files, a
// folder, no local file) is refused. The text boxes leave a dropped file to the window.

#include <QObject>

namespace zor {

class Form1;

class FileDrop : public QObject {
public:
    explicit FileDrop(Form1& form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1& form_;
};

} // namespace zor
