#pragma once

// The sequences a window runs over the open document and its view: an undo or redo
// step, a tab or data set change that stores the place left and shows the new one, the
// note of the place shown, an image opened, a save and a save as, a notation change and
// a cell revealed. The window owns one Controller for the run and calls its steps as its
// controls' own events come (a tab change is the tab strip's before-change, then its
// change, then the data set box's choice, then the fill's note); each step returns what
// changed and what to show, and the window moves that onto its controls. No widget here.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/edit/Clipboard.h"
#include "core/edit/Journal.h"
#include "core/files/Failure.h"
#include "core/view/Session.h"
#include "core/view/TabView.h"

#include <QString>

#include <vector>

namespace zor {

class Controller {
public:
    Controller() = default;
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    DocumentState& document() { return doc_; }
    const DocumentState& document() const { return doc_; }
    Session& session() { return session_; }
    const Session& session() const { return session_; }
    // The cell clipboard, which outlives every load.
    CellClipboard& clipboard() { return clipboard_; }
    const CellClipboard& clipboard() const { return clipboard_; }

    // The program folder of the open image; before any, the one the user chose, else the
    // one the rule finds (which may make the user's data folder).
    QString ProgramFolderInUse() const;
    // The user chose folder for the images opened from now on (absolute and clean). True
    // when the open image is to be read again with it: one is open, from another folder.
    bool ReopensWith(const QString& folder) const;
    void ChooseProgramFolder(const QString& folder) { chosenFolder_ = folder; }

    // An image read while tab is shown.
    struct Opened {
        int dataSetItem = 0;   // the item the data set box chooses (Session::Opened)
        QString problems;      // what the read found, as the message says it; empty when nothing
        Result<void> noteStored; // the note typed for the closed document, stored in its files
    };
    // Reads the image at path with programFolder (empty: the chosen one, else the open
    // image's, else the rule's) into the document while tab is shown; noteShown is the
    // note box's text, stored first when it was edited. A file that can't be read changes
    // nothing, the note included; the failure says why.
    [[nodiscard]] Result<Opened> Open(const QString& path, const QString& programFolder, int tab, const QString& noteShown);

    // 上書き保存: false when there was nothing to save. A failure leaves the document
    // modified and says why.
    [[nodiscard]] Result<bool> Save();
    // 名前を付けて保存 to path, which then is the open file. Returns what the status bar says.
    [[nodiscard]] Result<QString> SaveAs(const QString& path);

    // Before the tab strip leaves tab, whose grid is at place and has widths (empty when it
    // shows no table): the view is remembered and the widths stored.
    [[nodiscard]] Result<void> LeaveTab(int tab, const GridPlace& place, const std::vector<int>& widths);
    // After the strip changed to tab: what the tab remembers shows. Returns the item the
    // data set box chooses.
    int EnterTab(int tab) { return session_.EnterTab(tab); }

    // Item index chosen in the data set box while tab is shown and the grid has widths
    // (empty when it shows no table).
    struct DataSetChosen {
        bool fill = false;       // the grid is to show the table chosen; false: none (the mode's name)
        Result<void> widthsStored; // the widths of the table left
    };
    DataSetChosen ChooseDataSet(int tab, int index, const std::vector<int>& widths);

    // After a fill of tab, whose grid is at place: the note box's text (noteShown) is
    // stored when it was edited, the view remembered, and the note of the section under
    // the cursor comes. NoteLoaded follows once the box holds it.
    struct NoteToShow {
        Session::Note note;
        Result<void> stored;
    };
    NoteToShow ShowNote(int tab, const GridPlace& place, const QString& noteShown);
    void NoteLoaded(int tab) { session_.NoteShown(tab); }

    // An undo or redo from the table shown on tab, whose grid has widths.
    enum class StepKind { Undo, Redo };
    struct StepTaken {
        bool taken = false;         // false: nothing to take; nothing else is to be done
        Result<void> widthsStored;  // the widths of the table shown, stored before the step
        CellRef cell;               // where the view goes: the step's tab, data set and cell
        ScrollPosition scroll;      // with the scroll the step was made in
        bool rows = false;          // battle rows were added or deleted
        std::vector<CellRef> touched; // the cells the step wrote; none for a row step
    };
    // The step's place is what its tab remembers when that is another (which the tab change
    // then shows), else the cursor.
    StepTaken TakeStep(StepKind kind, int tab, const std::vector<int>& widths);
    // The step's table shows on tab: returns the data set box's item, which follows
    // without a choice of its own.
    int StepShown(int tab);

    // The editor's text into the cell under the cursor of the table shown on tab, bare
    // digits read in a hexadecimal column as hexColumns says (see CommitCellText).
    struct Committed {
        Result<WriteResult> write;
        std::vector<CellRef> touched; // the cells written when it changed
    };
    Committed CommitText(int tab, const QString& text, ScrollPosition scroll, BareDigits hexColumns = BareDigits::Decimal);
    // A value chosen from a cell's list of names or bits, the same way.
    Committed CommitValue(int tab, std::uint32_t value, ScrollPosition scroll);

    // A notation command on grid cell (row, col) of the table shown on tab.
    struct NotationSet {
        bool changed = false;  // false: the cell lies in no section, and nothing changed
        Result<void> written;  // the settings file refused it; the table shows it until the next read
        QString told;          // what the status bar says
    };
    NotationSet SetNotation(int tab, int row, int col, int code);

    // To show cell of the table shown on tab: see PlanReveal. AimReveal follows once the
    // place left is stored (LeaveTab, or the data set box's choice).
    RevealPlan PlanReveal(int tab, const CellRef& cell) const;
    void AimReveal(const RevealPlan& plan) { session_.AimReveal(plan); }

private:
    // A commit's outcome with the cells it wrote.
    Committed Touched(Result<WriteResult> write) const;

    DocumentState doc_;
    Session session_{doc_};
    CellClipboard clipboard_;
    QString programFolder_; // the open image's program folder; empty before an image is read
    QString chosenFolder_;  // the program folder the user chose; empty before any
};

} // namespace zor
