#pragma once

// txtForEdit: the one-line editor laid over the grid's current cell. Enter and Escape
// never reach its text; they, Up and Down go to the window as editor keys. Its loss of
// focus is reported with the reason, since only some focus changes commit the edit.
// Ctrl+Y redoes within its own text, as Ctrl+Z undoes.

#include <QLineEdit>

namespace zor {

class CellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit CellEditor(QWidget* parent = nullptr);

Q_SIGNALS:
    // Escape, Enter, Up or Down (Qt key codes).
    void editorKey(int key);
    void lostFocus(Qt::FocusReason reason);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace zor
