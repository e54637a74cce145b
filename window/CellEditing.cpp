#include "window/CellEditing.h"

#include "core/document/CellBytes.h"
#include "core/view/CellInput.h"
#include "window/CellChoices.h"
#include "window/CellCommands.h"
#include "core/view/Grid.h"
#include "window/CellEditor.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/GridState.h"
#include "window/Menus.h"
#include "window/TabStrip.h"
#include "window/ValueViews.h"

#include <QAction>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>
#include <QToolTip>

namespace zor {

CellEditing::CellEditing(Form1& form) : form_(form)
{
    CellEditor* editor = &form.editor();
    connect(editor, &CellEditor::editorKey, this, [this](int key) { form_.runGuarded([&] { editorKey(key); }); });
    connect(editor, &CellEditor::lostFocus, this,
            [this](Qt::FocusReason reason) { form_.runGuarded([&] { lostFocus(reason); }); });
    connect(editor, &CellEditor::listRequested, this, [this] { form_.runGuarded([this] { editorList(); }); });
    connect(&form.grid(), &QAbstractItemView::doubleClicked, this, [this] {
        form_.runGuarded([this] {
            if (form_.grid().Col() != 0 && form_.grid().Row() != 0 && !(CellTypeOf(form_.control().document(), cursorCell()).Bits && openList()))
                open(13);
        });
    });

    choices_ = new CellChoices(&form);
    choices_->setObjectName(QStringLiteral("CellChoices"));
    choices_->hide();
    connect(choices_, &CellChoices::taken, this, [this](std::uint32_t value) {
        form_.runGuarded([&] { show(form_.control().CommitValue(form_.shownTable().tab, value, ScrollOf(form_.grid()))); });
    });
    connect(choices_, &CellChoices::closed, this, [this] { form_.grid().setFocus(Qt::OtherFocusReason); });

    hexColumns_ = QSettings().value(QLatin1StringView(kHexColumnsKey), false).toBool();
    hexLabel_ = new QLabel(QStringLiteral(u"16進入力"), &form);
    hexLabel_->setObjectName(QStringLiteral("HexColumnsLabel"));
    hexLabel_->setToolTip(QStringLiteral(u"16進の列は16進で入力: 0x を付けない数字を16進数として読みます"));
    form.statusBar()->addPermanentWidget(hexLabel_);
    hexLabel_->setVisible(hexColumns_);
}

void CellEditing::HexColumns_Click()
{
    hexColumns_ = form_.menus().action("HexColumns")->isChecked();
    QSettings().setValue(QLatin1StringView(kHexColumnsKey), hexColumns_);
    hexLabel_->setVisible(hexColumns_);
}

CellRef CellEditing::cursorCell() const { return form_.shownTable().at(form_.grid().Col(), form_.grid().Row()); }

CellRef CellEditing::editedCell() const
{
    const ViewState& view = form_.control().session().view();
    return form_.shownTable().at(view.CurrentCol, view.CurrentRow);
}

QRect CellEditing::cursorRect() const
{
    const FlexGrid& grid = form_.grid();
    return {form_.PixelsX(grid.CellLeft()), form_.PixelsY(grid.CellTop()), form_.PixelsX(grid.CellWidth()), form_.PixelsY(grid.CellHeight())};
}

bool CellEditing::refusedAtCursor()
{
    const CellRef cell = cursorCell();
    const std::optional<QString> why = ReadOnlyReason(form_.control().document(), cell.tab, cell.dataSet, cell.col, cell.row);
    if (why)
        QToolTip::showText(form_.grid().mapToGlobal(cursorRect().bottomLeft()), *why, &form_.grid(), {}, kRefusedTipMilliseconds);
    return why.has_value();
}

bool CellEditing::gridEvent(QEvent* event)
{
    FlexGrid& grid = form_.grid();
    CellEditor& editor = form_.editor();
    if (!grid.isEnabled() || editor.isVisible())
        return false;
    if (event->type() == QEvent::InputMethod) {
        // An input method's composition opens the editor empty and goes on in it.
        auto* input = static_cast<QInputMethodEvent*>(event);
        if (input->preeditString().isEmpty() && input->commitString().isEmpty())
            return false;
        open(32);
        if (!editor.isVisible())
            return false;
        editor.clear();
        QCoreApplication::sendEvent(&editor, event);
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsListKey(*key))
        return openList();
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;  // shortcuts
    // A Bits cell opens its list where another cell opens its text, and Delete clears every bit.
    const bool bits = grid.Row() >= 1 && grid.Col() >= 1 && CellTypeOf(form_.control().document(), cursorCell()).Bits;
    switch (key->key()) {
    case Qt::Key_Delete:
        if (bits) {
            if (!refusedAtCursor())
                show(form_.control().CommitValue(form_.shownTable().tab, 0, ScrollOf(grid)));
        } else {
            open(8);
        }
        return true;
    case Qt::Key_F2:
        if (!bits || !openList())
            open(13);
        return true;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty())
        return false;  // arrows, paging and the like move the cursor
    const char16_t first = text.front().unicode();
    if (first == u'\r' || first == u'\b' || first == u' ') {
        if (first == u'\b' || !bits || !openList())
            open(first);
        return true;
    }
    if (first < 0x20 || first == 0x7F)
        return false;  // other control codes open nothing
    open(first, text);
    return true;
}

void CellEditing::open(int key, const QString& typed)
{
    FlexGrid& grid = form_.grid();
    CellEditor& editor = form_.editor();
    if (grid.Row() < 1 || grid.Col() < 1 || refusedAtCursor())
        return;  // no cell under the cursor, or one that can't be written
    opened_.reset();
    if (key == 32) {
        // Space opens with the cell's text, the caret at the end.
        editor.setText(grid.TextMatrix(grid.Row(), grid.Col()));
        editor.end(false);
        opened_ = editor.text();
    } else if (key > 32 || key < 0) {
        editor.setText(typed.isEmpty() ? QString(QChar(key)) : typed);
        editor.end(false);
    } else if (key == 13) {
        editor.setText(grid.TextMatrix(grid.Row(), grid.Col()));
        editor.selectAll();
        opened_ = editor.text();
    } else if (key == 8) {
        editor.setText(QString());
    } else {
        return;
    }
    // A Names cell completes its names, and its list is a key away.
    const std::vector<NameChoice> names = NameChoices(form_.control().document(), cursorCell());
    // The editor deletes the completer it had, whose parent it is.
    editor.setCompleter(names.empty() ? nullptr : new NameCompleter(names, &editor));
    editor.setOffersList(!names.empty());
    editor.setFont(grid.font());
    editor.setGeometry(cursorRect().translated(grid.pos()));
    editor.raise();
    editor.show();
    editor.setFocus(Qt::OtherFocusReason);
    // What was typed to open it is typed into it: its completions show as for the next key.
    if (editor.completer() && key > 32) {
        editor.completer()->setCompletionPrefix(editor.text());
        editor.completer()->complete();
    }
    form_.control().session().SetCursor(grid.Row(), grid.Col());
}

bool CellEditing::openList(std::optional<std::uint32_t> current)
{
    const FlexGrid& grid = form_.grid();
    if (grid.Row() < 1 || grid.Col() < 1)
        return false;
    const DocumentState& doc = form_.control().document();
    const CellRef cell = cursorCell();
    const std::vector<NameChoice> names = NameChoices(doc, cell);
    const QStringList bits = BitLabels(doc, cell);
    if (names.empty() && bits.empty())
        return false;
    if (refusedAtCursor())
        return true;
    form_.control().session().SetCursor(grid.Row(), grid.Col());
    const QRect at(grid.mapToGlobal(cursorRect().topLeft()), cursorRect().size());
    const std::uint32_t value = CellValueOf(doc, cell).value_or(0);
    if (!names.empty())
        choices_->showNames(names, current.value_or(value), at);
    else
        choices_->showBits(bits, value, at);
    return true;
}

void CellEditing::editorList()
{
    CellEditor& editor = form_.editor();
    const std::optional<std::uint32_t> named =
        opened_ == editor.text() ? std::nullopt : ReadingOf(form_.control().document(), editedCell(), hexColumns()).read(editor.text());
    escaping_ = true;
    form_.grid().setFocus(Qt::OtherFocusReason);
    editor.hide();
    escaping_ = false;
    static_cast<void>(openList(named));
}

void CellEditing::editorKey(int key)
{
    FlexGrid& grid = form_.grid();
    switch (key) {
    case Qt::Key_Escape:
        // Nothing is stored: the loss of focus that follows commits nothing.
        escaping_ = true;
        grid.setFocus(Qt::OtherFocusReason);
        form_.editor().hide();
        escaping_ = false;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        static_cast<void>(commit()); // refused text stays in the editor, which says why
        break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!commit())  // the edit lands in its own cell before the cursor moves
            break;
        const int row = grid.Row();
        if (key == Qt::Key_Up && row > 1) {
            grid.setRow(row - 1);
            if (!grid.RowIsVisible(row - 1))
                grid.setTopRow(grid.TopRow() - 1);
        } else if (key == Qt::Key_Down && row < grid.Rows() - 1) {
            grid.setRow(row + 1);
            if (!grid.RowIsVisible(row + 1))
                grid.setTopRow(grid.TopRow() + 1);
        }
        break;
    }
    default:
        break;
    }
}

