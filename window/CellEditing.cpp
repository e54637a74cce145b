#include "window/CellEditing.h"

#include "core/document/CellBytes.h"
#include "core/view/Conversions.h"
#include "window/CellCommands.h"
#include "core/view/Grid.h"
#include "window/CellEditor.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/GridState.h"
#include "window/TabStrip.h"
#include "window/ValueViews.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QToolTip>

namespace zor {

CellEditing::CellEditing(Form1& form) : form_(form)
{
    CellEditor* editor = &form.editor();
    connect(editor, &CellEditor::editorKey, this, [this](int key) { form_.runGuarded([&] { editorKey(key); }); });
    connect(editor, &CellEditor::lostFocus, this,
            [this](Qt::FocusReason reason) { form_.runGuarded([&] { lostFocus(reason); }); });
    connect(&form.grid(), &QAbstractItemView::doubleClicked, this, [this] {
        form_.runGuarded([this] {
            if (form_.grid().Col() != 0 && form_.grid().Row() != 0)
                open(13);
        });
    });
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
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;  // shortcuts
    switch (key->key()) {
    case Qt::Key_Delete:
        open(8);
        return true;
    case Qt::Key_F2:
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
    if (grid.Row() < 1 || grid.Col() < 1)
        return;  // no cell under the cursor
    const TableRef table = form_.shownTable();
    const QRect cell(form_.PixelsX(grid.CellLeft()), form_.PixelsY(grid.CellTop()), form_.PixelsX(grid.CellWidth()),
                     form_.PixelsY(grid.CellHeight()));
    if (const std::optional<QString> why = ReadOnlyReason(form_.control().document(), table.tab, table.dataSet, grid.Col(), grid.Row())) {
        QToolTip::showText(grid.mapToGlobal(cell.bottomLeft()), *why, &grid, {}, kRefusedTipMilliseconds);
        return;
    }
    if (key == 32) {
        // Space opens with the cell's text, the caret at the end.
        editor.setText(grid.TextMatrix(grid.Row(), grid.Col()));
        editor.end(false);
    } else if (key > 32 || key < 0) {
        editor.setText(typed.isEmpty() ? QString(QChar(key)) : typed);
        editor.end(false);
    } else if (key == 13) {
        editor.setText(grid.TextMatrix(grid.Row(), grid.Col()));
        editor.selectAll();
    } else if (key == 8) {
        editor.setText(QString());
    } else {
        return;
    }
    editor.setFont(grid.font());
    editor.setGeometry(cell.translated(grid.pos()));
    editor.raise();
    editor.show();
    editor.setFocus(Qt::OtherFocusReason);
    form_.control().session().SetCursor(grid.Row(), grid.Col());
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
    if (!form_.editor().isVisible())
        return true;
    if (!ParseCellText(form_.editor().text())) {
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

QString CellEditing::FormsTip() { return QStringLiteral("この値は使えません。%1 のどれかで入力してください。").arg(CellTextForms()); }

void CellEditing::refuse()
{
    CellEditor& editor = form_.editor();
    editor.setFocus(Qt::OtherFocusReason);
    editor.selectAll();
    QToolTip::showText(editor.mapToGlobal(QPoint(0, editor.height())), FormsTip(), &editor);
}

void CellEditing::lostFocus(Qt::FocusReason reason)
{
    // Another window, a dialog, a menu or the menu bar took the focus: the edit goes on when it comes back.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return;
    CellEditor& editor = form_.editor();
    if (!editor.isVisible() || escaping_)
        return;
    const TableRef table = form_.shownTable();
    const Controller::Committed committed = form_.control().CommitText(table.tab, editor.text(), ScrollOf(form_.grid()));
    const Result<WriteResult>& written = committed.write;
    const QPoint below = editor.mapToGlobal(QPoint(0, editor.height()));
    editor.hide();
    if (!written && written.failure().kind == Failure::Kind::BadText) {
        // Nobody asked for this commit (a click elsewhere, a scroll): the edit goes and the cell keeps its byte.
        QToolTip::showText(below, FormsTip(), &form_.grid(), {}, kRefusedTipMilliseconds);
        return;
    }
    if (!written) {
        form_.cells().tellRefused(written.failure());
    } else if (written->result == CommitResult::Changed) {
        const ViewState& view = form_.control().session().view();
        form_.grid().refreshCell(view.CurrentRow, table.tab == TabIndividual ? 1 : view.CurrentCol);
        form_.views().touched(committed.touched);
    }
}

} // namespace zor
