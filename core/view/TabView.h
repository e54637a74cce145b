#pragma once

// The per-tab view memory, the section notes, the notation commands and the saving of
// column widths: the parts of the tab and data set changes that need no widget.

#include "core/document/CellRef.h"
#include "core/document/DocumentState.h"
#include "core/files/Failure.h"
#include "core/files/Text.h"
#include "core/view/ViewState.h"

#include <QString>

#include <vector>

namespace zor {

// CurrentTab, CurrentDataSet, CurrentCol and CurrentRow from what tab remembers.
void RestoreTabView(ViewState& view, int tab);
// What tab remembers: the data set shown, the cursor and the first visible column and row.
void SaveTabView(ViewState& view, int tab, int col, int row, int leftCol, int topRow);

// Where a tab's note of the section under its remembered cursor lives: section [Text]
// of the table's settings file, key "Section" & the column (tabs 1 and 3) or row (tab 2).
struct NotePlace {
    QString file; // empty when the tab has no table or no section under the cursor
    QString key;
};
NotePlace NotePlaceOf(const DocumentState& doc, const ViewState& view, int tab);

// A note as stored, with every line break (CRLF, LF or a lone CR) written as the two characters "\n".
QString NoteForStore(const QString& shown);
// A stored note as shown: every "\n" becomes a line break.
QString NoteForShow(const QString& stored);

// A note holds at most this many characters (a line break is one), so that a settings
// file of notes stays one that ZOR reads back.
inline constexpr qsizetype kMaxNoteLength = 32767;
// What of inserted fits into a note of noteLength characters whose replaced characters it
// replaces: all of it, or its start up to the limit (a surrogate pair is never split).
QString NoteInsertion(qsizetype noteLength, qsizetype replaced, const QString& inserted);

// The note of the section under tab's remembered cursor, read whole; empty when missing.
QString LoadNote(const DocumentState& doc, const ViewState& view, int tab);
// Stores a note shown in the note box under the section it was loaded for; refused when
// the settings file can't be written.
[[nodiscard]] Result<void> StoreNote(const DocumentState& doc, const ViewState& view, int tab, const QString& shown);

// Writes the widths (by grid column, twips) of a table to [ColWidth]; a width below
// 600 is stored as 600, kKeepStoredWidth not at all. Refused when the file can't be written.
[[nodiscard]] Result<void> SaveColumnWidths(const DocumentState& doc, TableRef table, const std::vector<int>& widths);

// How the window shows a cell as the user's own moves would: a tab change (through the
// tab strip's before-change, which stores the view, widths and note of the place left),
// then on tab 1 a data set change (which stores the widths of the one left), then the
// cursor on the cell, scrolled into view when it is out of it.
struct RevealPlan {
    bool valid = false;          // false when there is no such cell: nothing is to be done
    int tab = 0;
    int dataSet = 0;             // the data set to show on tab 1; 0 on tabs 2 and 3
    int row = 0;                 // the cursor, in grid coordinates (on tab 2 the column is 1)
    int col = 0;
    bool changesTab = false;
    bool changesDataSet = false; // on the tab shown, a data set change
};

// The plan to show cell (row, col) of data set dataSet (tab 1) of tab, while the view shows
// the table shown.
RevealPlan PlanReveal(const DocumentState& doc, TableRef shown, int tab, int dataSet, int row, int col);

// What a plan's target tab remembers becomes the cell: the data set and cursor that a tab
// change (RestoreTabView) or a data set change then shows. Call after the place left is
// stored and before the tab or data set changes.
void AimReveal(ViewState& view, const RevealPlan& plan);

// The outcome of a notation command that failed in nothing.
enum class NotationChange { NoSection, Changed };

// Sets the notation of the section of grid cell (row, col) of a table (the column on tabs 1
// and 3, the row on tab 2) in the document and writes it to the table's settings file at once. Neither
// Modified nor the journals change. NoSection when the cell is on no section; a failure
// when the file could not be written, the document's notation changed all the same.
// Without a mode folder the notation is kept in the document only (Changed).
[[nodiscard]] Result<NotationChange> SetNotation(DocumentState& doc, TableRef table, int row, int col, int code);

} // namespace zor
