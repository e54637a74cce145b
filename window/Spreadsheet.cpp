// Form1's side of the round trip through spreadsheets: the CSV import, the selection as
// text on the system clipboard and pasted back from it, and values for a selection. The
// core (core/csv, core/selection) decides and writes; here its results reach the controls.

#include "window/Form1.h"

#include "core/compare/ChangeList.h"
#include "core/csv/CsvImport.h"
#include "core/csv/ImportPreview.h"
#include "core/files/ProgramFolder.h"
#include "core/selection/SelectionValues.h"
#include "core/selection/TextClipboard.h"
#include "window/FlexGrid.h"
#include "window/TabStrip.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QScopeGuard>

namespace zor {

namespace {

const QString kImportTitle = QStringLiteral("CSVから読み込む");

// Platforms may hand text back with their own line breaks.
QString WithLineFeeds(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QString ClipboardText() { return QGuiApplication::clipboard()->text(); }

} // namespace

CellSelection Form1::gridSelection() const { return {FGrid1->Row(), FGrid1->Col(), FGrid1->RowSel(), FGrid1->ColSel()}; }

void Form1::putSelectionText(const QString& text)
{
    copiedText_ = text;
    QGuiApplication::clipboard()->setText(text);
}

bool Form1::clipboardTextIsForeign() const
{
    const QString text = ClipboardText();
    return !text.isEmpty() && (!copiedText_ || WithLineFeeds(text) != WithLineFeeds(*copiedText_));
}

void Form1::cellsWritten(const std::optional<CellSelection>& keep)
{
    changesTouched(NewestStepCells(*doc.History, JournalSide::Undo));
    if (!keep) {
        FillGrid(); // on the cell the command left the cursor on
        FGrid1->setFocus();
        return;
    }
    const int top = FGrid1->TopRow();
    const int left = FGrid1->LeftCol();
    session.SetCursor(keep->row, keep->col);
    FillGrid();
    // The same cells stay selected, in the same view, ready for the next command.
    FGrid1->setRowSel(keep->rowSel);
    FGrid1->setColSel(keep->colSel);
    FGrid1->setTopRow(top);
    FGrid1->setLeftCol(left);
    FGrid1->setFocus();
}

void Form1::PasteText_Click()
{
    if (textBoxActive() || !FGrid1->isVisible() || !FGrid1->isEnabled() || FGrid1->Row() < 1)
        return;
    pasteClipboardText();
}

void Form1::pasteClipboardText()
{
    const QString text = ClipboardText();
    if (text.isEmpty()) {
        tellDone(QStringLiteral("クリップボードにテキストがありません"));
        return;
    }
    const auto paste = [&](LargeStep large) {
        return zor::PasteText(doc, shownTable(), gridSelection(), {FGrid1->Rows(), FGrid1->Cols()}, text, scrollPosition(),
                              large);
    };
    Result<ClipboardWrite> done = paste(LargeStep::Refuse);
    if (done && done->write.result == CommitResult::TooLargeToUndo) {
        if (!takeTooLargeStep(QStringLiteral("テキストを貼り付け"), done->write.records))
            return;
        done = paste(LargeStep::Take);
    }
    if (!done) {
        dialogs_->showMessage(this, QStringLiteral("テキストを貼り付け"), done.failure().message(), QMessageBox::Warning);
    } else if (done->write.result == CommitResult::Changed) {
        moveCursor(done->last);
        cellsWritten();
        tellDone(QStringLiteral("%1 個のセルにテキストを貼り付けました").arg(done->write.records));
    }
}

void Form1::SelectionValues_Click()
{
    if (textBoxActive() || !FGrid1->isVisible() || !FGrid1->isEnabled() || FGrid1->Row() < 1)
        return;
    const TableRef tab = shownTable();
    const CellSelection selection = gridSelection();
    std::optional<Result<ValuesWritten>> done;
    dialogs_->askSelectionValues(this, [&](SelectionOperation operation, const QString& text) {
        const auto apply = [&](LargeStep large) {
            switch (operation) {
            case SelectionOperation::Set:
                return SetSelectionValue(doc, tab, selection, text, scrollPosition(), large);
            case SelectionOperation::Add:
                return AddToSelection(doc, tab, selection, text, scrollPosition(), large);
            case SelectionOperation::Scale:
                return ScaleSelection(doc, tab, selection, text, scrollPosition(), large);
            case SelectionOperation::Series:
                break;
            }
            return FillSeries(doc, tab, selection, scrollPosition(), large);
        };
        Result<ValuesWritten> result = apply(LargeStep::Refuse);
        if (result && result->write.result == CommitResult::TooLargeToUndo) {
            if (!takeTooLargeStep(QStringLiteral("選択範囲の値"), result->write.records))
                return QString(); // the user chose to leave the cells as they are
            result = apply(LargeStep::Take);
        }
        // An unreadable text changed nothing: the dialog stays for another.
        if (!result && result.failure().kind == Failure::Kind::BadText)
            return result.failure().message();
        done = result;
        return QString();
    });
    if (!done)
        return;
    if (!*done) {
        dialogs_->showMessage(this, QStringLiteral("選択範囲の値"), done->failure().message(), QMessageBox::Warning);
        return;
    }
    const ValuesWritten& values = **done;
    const QString held = values.held > 0 ? QStringLiteral("%1 個のセルを範囲内に収めました").arg(values.held) : QString();
    switch (values.write.result) {
    case CommitResult::Changed:
        cellsWritten(selection);
        tellDone(QStringLiteral("%1 個のセルの値を変えました").arg(values.write.records)
                 + (held.isEmpty() ? QString() : QStringLiteral("。") + held));
        break;
    case CommitResult::Unchanged:
        tellDone(QStringLiteral("値の変わるセルはありませんでした") + (held.isEmpty() ? QString() : QStringLiteral("（%1）").arg(held)));
        break;
    case CommitResult::TooLargeToUndo: // the user chose to leave the cells as they are
        break;
    }
}

void Form1::ImportCSV_Click()
{
    if (!CommitCellEditor() || Combo1->count() == 0)
        return; // no image read: nothing to read into
    const QString programFolder = ProgramFolderInUse();
    // The export writes into the program folder, so the files are looked for there first.
    const QString folder = dialogs_->folderName(this, QStringLiteral("CSVファイルのあるフォルダ"), programFolder);
    if (folder.isEmpty())
        return;
    CsvImportResult result;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        result = ImportCsv(doc, programFolder, folder);
    }
    const QString notes = result.notes.isEmpty() ? QString() : QStringLiteral("\n注意:\n") + result.notes.join(u'\n');
    if (!result.ok()) {
        dialogs_->showMessage(this, kImportTitle,
                              QStringLiteral("CSVファイルに %1 件の問題が見つかりました。何も変更していません。\n")
                                      .arg(result.problems.items().size())
                                  + result.summary() + notes,
                              QMessageBox::Warning);
        return;
    }
    if (result.changes.empty()) {
        dialogs_->showMessage(this, kImportTitle, QStringLiteral("変更はありません") + notes, QMessageBox::Information);
        return;
    }
    if (!dialogs_->confirmImport(this, PreviewCsvImport(doc, result)))
        return;
    const CellSelection selection = gridSelection();
    Result<WriteResult> written = ApplyCsvImport(doc, result);
    if (written && written->result == CommitResult::TooLargeToUndo) {
        if (!takeTooLargeStep(kImportTitle, written->records))
            return;
        written = ApplyCsvImport(doc, result, LargeStep::Take);
    }
    if (!written) {
        dialogs_->showMessage(this, kImportTitle, written.failure().message(), QMessageBox::Warning);
        return;
    }
    if (written->result != CommitResult::Changed)
        return;
    cellsWritten(FGrid1->isEnabled() ? std::optional(selection) : std::nullopt);
    tellDone(QStringLiteral("CSVから %1 件の変更を読み込みました").arg(written->records));
}

} // namespace zor
