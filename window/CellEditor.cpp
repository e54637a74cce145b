#include "window/CellEditor.h"

#include <QKeyEvent>

namespace zor {

namespace {

bool IsRedoKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Y && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

} // namespace

bool IsListKey(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers held = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_F4 && held == Qt::NoModifier) || (key.key() == Qt::Key_Down && held == Qt::AltModifier);
}

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {}

bool CellEditor::event(QEvent* event)
{
    // Ctrl+Y is the menu's redo; while the editor has the focus it is the text's own.
    if (event->type() == QEvent::ShortcutOverride && IsRedoKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void CellEditor::keyPressEvent(QKeyEvent* event)
{
    if (offersList_ && IsListKey(*event)) {
        event->accept();
        Q_EMIT listRequested();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Down:
        event->accept();
        Q_EMIT editorKey(event->key());
        return;
    default:
        break;
    }
    if (IsRedoKey(event)) {
        redo();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CellEditor::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    Q_EMIT lostFocus(event->reason());
}

} // namespace zor
