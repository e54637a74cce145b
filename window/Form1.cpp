#include "window/Form1.h"

#include "core/compare/ChangeList.h"
#include "core/edit/EditHistory.h"
#include "core/files/SaveAsName.h"
#include "core/files/Text.h"
#include "core/view/Conversions.h"
#include "core/view/Grid.h"
#include "window/CellCommands.h"
#include "window/CellEditing.h"
#include "window/CellEditor.h"
#include "window/FileDrop.h"
#include "window/FlexGrid.h"
#include "window/FolderChoice.h"
#include "window/GridState.h"
#include "window/HelpMenu.h"
#include "window/Menus.h"
#include "window/Navigation.h"
#include "window/NoteEdit.h"
#include "window/PatchCommand.h"
#include "window/RecentMenu.h"
#include "window/Spreadsheet.h"
#include "window/TabStrip.h"
#include "window/ValueViews.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>

#include <vector>

namespace zor {

namespace {

// Runs work under the wait cursor, as a command that writes files does.
template <typename Work>
auto Busy(Work&& work)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    return work();
}

// Row label widths in twips, fast enough for a table of any size: shaping every label of a
// table of 32,767 IDs would take most of a fill, so a label's width is the sum of its
// characters' advances, which leaves out only kerning; the advances are kept by UTF-16 unit
// in a flat table, since a fill of Names columns also measures every name of a data set.
// Text with surrogate pairs is measured whole.
class LabelMeasure {
public:
    LabelMeasure(const QFont& font, int dpi) : metrics_(font), twipsPerPixel_(double(kTwipsPerInch) / dpi) {}
    double operator()(const QString& text)
    {
        double pixels = 0;
        for (const QChar c : text) {
            if (c.isSurrogate())
                return metrics_.horizontalAdvance(text) * twipsPerPixel_;
            double& advance = advances_[c.unicode()];
            if (advance < 0)
                advance = metrics_.horizontalAdvance(c);
            pixels += advance;
        }
        return pixels * twipsPerPixel_;
    }

private:
    QFontMetricsF metrics_;
    double twipsPerPixel_;
    std::vector<double> advances_ = std::vector<double>(0x10000, -1.0); // by UTF-16 unit; negative: not measured yet
};

} // namespace

template <typename Handler>
bool Form1::caught(Handler&& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        reportFailure(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportFailure(QString());
    }
    return false;
}

void Form1::runGuarded(const std::function<void()>& handler)
{
    static_cast<void>(caught(handler)); // reported there
    showState();
}

void Form1::showState()
{
    // Every change of the document and the view comes through a handler: the title, the
    // menus and the status bar follow it here. The controls' first events come before the parts are made.
    showTitle();
    if (menus_)
        menus_->showState();
    if (navigation_)
        navigation_->refresh();
}

void Form1::showTitle()
{
    setWindowTitle(titleFile_.isEmpty() ? QStringLiteral("ZOR")
                                        : QStringLiteral("ZOR - ") + titleFile_
                                              + (control_.document().History->Modified() ? QStringLiteral("*") : QString()));
}

void Form1::reportFailure(const QString& detail)
{
    QString text = QStringLiteral("思いがけない問題が起きたため、この操作を途中でやめました。開いているデータはそのままです。"
                                  "念のため、別の名前で保存してください。");
    if (!detail.isEmpty())
        text += QStringLiteral("\n（%1）").arg(QuoteText(detail));
    dialogs_->showMessage(this, QStringLiteral("エラー"), text, QMessageBox::Critical);
}

