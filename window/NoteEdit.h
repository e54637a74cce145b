#pragma once

// Text1: the note box. Notes are stored in CP932 settings files, so what is typed,
// composed or pasted first takes the forms CP932 holds (〜 becomes ～ and so on), and a
// character CP932 can't hold is not inserted; nor is anything past a note's 32,767
// characters. A tooltip says why.

#include <QPlainTextEdit>

namespace zor {

class NoteEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NoteEdit(QWidget* parent = nullptr);

    // What of text may go into the box: the CP932 forms, without the characters CP932
    // can't hold; *refused tells whether any was left out.
    static QString Accepted(const QString& text, bool* refused);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // What of text may go in at the cursor, replacing the selection: Accepted(), up to the
    // note's limit. The tooltip says what was left out.
    QString fitting(const QString& text);
    void tellRefused(const QString& why);
};

} // namespace zor
