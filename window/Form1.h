#pragma once

// Form1: the one window. It owns the controller (the document, its session and the cell
// clipboard) for the whole run, the controls under the names the handlers use, and the
// parts that each do one job around them: the menus, the cell editor, the views of values
// beside the grid, navigation, the program folder, help, recent files, drops and the
// spreadsheet round trip. Handlers are named after their control and event (Read_Click
// ...); each calls the core and moves what it returns onto the controls.

#include "core/control/Controller.h"
#include "core/view/Grid.h"
#include "window/Dialogs.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;

namespace zor {

class CellCommands;
class CellEditing;
class CellEditor;
class FileDrop;
class FlexGrid;
class FolderChoice;
class HelpMenu;
class Menus;
class Navigation;
class NoteEdit;
class PatchCommand;
class RecentMenu;
class Spreadsheet;
class TabStrip;
class ValueViews;

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // Without dialogs the window shows real message boxes and file dialogs.
    explicit Form1(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    Controller& control() { return control_; }
    const Controller& control() const { return control_; }
    Dialogs& dialogs() { return *dialogs_; }
    FlexGrid& grid() const { return *FGrid1; }
    TabStrip& tabs() const { return *Tab1; }
    QComboBox& dataSets() const { return *Combo1; }
    NoteEdit& note() const { return *Text1; }
    CellEditor& editor() const { return *txtForEdit; }
    Menus& menus() const { return *menus_; }
    CellEditing& editing() const { return *editing_; }
    CellCommands& cells() const { return *cells_; }
    PatchCommand& patch() const { return *patch_; }
    ValueViews& views() const { return *views_; }
    Navigation& navigation() const { return *navigation_; }
    FolderChoice& folders() const { return *folders_; }
    HelpMenu& help() const { return *help_; }
    Spreadsheet& spreadsheet() const { return *spreadsheet_; }

    // Size of the client area in twips; twips to pixels and back for this window's screen.
    int ClientWidth() const;
    int ClientHeight() const;
    int PixelsX(int twips) const;
    int PixelsY(int twips) const;
    int TwipsX(int pixels) const;
    int TwipsY(int pixels) const;

    void LabelGridHeaders();
    // True when the caller may go on: nothing to save, saved, or the user chose not to save.
    [[nodiscard]] bool ConfirmSave();
    // Opens the image at path as the file read does after its dialog, with programFolder
    // as its program folder (empty: the one the user chose, else the open image's, else
    // the rule's). False when the file can't be read; the user is told why and the open
    // document stays as it was, so a caller may drop the answer.
    [[nodiscard]] bool OpenRom(const QString& path, const QString& programFolder = QString());
    // Once the window shows: the user's settings file that couldn't be read (see CheckUserSettings).
    void ShowSettingsProblem(const QString& problem);

    // Fills the grid with the table of the tab and data set shown, the cursor where the session has it.
    void FillGrid();
    // Shows a cell (grid coordinates; dataSet for tab 1) as the user's own moves would:
    // the tab and data set changes run their handlers, which store the widths, view and
    // note of the place left; the cursor lands on the cell, scrolled into view. False
    // when there is no such cell or the open editor's text can't be stored.
    [[nodiscard]] bool RevealCell(const CellRef& cell);
    // The table the grid shows.
    TableRef shownTable() const;
    // True when txtForEdit or Text1 has the focus: the cell commands leave the cells alone.
    bool textBoxActive() const;
    // What a command did that shows nowhere else, in the status bar for a few seconds.
    void tellDone(const QString& text);
    // Runs a handler so that nothing it throws reaches Qt's event loop, then shows the
    // title, the menus' state and the status bar.
    void runGuarded(const std::function<void()>& handler);

    static constexpr int kStatusMessageMilliseconds = 5000; // how long the status bar says what a command did
    static constexpr int kClientWidth = 8535;   // twips, as designed
    static constexpr int kClientHeight = 7830;
    static constexpr int kTabTop = 1200;          // twips from the client area's top
    static constexpr int kTabBottomMargin = 30;   // below the tab strip's frame
    static constexpr int kGridBelowTabTop = 430;  // the grid's top 360 into the page, its bottom 70 above the frame

public Q_SLOTS:
    // Something a handler threw: the command it ran was cut short; the document stays.
    void reportFailure(const QString& detail);

    void Read_Click();
    void SaveAs_Click();
    // True when nothing is left unsaved afterwards.
    [[nodiscard]] bool Save_Click();
    void Quit_Click();
    void andou_Click();
    void redou_Click();
    void SetNotation(int code);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Control events.
    void Tab1_BeforeClick(bool* cancel);
    void Tab1_Click();
    void Combo1_Click();
    // A right click on a data cell (viewport coordinates): the 編集 menu at the pointer.
    void FGrid1_ContextMenu(const QPoint& at);
    void createControls();
    void placeTwips(QWidget* widget, int left, int top, int width, int height);
    void Form_Load();
    void Form_Resize();
    void SwitchTab();
    void AddDataSetItems();
    void RemoveDataSetItems();
    // The note of the place shown, after the note box's edit is stored.
    void SyncNoteText();
    // Stores a note edit not yet stored, under the section it was loaded for.
    void storePendingNote();
    // The index of Combo1 set by code; a change runs Combo1_Click, as a user's choice does.
    void setComboIndex(int index);
    // Undo (true) or redo (false) of one step, with the view brought back to it.
    void takeStep(bool undo);
    // "ZOR", or "ZOR - " and the open file's name, with "*" while there are unsaved changes.
    void showTitle();
    // Connects a signal to a handler through runGuarded().
    template <typename Sender, typename Signal, typename... Args>
    void connectGuarded(Sender* sender, Signal signal, void (Form1::*handler)(Args...));
    // Runs a handler and reports what it throws; false when it threw.
    template <typename Handler>
    [[nodiscard]] bool caught(Handler&& handler);
    // The title, the menus' state and the status bar, after a handler.
    void showState();
    // A settings file that could not be written: told once, after the command that met it.
    void reportWriteError(const Result<void>& written);
    void showWriteErrors();
    // The grid's widths as the table's settings file should keep them (see WidthsToStore).
    std::vector<int> widthsToStore() const;

    Controller control_;
    std::unique_ptr<Dialogs> dialogs_;
    FlexGrid* FGrid1 = nullptr;
    TabStrip* Tab1 = nullptr;
    QComboBox* Combo1 = nullptr;
    NoteEdit* Text1 = nullptr;
    QLabel* Label1 = nullptr;
    CellEditor* txtForEdit = nullptr;
    std::unique_ptr<CellEditing> editing_;
    std::unique_ptr<CellCommands> cells_;
    std::unique_ptr<PatchCommand> patch_;
    std::unique_ptr<Menus> menus_;
    std::unique_ptr<ValueViews> views_;
    std::unique_ptr<Navigation> navigation_;
    std::unique_ptr<FolderChoice> folders_;
    std::unique_ptr<RecentMenu> recent_;
    std::unique_ptr<HelpMenu> help_;
    std::unique_ptr<FileDrop> drop_;
    std::unique_ptr<Spreadsheet> spreadsheet_;
    int baseRowHeight_ = 0; // twips: the grid's rows; the heading row is twice as high
    FittedWidths fitted_;   // the widths the last fill gave the columns
    bool quitting_ = false; // Quit_Click already asked; the close must not ask again
    QStringList writeErrors_;
    QString titleFile_; // the open file's name; empty before an image is read
};

} // namespace zor
