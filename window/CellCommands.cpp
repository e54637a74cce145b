#include "window/CellCommands.h"

#include "core/compare/ChangeList.h"
#include "core/output/Rows.h"
#include "core/selection/TextClipboard.h"
#include "window/CellEditing.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/GridState.h"
#include "window/Spreadsheet.h"
#include "window/TabStrip.h"
#include "window/ValueViews.h"

namespace zor {

bool CellCommands::ready() const
{
    const FlexGrid& grid = form_.grid();
    return !form_.textBoxActive() && grid.isVisible() && grid.isEnabled() && grid.Row() >= 1;
}

template <typename Write>
bool CellCommands::write(const QString& title, Write&& write)
{
    Result<ClipboardWrite> done = write(LargeStep::Refuse);
    if (done && done->write.result == CommitResult::TooLargeToUndo && takeTooLargeStep(title, done->write.records))
        done = write(LargeStep::Take);
    if (!done)
        tellRefused(done.failure());
    if (!done || done->write.result != CommitResult::Changed)
        return false;
    form_.control().session().SetCursor(done->last.row, done->last.col);
    return true;
}

void CellCommands::Cope_Click()
{
    if (!ready())
        return;
    Controller& control = form_.control();
    const CellSelection selection = SelectionOf(form_.grid());
    const CellRef last = CopyCells(control.clipboard(), control.document(), form_.shownTable(), selection);
    control.session().SetCursor(last.row, last.col);
    form_.spreadsheet().putSelectionText(SelectionText(control.document(), form_.shownTable(), selection));
}

void CellCommands::cut_Click()
{
    if (!ready())
        return;
    Controller& control = form_.control();
    const CellSelection selection = SelectionOf(form_.grid());
    const QString text = SelectionText(control.document(), form_.shownTable(), selection); // as shown before the cut
    if (!write(QStringLiteral("セルを切り取り"), [&](LargeStep large) {
            return CutCells(control.clipboard(), control.document(), form_.shownTable(), selection, ScrollOf(form_.grid()), large);
        }))
        return;
    form_.spreadsheet().putSelectionText(text);
    written();
}

void CellCommands::pest_Click()
{
    if (!ready())
        return;
    // A spreadsheet's copy since ZOR's own last one is what the user means to paste.
    if (form_.spreadsheet().clipboardTextIsForeign()) {
        form_.spreadsheet().pasteClipboardText();
        return;
    }
    Controller& control = form_.control();
    if (control.clipboard().empty())
        return;
    const FlexGrid& grid = form_.grid();
    if (write(QStringLiteral("セルを貼り付け"), [&](LargeStep large) {
            return PasteCells(control.clipboard(), control.document(), form_.shownTable(), grid.Row(), grid.Col(), SizeOf(grid),
                              ScrollOf(grid), large);
        }))
        written();
}

void CellCommands::written(const std::optional<CellSelection>& keep)
{
    FlexGrid& grid = form_.grid();
    form_.views().touched(NewestStepCells(*form_.control().document().History, JournalSide::Undo));
    if (!keep) {
        form_.FillGrid(); // on the cell the command left the cursor on
        grid.setFocus();
        return;
    }
    const int top = grid.TopRow();
    const int left = grid.LeftCol();
    form_.control().session().SetCursor(keep->row, keep->col);
    form_.FillGrid();
    // The same cells stay selected, in the same view, ready for the next command.
    grid.setRowSel(keep->rowSel);
    grid.setColSel(keep->colSel);
    grid.setTopRow(top);
    grid.setLeftCol(left);
    grid.setFocus();
}

bool CellCommands::takeTooLargeStep(const QString& title, int records)
{
    const QString question = TooLargeToUndoQuestion(records, form_.control().document().History->Limit());
    return form_.dialogs().ask(&form_, title, question, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void CellCommands::tellRefused(const Failure& why)
{
    form_.dialogs().showMessage(&form_, QStringLiteral("編集"), why.message(), QMessageBox::Warning);
}

void CellCommands::rowCommand(bool insert)
{
    FlexGrid& grid = form_.grid();
    if (!form_.editing().commit() || !grid.isEnabled())
        return;
    const int tab = form_.tabs().SelectedIndex();
    const int row = grid.Row();
    Session& session = form_.control().session();
    session.SetCursorCol(grid.Col());
    DocumentState& doc = form_.control().document();
    const Result<RowResult> done = insert ? InsertBattleRow(doc, session.view(), tab, row) : DeleteBattleRow(doc, session.view(), tab, row);
    if (!done) {
        form_.dialogs().showMessage(&form_, insert ? QStringLiteral("行を追加する") : QStringLiteral("行を削除する"),
                                    done.failure().message(), QMessageBox::Warning);
        return;
    }
    const RowResult& result = *done;
    if (result.kind != RowResult::Done)
        return;
    session.SetCursor(result.cursorRow, session.view().CurrentCol);
    form_.views().reset(true);
    form_.FillGrid();
    grid.setLeftCol(result.leftCol);
    grid.setTopRow(result.topRow);
    grid.setFocus();
    // An insertion puts the copy at the cursor's place, before the record it copies.
    form_.tellDone((insert ? QStringLiteral("レコード %1 を追加しました") : QStringLiteral("レコード %1 を削除しました")).arg(row));
}

} // namespace zor