bool CellEditing::commit()
{
    const CellEditor& editor = form_.editor();
    if (!editor.isVisible())
        return true;
    if (opened_ != editor.text() && !ReadingOf(form_.control().document(), editedCell(), hexColumns()).read(editor.text())) {
        refuse();
        return false;
    }
    close();
    return true;
}

void CellEditing::close()
{
    if (!form_.editor().isVisible())
        return;
    // The grid takes the focus before the editor hides, so Qt moves it nowhere else.
    form_.grid().setFocus(Qt::OtherFocusReason);
    // Without an active window no focus event comes: commit directly.
    if (form_.editor().isVisible())
        lostFocus(Qt::OtherFocusReason);
}

QString CellEditing::FormsTip(const QString& forms) { return QStringLiteral("この値は使えません。%1 のどれかで入力してください。").arg(forms); }

void CellEditing::refuse()
{
    CellEditor& editor = form_.editor();
    editor.setFocus(Qt::OtherFocusReason);
    editor.selectAll();
    const QString forms = ReadingOf(form_.control().document(), editedCell(), hexColumns()).forms();
    QToolTip::showText(editor.mapToGlobal(QPoint(0, editor.height())), FormsTip(forms), &editor);
}

void CellEditing::lostFocus(Qt::FocusReason reason)
{
    // Another window, a dialog, a menu or the menu bar took the focus: the edit goes on when it comes back.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return;
    CellEditor& editor = form_.editor();
    if (!editor.isVisible() || escaping_)
        return;
    const QPoint below = editor.mapToGlobal(QPoint(0, editor.height()));
    // The cell's own text, left as it was: a name two IDs share must not become the first's.
    if (opened_ == editor.text()) {
        editor.hide();
        return;
    }
    const TableRef table = form_.shownTable();
    const Controller::Committed committed = form_.control().CommitText(table.tab, editor.text(), ScrollOf(form_.grid()), hexColumns());
    const Result<WriteResult>& written = committed.write;
    editor.hide();
    if (!written && written.failure().kind == Failure::Kind::BadText) {
        // Nobody asked for this commit (a click elsewhere, a scroll): the edit goes and the cell keeps its value.
        const QString forms = ReadingOf(form_.control().document(), editedCell(), hexColumns()).forms();
        QToolTip::showText(below, FormsTip(forms), &form_.grid(), {}, kRefusedTipMilliseconds);
        return;
    }
    show(committed);
}

void CellEditing::show(const Controller::Committed& committed)
{
    const Result<WriteResult>& written = committed.write;
    if (!written) {
        form_.cells().tellRefused(written.failure());
    } else if (written->result == CommitResult::Changed) {
        const ViewState& view = form_.control().session().view();
        const TableRef table = form_.shownTable();
        form_.grid().refreshCell(view.CurrentRow, table.tab == TabIndividual ? 1 : view.CurrentCol);
        form_.views().touched(committed.touched);
    }
}

} // namespace zor
