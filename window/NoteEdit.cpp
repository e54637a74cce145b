#include "window/NoteEdit.h"

#include "core/view/TabView.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QToolTip>

#include <algorithm>

namespace zor {

NoteEdit::NoteEdit(QWidget* parent) : QPlainTextEdit(parent) {}

QString NoteEdit::Accepted(const QString& text, bool* refused)
{
    QString kept;
    *refused = false;
    for (const QChar c : ToCp932Forms(text)) {
        // A line break is stored as "\n"; every other character must have a CP932 form.
        if (c == u'\n' || c == u'\r' || c == u'\u2029' || FitsCp932(QString(c)))
            kept += c;
        else
            *refused = true;
    }
    return kept;
}

QString NoteEdit::fitting(const QString& text)
{
    bool refused = false;
    const QString kept = Accepted(text, &refused);
    const QTextCursor cursor = textCursor();
    const QString fits = NoteInsertion(document()->characterCount() - 1, cursor.selectionEnd() - cursor.selectionStart(), kept);
    QStringList why;
    if (refused)
        why << QStringLiteral("Shift-JIS（CP932）で保存できない文字は入力できません。");
    if (fits.size() < kept.size())
        why << QStringLiteral("メモは %1 文字までです。").arg(QLocale(QLocale::English).toString(kMaxNoteLength));
    if (!why.isEmpty())
        tellRefused(why.join(u'\n'));
    return fits;
}

void NoteEdit::tellRefused(const QString& why) { QToolTip::showText(mapToGlobal(cursorRect().bottomLeft()), why, this); }

namespace {

bool IsRedoKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Y && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

} // namespace

bool NoteEdit::event(QEvent* event)
{
    // Ctrl+Y is the menu's redo; while the note box has the focus it is the text's own.
    if (event->type() == QEvent::ShortcutOverride && IsRedoKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void NoteEdit::keyPressEvent(QKeyEvent* event)
{
    if (IsRedoKey(event)) {
        redo();
        return;
    }
    // Keys that type nothing, or a control code (Backspace), work as usual; Enter and Tab
    // type a character, which must fit.
    const QString text = event->text();
    const bool control = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    const bool typesOne = text == u"\r" || text == u"\t";
    if (text.isEmpty() || (control && !typesOne)) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const QString kept = fitting(text);
    if (kept == text) {
        QPlainTextEdit::keyPressEvent(event);
    } else if (!kept.isEmpty()) {
        insertPlainText(kept);
        event->accept();
    } else {
        event->accept();
    }
}

void NoteEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString kept = fitting(event->commitString());
    if (kept == event->commitString()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent changed(event->preeditString(), event->attributes());
    changed.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&changed);
}

void NoteEdit::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText())
        insertPlainText(fitting(source->text()));
}

} // namespace zor
