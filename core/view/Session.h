#pragma once

// The view of the open document that needs no widget: what a tab or data set change
// shows, when the column widths of the table left are stored, which note the note box
// holds and whether it was edited, and which cell a grid cell is. The window owns one
// for the run, over its document, asks it, and moves the answers onto its controls.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/files/Failure.h"
#include "core/view/TabView.h"
#include "core/view/ViewState.h"

#include <QString>

#include <optional>

namespace zor {

// A data cell of a table as the tables number things.
struct CellPlace {
    int tab = 0;
    int dataSet = 0; // the data set on tab 1; 0 on tabs 2 and 3
    int section = 0; // the column on tabs 1 and 3; on tab 2 each entry is a section
    int item = 0;    // the ID number (from 0) on tab 1, the entry on tab 2, the record on tab 3
    friend bool operator==(const CellPlace&, const CellPlace&) = default;
};

// A cell of the grid (a data cell of its table) as the tables number it.
CellPlace PlaceOf(const CellRef& cell);

// Where the grid is as it stands, in grid coordinates, for the tab's memory.
struct GridPlace {
    int col = 0;
    int row = 0;
    int leftCol = 0;
    int topRow = 0;
    int cols = 1; // the label column included
};

class Session {
public:
    explicit Session(DocumentState& doc) : doc_(doc) {}

    const DocumentState& doc() const { return doc_; }
    // The cursor, the tab and data set shown and each tab's memory: this session's alone.
    const ViewState& view() const { return view_; }
    // The table the view shows on tab (the current data set's on tab 1).
    TableRef table(int tab) const { return view_.table(tab); }
    // The cursor moved to grid cell (row, col) of the table shown.
    void SetCursor(int row, int col)
    {
        view_.CurrentRow = row;
        view_.CurrentCol = col;
    }
    void SetCursorCol(int col) { view_.CurrentCol = col; }
    // The tab strip shows tab.
    void SetTab(int tab) { view_.CurrentTab = tab; }
    // A cell is to be shown (see PlanReveal): what its tab remembers, or the cursor, becomes it.
    void AimReveal(const RevealPlan& plan) { zor::AimReveal(view_, plan); }

    // After an image was read into the document while tab is shown: the tab shows what
    // the new document remembers, and nothing of the closed one is pending (its note was
    // stored before the read). Returns the item the data set box chooses: on tab 1 the
    // data set to show, whose widths nobody stores since the grid holds the old table;
    // elsewhere 0, the mode's name.
    int Opened(int tab);

    // The view of tab as the grid shows it, kept in the tab's memory. A table without
    // rows has no cursor, yet its columns are sections: the remembered one stays under it.
    void RememberView(int tab, const GridPlace& grid);
    // Before the tab strip leaves tab: its view is remembered, and the data set choice the
    // change makes must not store widths (the caller stores the ones of the table left).
    void LeaveTab(int tab, const GridPlace& grid);
    // After the strip changed to tab: what it remembers becomes current (on tab 1 a data set
    // the mode no longer has falls back to the first). Returns the item the data set box
    // chooses: the data set on tab 1, 0 elsewhere.
    int EnterTab(int tab);

    // A choice in the data set box begins: true when the widths of the table the grid
    // still shows are to be stored first, false just after a read, a tab change or an
    // undo or redo, when the grid shows a table the current data set is not.
    bool BeginDataSetChoice();
    // The choice of item index on tab: true when the grid is to show a table (on tab 1 the
    // data set index becomes current), false when the mode's name was chosen there.
    bool ChooseDataSet(int tab, int index);
    // Before an undo or redo from shownTab: the data set shown is the one tab 1 returns to,
    // and the data set choice a tab change then makes stores no widths.
    void BeforeStep(int shownTab);
    // After a step taken from shownTab, which showed shownDataSet: the cursor goes to the
    // step's cell. When that lies on another tab, the tab remembers it, since a tab change
    // shows what the tab remembers, and the cursor goes back to the table shown, which the
    // change stores as the place left. True when the step's tab is another.
    bool AfterStep(int shownTab, int shownDataSet, const CellRef& stepCell);
    // The step's table is shown and the data set box names it: the next choice in the box
    // stores the widths of the table it leaves again.
    void EndStep() { justLoaded_ = false; }
    // The item of the data set box for the table of tab: the current data set on tab 1, 0 elsewhere.
    int DataSetItem(int tab) const;

    // The note box's text was changed, by the user or by a load.
    void NoteEdited() { noteEdited_ = true; }
    bool NotePending() const { return noteEdited_; }
    // Stores the note box's text, when it was edited since its load, under the tab and
    // section it was loaded for; then nothing is pending. Refused when the settings file
    // can't be written.
    [[nodiscard]] Result<void> StorePendingNote(const QString& shown);
    // The note of the section under tab's remembered cursor; editable is false when the
    // table has no section there, so that no note can be written.
    struct Note {
        QString text;
        bool editable = false;
    };
    Note NoteOf(int tab) const;
    // The note box now holds tab's note as loaded, unedited.
    void NoteShown(int tab);

    // The cell that grid cell (row, col) of the table shown (the current tab and data set)
    // is; nullopt for a heading, a label or a place outside the table.
    std::optional<CellPlace> CellAt(int row, int col) const;
    // The notation the section of grid cell (row, col) shows in: NotationHex, NotationUnsigned
    // or NotationSigned; nullopt when the cell lies in no section.
    std::optional<int> NotationAt(int row, int col) const;
    // The caption of a cell's section: its heading, or on tab 2 the entry's name.
    QString SectionCaption(const CellPlace& cell) const;
    // Whether battle rows can be added or deleted: an image is open and tab 3 shows.
    bool RowCommandsApply() const;

private:
    DocumentState& doc_;
    ViewState view_;
    bool justLoaded_ = false; // the next data set choice stores no widths
    bool noteEdited_ = false; // the note box changed since its note was loaded
    int noteTab_ = 0;         // the tab whose section note the note box holds; 0 before any
};

} // namespace zor
