#include "window/Spreadsheet.h"

#include "core/csv/CsvExport.h"
#include "core/csv/CsvImport.h"
#include "core/csv/ImportPreview.h"
#include "core/selection/SelectionValues.h"
#include "core/selection/TextClipboard.h"
#include "window/CellCommands.h"
#include "window/CellEditing.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/GridState.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QScopeGuard>

namespace zor {

namespace {

const QString kImportTitle = QStringLiteral("CSVから読み込む");

// Platforms may hand text back with their own line breaks.
QString WithLineFeeds(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QString ClipboardText() { return QGuiApplication::clipboard()->text(); }

// Runs work under the wait cursor, as a command that reads or writes files does.
template <typename Work>
auto Busy(Work&& work)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    return work();
}

} // namespace

void Spreadsheet::putSelectionText(const QString& text)
{
    copiedText_ = text;
    QGuiApplication::clipboard()->setText(text);
}

bool Spreadsheet::clipboardTextIsForeign() const
{
    const QString text = ClipboardText();
    return !text.isEmpty() && (!copiedText_ || WithLineFeeds(text) != WithLineFeeds(*copiedText_));
}

void Spreadsheet::OpCSV_Click()
{
    if (!form_.editing().commit() || form_.dataSets().count() == 0)
        return;  // no image read: no tables
    const QString folder = form_.control().ProgramFolderInUse();
    const CsvExportResult result = Busy([&] { return ExportCsv(form_.control().document(), folder); });
    if (!result.ok()) {
        form_.dialogs().showMessage(&form_, QStringLiteral("CSV で保存"), result.outcome.failure().message(), QMessageBox::Warning);
        return;
    }
    form_.tellDone(QStringLiteral("CSVファイルを %1 に保存しました").arg(QDir::toNativeSeparators(folder)));
    if (!result.notes.isEmpty())
        form_.dialogs().showMessage(&form_, QStringLiteral("CSV で保存"),
                                    QStringLiteral("書き出しました。読めない文字は「?」にしました。\n") + result.notes.join(u'\n'),
                                    QMessageBox::Information);
}

void Spreadsheet::PasteText_Click()
{
    const FlexGrid& grid = form_.grid();
    if (form_.textBoxActive() || !grid.isVisible() || !grid.isEnabled() || grid.Row() < 1)
        return;
    pasteClipboardText();
}

void Spreadsheet::pasteClipboardText()
{
    const QString text = ClipboardText();
    if (text.isEmpty()) {
        form_.tellDone(QStringLiteral("クリップボードにテキストがありません"));
        return;
    }
    const FlexGrid& grid = form_.grid();
    const auto paste = [&](LargeStep large) {
        return zor::PasteText(form_.control().document(), form_.shownTable(), SelectionOf(grid), SizeOf(grid), text,
                              ScrollOf(grid), large, form_.editing().hexColumns());
    };
    Result<ClipboardWrite> done = paste(LargeStep::Refuse);
    if (done && done->write.result == CommitResult::TooLargeToUndo) {
        if (!form_.cells().takeTooLargeStep(QStringLiteral("テキストを貼り付け"), done->write.records))
            return;
        done = paste(LargeStep::Take);
    }
    if (!done) {
        form_.dialogs().showMessage(&form_, QStringLiteral("テキストを貼り付け"), done.failure().message(), QMessageBox::Warning);
    } else if (done->write.result == CommitResult::Changed) {
        form_.control().session().SetCursor(done->last.row, done->last.col);
        form_.cells().written();
        form_.tellDone(QStringLiteral("%1 個のセルにテキストを貼り付けました").arg(done->write.records));
    }
}

void Spreadsheet::SelectionValues_Click()
{
    const FlexGrid& grid = form_.grid();
    if (form_.textBoxActive() || !grid.isVisible() || !grid.isEnabled() || grid.Row() < 1)
        return;
    DocumentState& doc = form_.control().document();
    const TableRef tab = form_.shownTable();
    const CellSelection selection = SelectionOf(grid);
    std::optional<Result<ValuesWritten>> done;
    form_.dialogs().askSelectionValues(&form_, [&](SelectionOperation operation, const QString& text) {
        const auto apply = [&](LargeStep large) {
            switch (operation) {
            case SelectionOperation::Set:
                return SetSelectionValue(doc, tab, selection, text, ScrollOf(grid), large);
            case SelectionOperation::Add:
                return AddToSelection(doc, tab, selection, text, ScrollOf(grid), large);
            case SelectionOperation::Scale:
                return ScaleSelection(doc, tab, selection, text, ScrollOf(grid), large);
            case SelectionOperation::Series:
                break;
            }
            return FillSeries(doc, tab, selection, ScrollOf(grid), large);
        };
        Result<ValuesWritten> result = apply(LargeStep::Refuse);
        if (result && result->write.result == CommitResult::TooLargeToUndo) {
            if (!form_.cells().takeTooLargeStep(QStringLiteral("選択範囲の値"), result->write.records))
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
        form_.dialogs().showMessage(&form_, QStringLiteral("選択範囲の値"), done->failure().message(), QMessageBox::Warning);
        return;
    }
    const ValuesWritten& values = **done;
    const QString held = values.held > 0 ? QStringLiteral("%1 個のセルを範囲内に収めました").arg(values.held) : QString();
    switch (values.write.result) {
    case CommitResult::Changed:
        form_.cells().written(selection);
        form_.tellDone(QStringLiteral("%1 個のセルの値を変えました").arg(values.write.records)
                       + (held.isEmpty() ? QString() : QStringLiteral("。") + held));
        break;
    case CommitResult::Unchanged:
        form_.tellDone(QStringLiteral("値の変わるセルはありませんでした")
                       + (held.isEmpty() ? QString() : QStringLiteral("（%1）").arg(held)));
        break;
    case CommitResult::TooLargeToUndo: // the user chose to leave the cells as they are
        break;
    }
}

void Spreadsheet::ImportCSV_Click()
{
    if (!form_.editing().commit() || form_.dataSets().count() == 0)
        return; // no image read: nothing to read into
    DocumentState& doc = form_.control().document();
    const QString programFolder = form_.control().ProgramFolderInUse();
    // The export writes into the program folder, so the files are looked for there first.
    const QString folder = form_.dialogs().folderName(&form_, QStringLiteral("CSVファイルのあるフォルダ"), programFolder);
    if (folder.isEmpty())
        return;
    const CsvImportResult result = Busy([&] { return ImportCsv(doc, programFolder, folder); });
    const QString notes = result.notes.isEmpty() ? QString() : QStringLiteral("\n注意:\n") + result.notes.join(u'\n');
    if (!result.ok()) {
        form_.dialogs().showMessage(&form_, kImportTitle,
                                    QStringLiteral("CSVファイルに %1 件の問題が見つかりました。何も変更していません。\n")
                                            .arg(result.problems.items().size())
                                        + result.summary() + notes,
                                    QMessageBox::Warning);
        return;
    }
    if (result.changes.empty()) {
        form_.dialogs().showMessage(&form_, kImportTitle, QStringLiteral("変更はありません") + notes, QMessageBox::Information);
        return;
    }
    if (!form_.dialogs().confirmImport(&form_, PreviewCsvImport(doc, result)))
        return;
    const CellSelection selection = SelectionOf(form_.grid());
    Result<WriteResult> written = ApplyCsvImport(doc, result);
    if (written && written->result == CommitResult::TooLargeToUndo) {
        if (!form_.cells().takeTooLargeStep(kImportTitle, written->records))
            return;
        written = ApplyCsvImport(doc, result, LargeStep::Take);
    }
    if (!written) {
        form_.dialogs().showMessage(&form_, kImportTitle, written.failure().message(), QMessageBox::Warning);
        return;
    }
    if (written->result != CommitResult::Changed)
        return;
    form_.cells().written(form_.grid().isEnabled() ? std::optional(selection) : std::nullopt);
    form_.tellDone(QStringLiteral("CSVから %1 件の変更を読み込みました").arg(written->records));
}

} // namespace zor
