#pragma once

// The cell editor's part of the window: which keys and input methods open txtForEdit over
// the cursor's cell and with what text, its own keys, and its commit. A text none of the
// cell's forms read stays in it, selected, with a tooltip naming the forms.

#include <QObject>
#include <QString>

class QEvent;

namespace zor {

class Form1;

class CellEditing : public QObject {
public:
    explicit CellEditing(Form1& form);

    // The grid's keys and input-method events that open the editor; true when one was taken.
    bool gridEvent(QEvent* event);
    // key as a typed character code (8 Backspace, 13 Enter, 32 Space, above 32 a character,
    // which typed may give as text); other control codes open nothing.
    void open(int key, const QString& typed = QString());
    // Commits an open editor before a command that reads or refills the document. False
    // when its text has none of the accepted forms: the editor stays open with its text
    // selected and a tooltip naming the forms, and the command must not run.
    [[nodiscard]] bool commit();
    // Ends an open editor that nobody asked to commit (a scroll, a click elsewhere):
    // readable text is stored, other text dropped with a tooltip at the cell.
    void close();
    // What the tooltip of a refused editor text says.
    static QString FormsTip();
    static constexpr int kRefusedTipMilliseconds = 4000;

private:
    // Escape, Enter, Up or Down in the editor.
    void editorKey(int key);
    void lostFocus(Qt::FocusReason reason);
    void refuse();

    Form1& form_;
    bool escaping_ = false; // Escape is closing the editor: its loss of focus commits nothing
};

} // namespace zor
