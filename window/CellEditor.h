#pragma once

// txtForEdit: the one-line editor laid over the grid's current cell. Enter and Escape
// never reach its text; they, Up and Down go to the window as editor keys. Its loss of
// focus is reported with the reason, since only some focus changes commit the edit.
// Ctrl+Y redoes within its own text, as Ctrl+Z undoes. Over a cell that has a list, F4 and
// Alt+Down ask for the list.

#include <QLineEdit>

class QKeyEvent;

namespace zor {

// F4, or Alt+Down: the keys that open a cell's list.
bool IsListKey(const QKeyEvent& key);

class CellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit CellEditor(QWidget* parent = nullptr);

    // Whether the cell under the editor has a list that F4 and Alt+Down open.
    void setOffersList(bool offers) { offersList_ = offers; }

Q_SIGNALS:
    // Escape, Enter, Up or Down (Qt key codes).
    void editorKey(int key);
    void lostFocus(Qt::FocusReason reason);
    void listRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool offersList_ = false;
};

} // namespace zor
