#pragma once

// Form1: the one window. It owns the document and the session over it for the whole
// run, and the controls and menu items under the names the handlers use. Handlers are named after their
// control and event (Read_Click ...).

#include "core/document/DocumentState.h"
#include "core/edit/Clipboard.h"
#include "core/edit/Journal.h"
#include "core/view/Session.h"
#include "window/Dialogs.h"

#include <QFontMetricsF>
#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QActionGroup;
class QComboBox;
class QDockWidget;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;

namespace zor {

class CellEditor;
class FlexGrid;
class NoteEdit;
class TabStrip;
class ChangesPanel;
class FindBar;
class StatusText;
class ChartDock;
class ValueColours;

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // Without dialogs the window shows real message boxes and file dialogs.
    explicit Form1(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    DocumentState doc;
    // The cell clipboard, which outlives every load.
    const CellClipboard& clipboard() const { return clipboard_; }
    // What the tab and data set changes, the cursors and the note box decide; the handlers move its answers onto the controls.
    Session session{doc};
    int BaseRowHeight = 0; // twips: the grid's rows; the heading row is twice as high

    // Controls, placed in twips in the client area (the central widget).
    FlexGrid* FGrid1 = nullptr;
    TabStrip* Tab1 = nullptr;
    QComboBox* Combo1 = nullptr;
    NoteEdit* Text1 = nullptr;
    QLabel* Label1 = nullptr;
    CellEditor* txtForEdit = nullptr;

    // Menus and their items.
    QMenu* File = nullptr;
    QAction* Read = nullptr;
    QAction* SaveAs = nullptr;
    QAction* Save = nullptr;
    QAction* MakePatch = nullptr;
    QAction* Quit = nullptr;
    QMenu* Edit = nullptr;
    QAction* andou = nullptr;
    QAction* redou = nullptr;
    QAction* cut = nullptr;
    QAction* Cope = nullptr;
    QAction* pest = nullptr;
    QAction* PasteText = nullptr;      // テキストを貼り付け: the system clipboard's text
    QAction* SelectionValues = nullptr; // 選択範囲の値…
    QAction* NewRow = nullptr;
    QAction* DeleteRow = nullptr;
    QMenu* Hyo = nullptr;
    QAction* NotationHex = nullptr;
    QAction* NotationCodeDec = nullptr;
    QAction* NotationDec = nullptr;
    QMenu* Date = nullptr;
    QAction* OpCSV = nullptr;
    QAction* ImportCSV = nullptr;

    // 表示 → 変更一覧 and the dock it opens.
    QAction* ShowChanges = nullptr;
    ChangesPanel* Changes = nullptr;

    // 編集 → 検索, 次を検索, 前を検索 and 移動; the find bar they open, and the status bar's
    // description of the cell under the cursor.
    QAction* Search = nullptr;
    QAction* SearchNext = nullptr;
    QAction* SearchPrevious = nullptr;
    QAction* GoTo = nullptr;
    FindBar* FindBar1 = nullptr;
    StatusText* CellStatus = nullptr;

    // 表示 → 値で色分け, remembered in the user's settings, and 表示 → グラフ with its dock.
    QAction* ColourByValue = nullptr;
    QAction* ShowChart = nullptr;
    ChartDock* Chart = nullptr;
    // ファイル → プログラムフォルダを選ぶ… and 最近使ったファイル, the ヘルプ menu, the empty
    // window's hint, and the program folder in use at the status bar's right.
    QAction* ChooseFolder = nullptr;
    QMenu* RecentMenu = nullptr;
    QAction* ClearRecent = nullptr;
    QMenu* Help = nullptr;
    QAction* OpenSample = nullptr;
    QAction* OpenProgramFolder = nullptr;
    QAction* About = nullptr;
    QLabel* StartHint = nullptr;
    QLabel* ProgramFolderShown = nullptr;

    Dialogs& dialogs() { return *dialogs_; }

    // Size of the client area in twips.
    int ClientWidth() const;
    int ClientHeight() const;
    // Twips to pixels and back for this window's screen.
    int PixelsX(int twips) const;
    int PixelsY(int twips) const;
    int TwipsX(int pixels) const;
    int TwipsY(int pixels) const;

    void Form_Load();
    void Form_Resize();
    void LabelGridHeaders();
    // True when the caller may go on: nothing to save, saved, or the user chose not to save.
    [[nodiscard]] bool ConfirmSave();

    // Opens the image at path as the file read does after its dialog (also for a path
    // given on the command line). False when the file can't be read; the user is told
    // why and the open document stays as it was, so a caller may drop the answer.
    [[nodiscard]] bool OpenRom(const QString& path);
    // The same with programFolder as the image's program folder (empty: the one the user
    // chose, else the open image's, else the rule's), used for its definitions, settings
    // and CSV until another image is opened.
    [[nodiscard]] bool OpenRom(const QString& path, const QString& programFolder);
    // The program folder of the open image; before any, the one the user chose, else the
    // one the rule finds.
    QString ProgramFolderInUse() const;

    // Once the window shows: a program folder that can't take files is told, and the
    // hint how to start shows while it holds no definitions and no image is open.
    void ShowProgramFolderState();
    // Once the window shows: the user's settings file that couldn't be read (see CheckUserSettings).
    void ShowSettingsProblem(const QString& problem);
    // The window's size and place, kept in the user's settings; a place off every screen
    // is not restored.
    void RestoreWindowGeometry();
    void SaveWindowGeometry();
    // What バージョン情報 says.
    QString AboutText() const;

    // The grid and the view.
    void FillGrid();
    void SwitchTab();
    void SaveColumnWidths();
    void SetNotation(int code);
    void SaveTabView();
    void AddDataSetItems();
    void RemoveDataSetItems();
    void SyncNoteText();

    // The cell editor.
    // key as a typed character code (8 Backspace, 13 Enter, 32 Space, above 32 a character,
    // which typed may give as text); other control codes open nothing.
    void OpenCellEditor(int key, const QString& typed = QString());
    void HandleEditorKey(int key);
    void txtForEdit_LostFocus(Qt::FocusReason reason = Qt::OtherFocusReason);
    // Commits an open editor before a command that reads or refills the document. False
    // when its text has none of the accepted forms: the editor stays open with its text
    // selected and a tooltip naming the forms, and the command must not run.
    [[nodiscard]] bool CommitCellEditor();
    // What the tooltip of a refused editor text says.
    static QString EditorFormsTip();
    static constexpr int kRefusedTipMilliseconds = 4000;
    // How long the status bar says what a command did.
    static constexpr int kStatusMessageMilliseconds = 5000;
    // The tab strip's FocusTab: selects a tab by its 0-based position.
    void FocusTab(int position);
    // Shows a cell (grid coordinates; dataSet for tab 1) as the user's own moves would:
    // the tab and data set changes run their handlers, which store the widths, view and
    // note of the place left; the cursor lands on the cell, scrolled into view. False
    // when there is no such cell or the open editor's text can't be stored.
    [[nodiscard]] bool RevealCell(int tab, int dataSet, int row, int col);

    // Control events.
    void FGrid1_DblClick();
    // A right click on a data cell (viewport coordinates): the 編集 menu at the pointer.
    void FGrid1_ContextMenu(const QPoint& at);
    void Tab1_BeforeClick(bool* cancel);
    void Tab1_Click();
    void Combo1_Click();
    void FGrid1_Scroll();
    void FGrid1_EnterCell();
    void Text1_Change();

    // The user's settings keys of the window's place and of the folder the image dialogs
    // start in while no image is open.
    static constexpr char kGeometryKey[] = "window/geometry";
    static constexpr char kFrameKey[] = "window/frame";
    static constexpr char kImageFolderKey[] = "files/lastFolder";
    // The user's settings key of the original a patch was last made from.
    static constexpr char kPatchOriginalKey[] = "patch/original";
    // The user's settings key of 値で色分け.
    static constexpr char kColourByValueKey[] = "view/colourByValue";
    static constexpr int kRecentPathChars = 40;   // average characters a recent entry's path shows at most
    static constexpr int kStatusFolderChars = 28; // the same for the program folder on the status bar
    static constexpr int kChartPaneHeight = 3000; // twips: the chart's first height
    static constexpr int kChangesPaneWidth = 4500; // twips: the change list's first width
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
    // A BPS or IPS patch from an unmodified original to the image as saved.
    void MakePatch_Click();
    void Quit_Click();
    void andou_Click();
    void redou_Click();
    void cut_Click();
    void Cope_Click();
    void pest_Click();
    void NewRow_Click();
    void DeleteRow_Click();
    void NotationHex_Click();
    void NotationCodeDec_Click();
    void NotationDec_Click();
    void OpCSV_Click();
    // The spreadsheet round trip (window/Spreadsheet.cpp).
    void ImportCSV_Click();
    void PasteText_Click();
    void SelectionValues_Click();
    void ShowChanges_Click();
    void Search_Click();
    void SearchNext_Click();
    void SearchPrevious_Click();
    void GoTo_Click();
    void ColourByValue_Click();
    void ShowChart_Click();
    void ClearRecent_Click();
    void OpenSample_Click();
    // Another program folder for the images opened from now on; the open image is read
    // again with it (after the save question).
    void ChooseProgramFolder_Click();
    void OpenProgramFolder_Click();
    void About_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    // One file dropped on the window opens as 読み込む would; anything else is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The table the grid shows.
    TableRef shownTable() const;
    // The document's cursor to a cell of the table shown, where the grid puts it at its next fill.
    void moveCursor(const CellRef& cell);
    CellClipboard clipboard_;
    void createControls();
    void createMenus();
    void placeTwips(QWidget* widget, int left, int top, int width, int height);
    // Text width in twips in the grid's font.
    double measureTwips(const QString& text) const;
    // The same for row labels, fast enough for a table of any size.
    class LabelMeasure {
    public:
        LabelMeasure(const QFont& font, int dpi);
        double operator()(const QString& text);

    private:
        QFontMetricsF metrics_;
        double twipsPerPixel_;
        QHash<char16_t, double> advances_;
    };
    // The index of Combo1 set by code; a change runs Combo1_Click, as a user's choice does.
    void setComboIndex(int index);
    // Insertion (true) or deletion (false) of the battle record under the cursor.
    void rowCommand(bool insert);
    // "ZOR", or "ZOR - " and the open file's name, with "*" while there are unsaved changes.
    void showTitle();
    // The menu items say what applies: the notation items check the notation of the section
    // under the cursor (none, and disabled, without one), the row items need tab 3.
    void showCommandState();
    // Connects a signal to a handler through guarded().
    template <typename Sender, typename Signal, typename Result, typename... Args>
    void connectGuarded(Sender* sender, Signal signal, Result (Form1::*handler)(Args...));
    // Runs a handler so that nothing it throws reaches Qt's event loop.
    template <typename Handler>
    void guarded(Handler&& handler);
    // Runs a handler and reports what it throws; false when it threw.
    template <typename Handler>
    [[nodiscard]] bool caught(Handler&& handler);
    // The title, the menus' state and the status bar, after a handler.
    void showState();
    // guarded() for the handlers defined outside Form1.cpp.
    void runGuarded(const std::function<void()>& handler);
    // Ends an open editor that nobody asked to commit (a scroll, a click elsewhere):
    // readable text is stored, other text dropped with a tooltip at the cell.
    void closeCellEditor();
    // Keeps the editor open on a text it can't store: selected, with the forms as a tooltip.
    void refuseEditorText();
    // What a command did that shows nowhere else, in the status bar for a few seconds.
    void tellDone(const QString& text);
    // Says why a commit, cut or paste changed nothing: a full journal, or the read-only cell it names.
    void tellRefusedChange(const Failure& why);
    // Asks whether a change the history can't keep (question: TooLargeToUndoQuestion) is
    // made all the same; true for yes.
    [[nodiscard]] bool takeTooLargeStep(const QString& title, int records);
    // Undo (true) or redo (false) of one step, with the view brought back to it.
    void takeStep(bool undo);
    // True when txtForEdit or Text1 has the focus: the cell commands leave the cells alone.
    bool textBoxActive() const;
    // The grid's keys and input-method events that open the editor.
    bool gridEvent(QEvent* event);
    ScrollPosition scrollPosition() const;
    // The grid's cursor, first visible cell and column count, for the tab's memory.
    GridPlace gridPlace() const;
    // A settings file that could not be written: told once, after the command that met it.
    void reportWriteError(const QString& error);
    void showWriteErrors();
    // Stores a note edit not yet stored, under the section it was loaded for.
    void storePendingNote();

    // The change list: told the cells a command wrote, or that it must be made anew
    // (battleOnly: only rows were added or deleted).
    void createChangesPanel();
    // Shows or hides a dock pane (the change list beside the tables, the chart under them),
    // the window growing by it within the screen's available area, and shrinking again
    // by as much when it goes.
    void showPane(QDockWidget* pane, bool show, int firstPixels, Qt::Orientation orientation);
    void changesTouched(const std::vector<CellRef>& cells);
    void changesReset(bool battleOnly = false);

    // Navigation (window/Navigation.cpp): the status bar and the find bar; what the status
    // bar says, refreshed after every handler; the next or previous match; a fill's news.
    void createNavigation();
    void refreshNavigation();
    void findNext(bool backwards);
    void tableFilled(int tab);
    // Written cells whose record's class changed: its row label and the find's labels follow at once.
    void labelsTouched(const std::vector<CellRef>& cells);
    // Colour by value and the chart (Form1Views.cpp): told of fills and written cells as the change list is.
    void createValueViews();
    void valuesShown(int tab, int dataSet);
    void valuesTouched(const std::vector<CellRef>& cells);
    void valuesReset();
    void chartRowClicked(int row);
    // The recent files, the help menu, the hint and drops: made after the other menus.
    void createDesktopParts();
    void fillRecentMenu();
    void openRecent(const QString& image, const QString& programFolder);
    // An image opened or saved: into the recent list, and its folder for the dialogs.
    void rememberImage(const QString& path);
    // Where the open and save dialogs start: the open image's folder, else the last one used.
    QString imageDialogFolder() const;
    // The program folder in use at the status bar's right, and the hint while it holds no definitions.
    void showProgramFolder();

    // The spreadsheet round trip (window/Spreadsheet.cpp): the selection as text on the
    // system clipboard, a paste of its text, and after a command wrote cells, the grid,
    // the change list, the colours and the chart told, the cursor where the command left it.
    CellSelection gridSelection() const;
    void putSelectionText(const QString& text);
    bool clipboardTextIsForeign() const;
    void pasteClipboardText();
    void cellsWritten(const std::optional<CellSelection>& keep = std::nullopt);

    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<ValueColours> colours_;
    bool quitting_ = false;  // Quit_Click already asked; the close must not ask again
    bool escaping_ = false;  // Escape is closing the editor: its loss of focus commits nothing
    QActionGroup* notations_ = nullptr; // the three notation items, one checked at most
    QStringList writeErrors_;
    QString titleFile_; // the open file's name; empty before an image is read
    std::optional<QString> copiedText_; // what ZOR last put on the system clipboard
    QString programFolder_; // the open image's program folder; empty before an image is read
    QString chosenFolder_;  // the program folder the user chose; empty before any
    std::map<const QDockWidget*, int> paneGrowth_; // pixels the window grew for each shown pane
};

} // namespace zor