Form1::Form1(std::unique_ptr<Dialogs> dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>())
{
    setObjectName(QStringLiteral("Form1"));
    // Set on the window so every control inherits it; the IPA faces stand in where
    // the first face is not installed.
    QFont font;
    font.setFamilies({QStringLiteral(u"ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPointSize(9);
    setFont(font);

    createControls();
    editing_ = std::make_unique<CellEditing>(*this);
    cells_ = std::make_unique<CellCommands>(*this);
    patch_ = std::make_unique<PatchCommand>(*this);
    menus_ = std::make_unique<Menus>(*this);
    views_ = std::make_unique<ValueViews>(*this);
    navigation_ = std::make_unique<Navigation>(*this);
    folders_ = std::make_unique<FolderChoice>(*this);
    recent_ = std::make_unique<RecentMenu>(*this);
    help_ = std::make_unique<HelpMenu>(*this);
    drop_ = std::make_unique<FileDrop>(*this);
    spreadsheet_ = std::make_unique<Spreadsheet>(*this);
    // Made now, below the client area, which keeps its designed size: a bar made with the
    // first message would take its room from the grid.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    resize(PixelsX(kClientWidth),
           PixelsY(kClientHeight) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    Form_Load();
}

Form1::~Form1() = default;

int Form1::PixelsX(int twips) const { return TwipsToPixels(twips, logicalDpiX()); }
int Form1::PixelsY(int twips) const { return TwipsToPixels(twips, logicalDpiY()); }
int Form1::TwipsX(int pixels) const { return PixelsToTwips(pixels, logicalDpiX()); }
int Form1::TwipsY(int pixels) const { return PixelsToTwips(pixels, logicalDpiY()); }

int Form1::ClientWidth() const { return TwipsX(centralWidget()->width()); }
int Form1::ClientHeight() const { return TwipsY(centralWidget()->height()); }

void Form1::placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(PixelsX(left), PixelsY(top), PixelsX(width), PixelsY(height));
}

template <typename Sender, typename Signal, typename... Args>
void Form1::connectGuarded(Sender* sender, Signal signal, void (Form1::*handler)(Args...))
{
    connect(sender, signal, this, [this, handler](Args... args) { runGuarded([&] { (this->*handler)(args...); }); });
}

void Form1::createControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    client->installEventFilter(this);

    // Design sizes; Form_Resize fits the tab strip, the grid and the note box to the window.
    Tab1 = new TabStrip(client);
    Tab1->setObjectName(QStringLiteral("Tab1"));
    placeTwips(Tab1, 120, kTabTop, kClientWidth - 240, kClientHeight - kTabTop - kTabBottomMargin);

    FGrid1 = new FlexGrid(client);
    FGrid1->setObjectName(QStringLiteral("FGrid1"));
    placeTwips(FGrid1, 240, 1560, kClientWidth - 480, kClientHeight - kTabTop - kTabBottomMargin - kGridBelowTabTop);
    FGrid1->setRows(2);
    FGrid1->setCols(2);
    FGrid1->raise();  // over the tab strip's page, never under it

    Combo1 = new QComboBox(client);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(PixelsX(240), PixelsY(360), PixelsX(1815), Combo1->sizeHint().height());

    Text1 = new NoteEdit(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    placeTwips(Text1, 2400, 0, kClientWidth - 3500, 1000);

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();

    txtForEdit = new CellEditor(client);
    txtForEdit->setObjectName(QStringLiteral("txtForEdit"));
    txtForEdit->setFrame(false);  // it covers the cell exactly, so a frame would hide the text
    txtForEdit->hide();

    // The grid opens the editor itself: no item editors, Tab leaves the grid, and the
    // selection is a rectangle of data cells, never a row or column taken by its header.
    FGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrid1->setTabKeyNavigation(false);
    FGrid1->setAttribute(Qt::WA_InputMethodEnabled);
    FGrid1->horizontalHeader()->setSectionsClickable(false);
    FGrid1->verticalHeader()->setSectionsClickable(false);
    FGrid1->installEventFilter(this);

    connectGuarded(Tab1, &TabStrip::beforeChange, &Form1::Tab1_BeforeClick);
    connectGuarded(Tab1, &QTabBar::currentChanged, &Form1::Tab1_Click);
    connectGuarded(Combo1, &QComboBox::currentIndexChanged, &Form1::Combo1_Click);
    connect(FGrid1, &FlexGrid::scrolled, this, [this] { runGuarded([this] { editing_->close(); }); });
    connectGuarded(FGrid1, &FlexGrid::enterCell, &Form1::SyncNoteText);
    connect(Text1, &QPlainTextEdit::textChanged, this, [this] { runGuarded([this] { control_.session().NoteEdited(); }); });
    FGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connectGuarded(FGrid1, &QWidget::customContextMenuRequested, &Form1::FGrid1_ContextMenu);
    // A wheel over the data set box while the editor is open changes the data set as a command would.
    Combo1->installEventFilter(this);
}

void Form1::Form_Load()
{
    FGrid1->setEnabled(false);
    FGrid1->setColAlignment(0, 0);
    baseRowHeight_ = FGrid1->RowHeight(0);
    FGrid1->setRowHeight(0, 2 * baseRowHeight_);  // room for two-line section captions
    LabelGridHeaders();
    Text1->setEnabled(false);
    setWindowTitle(QStringLiteral("ZOR"));
    menus_->showState();
}

void Form1::LabelGridHeaders()
{
    FGrid1->setTextMatrix(0, 0, QStringLiteral("ID"));
    const int rows = FGrid1->Rows();
    for (int r = 1; r < rows; ++r) {
        const int id = r - 1;
        QString label = QString::number(id, 16).toUpper();
        if (id < 16)
            label.prepend(u'0');
        FGrid1->setTextMatrix(r, 0, label);
    }
}

void Form1::Form_Resize()
{
    if (isMinimized())
        return;
    const int w = ClientWidth();
    const int h = ClientHeight();

    // The tab strip's page ends a little above the window's bottom edge, so that its frame
    // shows whole; the grid ends 70 twips above the page's edge.
    const int tabWidth = w >= 240 ? w - 240 : 0;
    const int tabHeight = std::max(0, h - kTabTop - kTabBottomMargin);
    Tab1->resize(PixelsX(tabWidth), PixelsY(tabHeight));

    const int gridWidth = tabWidth >= 240 ? tabWidth - 240 : 0;
    const int gridHeight = std::max(0, tabHeight - kGridBelowTabTop);
    FGrid1->resize(PixelsX(gridWidth), PixelsY(gridHeight));

    Text1->setVisible(w >= 3500);
    if (w >= 3500)
        Text1->resize(PixelsX(w - 3500), Text1->height());
}

bool Form1::ConfirmSave()
{
    if (!control_.document().History->Modified())
        return true;
    // The file by its name, its folder below it.
    const QFileInfo image(control_.document().RomPath);
    const QMessageBox::StandardButton answer =
        dialogs_->ask(this, QStringLiteral(u"保存確認"), QStringLiteral(u"%1 への変更を保存しますか？").arg(QuoteText(image.fileName())),
                      QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                      QStringLiteral(u"フォルダ: %1").arg(QDir::toNativeSeparators(image.absolutePath())));
    switch (answer) {
    case QMessageBox::Yes:
        // A save that fails leaves the document modified, and then nobody may go on.
        return Save_Click();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void Form1::Quit_Click()
{
    if (!editing_->commit() || !ConfirmSave())
        return;
    quitting_ = true;
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->ignore(); // until all of it went through: a failure keeps the window and the document
    runGuarded([&] {
        // The save question must see the edit; a text that can't be stored keeps the window.
        if (!editing_->commit() || (!quitting_ && !ConfirmSave()))
            return;
        // A note typed since the cursor last moved is not lost with the window; nor is a failure to store it.
        storePendingNote();
        showWriteErrors();
        event->accept();
    });
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    bool handled = false;
    const bool ran = caught([&] {
        if (watched == centralWidget() && event->type() == QEvent::Resize)
            Form_Resize();
        else if (watched == FGrid1 && editing_)
            handled = editing_->gridEvent(event);
        else if (watched == Combo1 && event->type() == QEvent::Wheel)
            handled = !editing_->commit();
    });
    // Most events filtered here change nothing; the state is shown again only after one that
    // did something, or failed, and not on every event the grid receives.
    if (handled || !ran)
        showState();
    return handled || QMainWindow::eventFilter(watched, event);
}

void Form1::Read_Click()
{
    if (!editing_->commit() || !ConfirmSave())
        return;
    const QString path = dialogs_->openFileName(this, QStringLiteral("ファイルを読み込む"), QString::fromUtf16(kRomFilter),
                                                recent_->imageDialogFolder());
    if (!path.isEmpty())
        static_cast<void>(OpenRom(path));
}

bool Form1::OpenRom(const QString& path, const QString& folder)
{
    const Session& session = control_.session();
    const Result<Controller::Opened> opened =
        control_.Open(path, folder, Tab1->SelectedIndex(), session.NotePending() ? Text1->toPlainText() : QString());
    if (!opened) {
        dialogs_->showMessage(this, QStringLiteral("読み込み"),
                              QStringLiteral("%1 を読み込めません。\n%2").arg(path, opened.failure().message()), QMessageBox::Warning);
        return false;
    }
    reportWriteError(opened->noteStored);
    titleFile_ = QFileInfo(path).fileName();
    if (Combo1->count() > 0) {
        FGrid1->Clear();
        const QSignalBlocker blocker(Combo1);
        Combo1->clear();
    }
    views_->reset();
    FGrid1->setEnabled(false);
    {
        // Items added by code choose nothing, as on the platform the program comes from.
        const QSignalBlocker blocker(Combo1);
        Combo1->insertItem(0, control_.document().ModeName);
        Combo1->setCurrentIndex(-1);
    }
    if (Tab1->SelectedIndex() == TabIdSection) {
        AddDataSetItems();
        LabelGridHeaders();
    }
    setComboIndex(opened->dataSetItem);

    showTitle();
    menus_->showState();
    recent_->rememberImage(path);
    folders_->showProgramFolder();
    if (!opened->problems.isEmpty())
        dialogs_->showMessage(this, QStringLiteral("読み込み"), opened->problems, QMessageBox::Warning);
    return true;
}

std::vector<int> Form1::widthsToStore() const { return WidthsToStore(WidthsOf(*FGrid1), fitted_); }

void Form1::setComboIndex(int index)
{
    if (Combo1->currentIndex() != index)
        Combo1->setCurrentIndex(index);
}

void Form1::FillGrid()
{
    const DocumentState& doc = control_.document();
    const int tab = Tab1->SelectedIndex();
    const int dataSet = control_.session().view().CurrentDataSet;
    if (!HasTable(doc, tab, dataSet)) {
        // Nothing to show: no stale table stays usable.
        FGrid1->setEnabled(false);
        Text1->setEnabled(false);
        return;
    }
    const GridLayout layout = LayoutGrid(doc, tab, dataSet, baseRowHeight_);

    FGrid1->setScrollBars(false);
    FGrid1->setHighlight(false);
    // A fill cut short by an exception still ends, with the scroll bars and highlight back.
    const auto showControls = [this] {
        FGrid1->setScrollBars(true);
        FGrid1->setHighlight(true);
    };
    auto restore = qScopeGuard(showControls);
    FlexGrid::Fill fill(*FGrid1);
    FGrid1->setRows(layout.rows);
    FGrid1->setCols(layout.cols);
    FGrid1->setRowHeight(0, layout.headingHeight);
    for (int c = 0; c < layout.cols; ++c) {
        FGrid1->setTextMatrix(0, c, layout.headings[c]);
        FGrid1->setColAlignment(c, layout.alignments[c]);
        FGrid1->setColGreyed(c, layout.greyed[c]);
    }
    for (int r = 1; r < layout.rows; ++r) {
        FGrid1->setRowHeight(r, baseRowHeight_);
        FGrid1->setTextMatrix(r, 0, layout.labels[r]);
    }
    std::vector<int> previous(static_cast<std::size_t>(layout.cols));
    for (int c = 0; c < layout.cols; ++c)
        previous[c] = FGrid1->ColWidth(c);
    // Headings are few and measured whole; row labels may be tens of thousands.
    const QFontMetricsF headings(FGrid1->font());
    const double twipsPerPixel = double(kTwipsPerInch) / FGrid1->logicalDpiX();
    const MeasureText measureLabel = LabelMeasure(FGrid1->font(), FGrid1->logicalDpiX());
    fitted_ = FitToValues(ColumnWidths(
                              layout, previous, [&](const QString& text) { return headings.horizontalAdvance(text) * twipsPerPixel; },
                              measureLabel),
                          ValueWidths(doc, tab, dataSet, measureLabel));
    for (int c = 0; c < layout.cols; ++c)
        FGrid1->setColWidth(c, fitted_.widths[c]);
    FGrid1->setCellTextProvider([&doc, tab, dataSet](int row, int col) { return CellText(doc, tab, dataSet, row, col); });
    // A cell that differs from the image file as last read or saved is marked.
    FGrid1->setCellMarkProvider([&doc, tab, dataSet](int row, int col) {
        return CellChanged(doc, tab, dataSet, tab == TabIndividual ? 1 : col, row);
    });
    navigation_->tableFilled(tab);
    views_->shown(tab, dataSet);
    fill.end();

    // A remembered cursor outside the table falls back to 1; a table without rows has none.
    const ViewState& view = control_.session().view();
    const int col = tab == TabIndividual || view.CurrentCol < 1 || view.CurrentCol >= layout.cols ? 1 : view.CurrentCol;
    const int row = view.CurrentRow < 1 || view.CurrentRow >= layout.rows ? 1 : view.CurrentRow;
    if (layout.rows > 1 && layout.cols > 1) {
        FGrid1->setCol(col);
        FGrid1->setRow(row);
    }

    showControls();
    restore.dismiss();
    FGrid1->setEnabled(true);
    Text1->setEnabled(true);
    SyncNoteText();
    FGrid1->setFocus();
}

void Form1::Tab1_BeforeClick(bool* cancel)
{
    // A click on a tab takes no focus: the edit is committed here, before the view is saved.
    if (!editing_->commit()) {
        *cancel = true;
        return;
    }
    if (FGrid1->isVisible())
        reportWriteError(control_.LeaveTab(Tab1->SelectedIndex(), GridPlaceOf(*FGrid1), widthsToStore()));
}

void Form1::Tab1_Click()
{
    if (Tab1->SelectedIndex() != control_.session().view().CurrentTab && Combo1->count() >= 1)
        SwitchTab();
}

void Form1::SwitchTab()
{
    const int tab = Tab1->SelectedIndex();
    if (tab == TabIdSection) {
        if (Combo1->count() == 1)
            AddDataSetItems();
        const int item = control_.EnterTab(tab);
        if (Combo1->currentIndex() == item)
            Combo1_Click();
        else
            setComboIndex(item);
    } else if (tab == TabIndividual || tab == TabBattle) {
        if (Combo1->count() > 1)
            RemoveDataSetItems();
        control_.EnterTab(tab);
        if (Combo1->currentIndex() == 0)
            FillGrid();
        setComboIndex(0);
    }
}

void Form1::Combo1_Click()
{
    // A user's choice commits the editor first (the box takes the focus, or see eventFilter
    // for the wheel); this only ends one that a change made by code finds open.
    editing_->close();
    const int tab = Tab1->SelectedIndex();
    const Controller::DataSetChosen chosen = control_.ChooseDataSet(tab, Combo1->currentIndex(), widthsToStore());
    reportWriteError(chosen.widthsStored);
    if (chosen.fill) {
        FillGrid();
    } else if (tab == TabIdSection) {
        FGrid1->setEnabled(false);
        Text1->setEnabled(false);
    }
}

void Form1::SetNotation(int code)
{
    if (!editing_->commit() || !FGrid1->isEnabled())
        return;
    const Controller::NotationSet set = control_.SetNotation(Tab1->SelectedIndex(), FGrid1->Row(), FGrid1->Col(), code);
    if (!set.changed)
        return;
    reportWriteError(set.written);
    FillGrid();
    views_->notationChanged();
    FGrid1->setFocus();
    tellDone(set.told);
}

void Form1::AddDataSetItems()
{
    const QSignalBlocker blocker(Combo1);
    for (int i = 1; i <= control_.document().DataSetCount; ++i)
        Combo1->insertItem(i, control_.document().DataSets(i).Name);
}

void Form1::RemoveDataSetItems()
{
    const QSignalBlocker blocker(Combo1);
    const bool chosenGoes = Combo1->currentIndex() > 0;
    for (int i = Combo1->count() - 1; i >= 1; --i)
        Combo1->removeItem(i);
    // Removing the chosen item leaves nothing chosen, so that choosing item 0 is a change.
    if (chosenGoes)
        Combo1->setCurrentIndex(-1);
}

void Form1::SyncNoteText()
{
    if (!Text1->isEnabled())
        return;
    const int tab = Tab1->SelectedIndex();
    const Controller::NoteToShow shown = control_.ShowNote(
        tab, GridPlaceOf(*FGrid1), control_.session().NotePending() ? Text1->toPlainText() : QString());
    reportWriteError(shown.stored);
    Text1->setPlainText(shown.note.text);
    control_.NoteLoaded(tab); // the load itself is no edit
    // A table without cells has no section whose note could be written.
    if (!shown.note.editable)
        Text1->setEnabled(false);
}

void Form1::storePendingNote()
{
    if (control_.session().NotePending())
        reportWriteError(control_.session().StorePendingNote(Text1->toPlainText()));
}

void Form1::reportWriteError(const Result<void>& written)
{
    if (written.ok() || writeErrors_.contains(written.failure().message()))
        return;
    if (writeErrors_.isEmpty())
        QTimer::singleShot(0, this, &Form1::showWriteErrors);
    writeErrors_ << written.failure().message();
}

void Form1::showWriteErrors()
{
    const QStringList errors = std::exchange(writeErrors_, {});
    if (!errors.isEmpty())
        dialogs_->showMessage(this, QStringLiteral("設定ファイル"), errors.join(u'\n'), QMessageBox::Warning);
}

void Form1::FGrid1_ContextMenu(const QPoint& at)
{
    // The grid moved its cursor on the press already, when the cell lay outside the selection.
    if (FGrid1->isEnabled() && FGrid1->indexAt(at).isValid())
        menus_->menu("Edit")->popup(FGrid1->viewport()->mapToGlobal(at));
}

TableRef Form1::shownTable() const { return control_.session().table(Tab1->SelectedIndex()); }

void Form1::tellDone(const QString& text) { statusBar()->showMessage(text, kStatusMessageMilliseconds); }

bool Form1::textBoxActive() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus == txtForEdit || focus == Text1;
}

bool Form1::RevealCell(const CellRef& cell)
{
    if (!FGrid1->isEnabled() && Combo1->count() < 1)
        return false; // no image open
    const RevealPlan plan = control_.PlanReveal(Tab1->SelectedIndex(), cell);
    if (!plan.valid || !editing_->commit())
        return false;
    if (plan.changesTab) {
        // As a click on the tab: the strip's before-change first, then the change itself.
        bool cancel = false;
        Tab1_BeforeClick(&cancel);
        if (cancel)
            return false;
        control_.AimReveal(plan);
        Tab1->FocusTab(plan.tab - 1);
    } else {
        control_.AimReveal(plan);
        if (plan.changesDataSet)
            setComboIndex(plan.dataSet);
    }
    if (Tab1->SelectedIndex() != plan.tab || !FGrid1->isEnabled())
        return false;
    FGrid1->setCol(plan.col);
    FGrid1->setRow(plan.row);
    if (!FGrid1->RowIsVisible(plan.row))
        FGrid1->setTopRow(plan.row);
    if (!FGrid1->ColIsVisible(plan.col))
        FGrid1->setLeftCol(plan.col);
    FGrid1->setFocus();
    return true;
}

void Form1::takeStep(bool undo)
{
    if (textBoxActive() || !FGrid1->isEnabled())
        return;
    const Controller::StepTaken step = control_.TakeStep(undo ? Controller::StepKind::Undo : Controller::StepKind::Redo,
                                                         Tab1->SelectedIndex(), widthsToStore());
    reportWriteError(step.widthsStored);
    if (!step.taken)
        return;
    if (step.rows)
        views_->reset(true);
    else
        views_->touched(step.touched);
    Tab1->FocusTab(step.cell.tab - 1);
    // The tab strip's own notification may have switched already; the switch runs once.
    if (control_.session().view().CurrentTab != Tab1->SelectedIndex())
        SwitchTab();
    FillGrid();
    const ViewState& view = control_.session().view();
    if (view.CurrentCol >= 1 && view.CurrentCol < FGrid1->Cols())
        FGrid1->setCol(view.CurrentCol);
    if (view.CurrentRow >= 1 && view.CurrentRow < FGrid1->Rows())
        FGrid1->setRow(view.CurrentRow);
    FGrid1->setLeftCol(step.scroll.leftCol);
    FGrid1->setTopRow(step.scroll.topRow);
    FGrid1->setFocus();
    // A step in another data set of the tab shown fills the grid with it: the box follows,
    // as a follower, not as a choice that would store widths and fill again.
    const int item = control_.StepShown(Tab1->SelectedIndex());
    const QSignalBlocker blocker(Combo1);
    Combo1->setCurrentIndex(item);
}

void Form1::andou_Click() { takeStep(true); }
void Form1::redou_Click() { takeStep(false); }

bool Form1::Save_Click()
{
    if (!editing_->commit())
        return false;
    const Result<bool> saved = Busy([this] { return control_.Save(); });
    if (!saved) {
        dialogs_->showMessage(this, QStringLiteral("上書き保存"), saved.failure().message(), QMessageBox::Warning);
        return false;
    }
    if (*saved) {
        FGrid1->viewport()->update(); // the marks go with the new baseline
        views_->reset();
        tellDone(QStringLiteral("上書き保存しました"));
    }
    return true;
}

void Form1::SaveAs_Click()
{
    const QString open = control_.document().RomPath;
    if (!editing_->commit() || open.isEmpty())
        return;  // no image open
    const QString path = dialogs_->saveFileName(this, QStringLiteral("名前を付けて保存"), QString::fromUtf16(kRomFilter), SaveAsName(open));
    if (path.isEmpty())
        return;
    const Result<QString> saved = Busy([&] { return control_.SaveAs(path); });
    if (!saved) {
        dialogs_->showMessage(this, QStringLiteral("名前を付けて保存"), saved.failure().message(), QMessageBox::Warning);
        return;
    }
    views_->reset();
    recent_->rememberImage(control_.document().RomPath);
    titleFile_ = QFileInfo(control_.document().RomPath).fileName();
    showTitle();
    FGrid1->viewport()->update(); // the marks go with the new baseline
    tellDone(*saved);
}

void Form1::ShowSettingsProblem(const QString& problem)
{
    if (!problem.isEmpty())
        dialogs_->showMessage(this, QStringLiteral("設定"), problem, QMessageBox::Warning);
}

} // namespace zor
