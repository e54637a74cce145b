#pragma once

// The cell editor's part of the window: which keys and input methods open txtForEdit over
// the cursor's cell and with what text, its own keys, and its commit. A text none of the
// cell's forms read stays in it, selected, with a tooltip naming the forms. A Names cell's
// editor completes its data set's names, and F4 or Alt+Down opens the list of its IDs; a
// Bits cell opens the list of its bits instead of the editor, except for a typed character.
// 編集 → 16進の列は16進で入力 (kept in the user's settings) makes bare digits hexadecimal
// in hexadecimal columns, here and in a text paste; the status bar says so while it is on.

#include "core/control/Controller.h"
#include "core/value/EditorText.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

class QEvent;
class QLabel;
class QRect;

namespace zor {

class CellChoices;
class Form1;

class CellEditing : public QObject {
public:
    explicit CellEditing(Form1& form);

    // The grid's keys and input-method events that open the editor or a list; true when one was taken.
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
    // What the tooltip of a refused editor text says, with the forms its cell takes.
    static QString FormsTip(const QString& forms);
    static constexpr int kRefusedTipMilliseconds = 4000;

    // How bare digits read in a hexadecimal column, as 16進の列は16進で入力 says.
    BareDigits hexColumns() const { return hexColumns_ ? BareDigits::Hexadecimal : BareDigits::Decimal; }
    void HexColumns_Click();
    // The user's settings key of 16進の列は16進で入力.
    static constexpr char kHexColumnsKey[] = "edit/hexColumns";

private:
    // Escape, Enter, Up or Down in the editor.
    void editorKey(int key);
    void lostFocus(Qt::FocusReason reason);
    void refuse();
    // The cell under the grid's cursor, and where it lies in the grid.
    CellRef cursorCell() const;
    // The cell the editor was opened on.
    CellRef editedCell() const;
    QRect cursorRect() const;
    // Says at the cell why the cursor's cell can't be written; false when it can.
    bool refusedAtCursor();
    // Opens the list of the cursor's Names or Bits cell, the ID current chosen in a Names
    // list (the cell's own when none); false when the cell has no list.
    bool openList(std::optional<std::uint32_t> current = std::nullopt);
    // The editor asked for the list: it closes, storing nothing, and the list opens on the ID its text names.
    void editorList();
    // What a commit from the editor or a list did, onto the grid and the views.
    void show(const Controller::Committed& committed);

    Form1& form_;
    CellChoices* choices_ = nullptr;
    QLabel* hexLabel_ = nullptr;
    bool hexColumns_ = false;
    bool escaping_ = false; // Escape is closing the editor: its loss of focus commits nothing
    // The cell's own text when the editor opened with it: left as it was, it stores nothing.
    std::optional<QString> opened_;
};

} // namespace zor
