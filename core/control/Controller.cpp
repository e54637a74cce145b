#include "core/control/Controller.h"

#include "core/compare/ChangeList.h"
#include "core/document/Problems.h"
#include "core/document/ReadImage.h"
#include "core/edit/EditHistory.h"
#include "core/files/ProgramFolder.h"
#include "core/output/Save.h"
#include "core/view/Grid.h"

#include <QFileInfo>

namespace zor {

namespace {

QString TheRule() { return ProgramFolder(); }

} // namespace

QString Controller::ProgramFolderInUse() const
{
    return programFolder_.isEmpty() ? ProgramFolderToOpen(chosenFolder_, QString(), TheRule) : programFolder_;
}

bool Controller::ReopensWith(const QString& folder) const { return !doc_.RomPath.isEmpty() && folder != programFolder_; }

Result<Controller::Opened> Controller::Open(const QString& path, const QString& programFolder, int tab,
                                            const QString& noteShown)
{
    const Result<QByteArray> image = ReadRomImage(path);
    if (!image)
        return image.failure();
    Opened opened;
    // A note typed for the document that is closing goes to that document's files.
    opened.noteStored = session_.StorePendingNote(noteShown);
    programFolder_ = programFolder.isEmpty() ? ProgramFolderToOpen(chosenFolder_, programFolder_, TheRule) : programFolder;
    LoadDocument(doc_, path, *image, programFolder_);
    const ProblemLog& log = doc_.Problems;
    opened.dataSetItem = session_.Opened(tab);
    if (!log.empty())
        opened.problems = QStringLiteral("読み込みで %1 件の問題が見つかりました。\n").arg(log.items().size()) + log.summary();
    return opened;
}

Result<bool> Controller::Save()
{
    if (!doc_.History->Modified())
        return false;
    if (const Result<void> saved = SaveDocument(doc_); !saved)
        return saved.failure();
    return true;
}

Result<QString> Controller::SaveAs(const QString& path)
{
    if (const Result<void> saved = SaveDocumentAs(doc_, path); !saved)
        return saved.failure();
    return QStringLiteral("「%1」に保存しました").arg(QFileInfo(path).fileName());
}

Result<void> Controller::LeaveTab(int tab, const GridPlace& place, const std::vector<int>& widths)
{
    session_.LeaveTab(tab, place);
    if (widths.empty())
        return {};
    return SaveColumnWidths(doc_, session_.table(tab), widths);
}

Controller::DataSetChosen Controller::ChooseDataSet(int tab, int index, const std::vector<int>& widths)
{
    DataSetChosen chosen;
    // The grid still shows the table left, unless a read, a tab change or a step just replaced it.
    if (session_.BeginDataSetChoice() && !widths.empty())
        chosen.widthsStored = SaveColumnWidths(doc_, session_.table(tab), widths);
    chosen.fill = session_.ChooseDataSet(tab, index);
    return chosen;
}

Controller::NoteToShow Controller::ShowNote(int tab, const GridPlace& place, const QString& noteShown)
{
    NoteToShow shown;
    shown.stored = session_.StorePendingNote(noteShown);
    session_.RememberView(tab, place);
    shown.note = session_.NoteOf(tab);
    return shown;
}

Controller::StepTaken Controller::TakeStep(StepKind kind, int tab, const std::vector<int>& widths)
{
    const bool undo = kind == StepKind::Undo;
    StepTaken taken;
    if ((undo ? doc_.History->UndoCount() : doc_.History->RedoCount()) == 0)
        return taken;
    if (!widths.empty())
        taken.widthsStored = SaveColumnWidths(doc_, session_.table(tab), widths);
    const int shownDataSet = session_.view().CurrentDataSet;
    session_.BeforeStep(tab);
    const StepResult step = undo ? UndoStep(doc_) : RedoStep(doc_);
    if (step.kind != StepResult::Taken)
        return taken;
    const JournalRecord& at = step.oldest;
    taken.taken = true;
    taken.cell = {at.Tab, at.DataSet, at.Col, at.Row};
    taken.scroll = {at.TopRow, at.LeftCol};
    taken.rows = step.rows;
    session_.AfterStep(tab, shownDataSet, taken.cell);
    if (!step.rows)
        taken.touched = NewestStepCells(*doc_.History, undo ? JournalSide::Redo : JournalSide::Undo);
    return taken;
}

int Controller::StepShown(int tab)
{
    session_.SetTab(tab);
    const int item = session_.DataSetItem(session_.view().CurrentTab);
    session_.EndStep();
    return item;
}

Controller::Committed Controller::CommitText(int tab, const QString& text, ScrollPosition scroll, BareDigits hexColumns)
{
    const ViewState& view = session_.view();
    return Touched(CommitCellText(doc_, session_.table(tab).at(view.CurrentCol, view.CurrentRow), text, scroll, hexColumns));
}

Controller::Committed Controller::CommitValue(int tab, std::uint32_t value, ScrollPosition scroll)
{
    const ViewState& view = session_.view();
    return Touched(CommitCellValue(doc_, session_.table(tab).at(view.CurrentCol, view.CurrentRow), value, scroll));
}

Controller::Committed Controller::Touched(Result<WriteResult> write) const
{
    Committed committed{std::move(write), {}};
    if (committed.write && committed.write->result == CommitResult::Changed)
        committed.touched = NewestStepCells(*doc_.History, JournalSide::Undo);
    return committed;
}

Controller::NotationSet Controller::SetNotation(int tab, int row, int col, int code)
{
    const std::optional<CellPlace> cell = session_.CellAt(row, col);
    const Result<NotationChange> change = zor::SetNotation(doc_, session_.table(tab), row, col, code);
    NotationSet set;
    if (change == NotationChange::NoSection || !cell)
        return set;
    set.changed = true;
    if (!change)
        set.written = change.failure();
    session_.SetCursor(row, col);
    // Also when the settings file refused it: the table shows it until the next read.
    set.told = QStringLiteral("セクション「%1」を%2にしました").arg(session_.SectionCaption(*cell), NotationName(code));
    return set;
}

RevealPlan Controller::PlanReveal(int tab, const CellRef& cell) const
{
    return zor::PlanReveal(doc_, session_.table(tab), cell.tab, cell.dataSet, cell.row, cell.col);
}

} // namespace zor
