#include "window/Form1.h"

#include "core/compare/ChangeList.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/Clipboard.h"
#include "core/edit/EditHistory.h"
#include "core/csv/CsvExport.h"
#include "core/output/Rows.h"
#include "core/output/Save.h"
#include "core/patch/PatchFile.h"
#include "core/selection/TextClipboard.h"
#include "core/files/ProgramFolder.h"
#include "core/files/SaveAsName.h"
#include "core/files/SaveFile.h"
#include "core/files/Text.h"
#include "core/view/Conversions.h"
#include "core/view/Grid.h"
#include "core/view/TabView.h"
#include "window/CellEditor.h"
#include "window/ChangesPanel.h"
#include "window/ChartDock.h"
#include "window/FlexGrid.h"
#include "window/NoteEdit.h"
#include "window/TabStrip.h"
#include "window/ValueColours.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

namespace zor {

namespace {

// The wait cursor while a command writes files.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
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

template <typename Handler>
void Form1::guarded(Handler&& handler)
{
    static_cast<void>(caught(handler)); // reported there
    showState();
}

void Form1::showState()
{
    // Every change of the document and the view comes through a handler: the title, the
    // menus and the status bar follow it here.
    showTitle();
    showCommandState();
    refreshNavigation();
}

void Form1::runGuarded(const std::function<void()>& handler) { guarded(handler); }

void Form1::showTitle()
{
    setWindowTitle(titleFile_.isEmpty() ? QStringLiteral("ZOR")
                                        : QStringLiteral("ZOR - ") + titleFile_ + (doc.History->Modified() ? QStringLiteral("*") : QString()));
}

template <typename Sender, typename Signal, typename Result, typename... Args>
void Form1::connectGuarded(Sender* sender, Signal signal, Result (Form1::*handler)(Args...))
{
    connect(sender, signal, this, [this, handler](Args... args) { guarded([&] { (this->*handler)(args...); }); });
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
    createMenus();
    createNavigation();
    createDesktopParts();
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
    connectGuarded(FGrid1, &FlexGrid::scrolled, &Form1::FGrid1_Scroll);
    connectGuarded(FGrid1, &FlexGrid::enterCell, &Form1::FGrid1_EnterCell);
    connectGuarded(Text1, &QPlainTextEdit::textChanged, &Form1::Text1_Change);
    connectGuarded(FGrid1, &QAbstractItemView::doubleClicked, &Form1::FGrid1_DblClick);
    FGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connectGuarded(FGrid1, &QWidget::customContextMenuRequested, &Form1::FGrid1_ContextMenu);
    connectGuarded(txtForEdit, &CellEditor::editorKey, &Form1::HandleEditorKey);
    connectGuarded(txtForEdit, &CellEditor::lostFocus, &Form1::txtForEdit_LostFocus);
    // A wheel over the data set box while the editor is open changes the data set as a command would.
    Combo1->installEventFilter(this);
}

void Form1::createMenus()
{
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* created = menuBar()->addMenu(caption);
        created->setObjectName(QLatin1StringView(name));
        // A menu closed without a command gives the focus back to an open editor, where the
        // menu bar would keep it and take the next keys.
        connect(created, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (txtForEdit->isVisible() && !txtForEdit->hasFocus() && !QApplication::activePopupWidget())
                    txtForEdit->setFocus(Qt::PopupFocusReason);
            });
        });
        return created;
    };
    auto item = [this](QMenu* parentMenu, const char* name, const QString& caption, const QKeySequence& shortcut,
                       auto handler) {
        QAction* action = parentMenu->addAction(caption);
        action->setObjectName(QLatin1StringView(name));
        action->setShortcut(shortcut);
        connectGuarded(action, &QAction::triggered, handler);
        return action;
    };
    const QKeySequence none;

    File = menu("File", QStringLiteral(u"ファイル"));
    Read = item(File, "Read", QStringLiteral(u"読み込む"), QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::Read_Click);
    SaveAs = item(File, "SaveAs", QStringLiteral(u"名前を付けて保存"), none, &Form1::SaveAs_Click);
    Save = item(File, "Save", QStringLiteral(u"上書き保存"), QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::Save_Click);
    File->addSeparator();
    MakePatch = item(File, "MakePatch", QStringLiteral(u"パッチを作成…"), none, &Form1::MakePatch_Click);
    File->addSeparator();
    Quit = item(File, "Quit", QStringLiteral(u"終了"), none, &Form1::Quit_Click);

    Edit = menu("Edit", QStringLiteral(u"編集"));
    andou = item(Edit, "andou", QStringLiteral(u"セルを元に戻す"), QKeySequence(Qt::CTRL | Qt::Key_Z), &Form1::andou_Click);
    redou = item(Edit, "redou", QStringLiteral(u"セルをやり直す"), QKeySequence(Qt::CTRL | Qt::Key_Y), &Form1::redou_Click);
    redou->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    cut = item(Edit, "cut", QStringLiteral(u"セルを切り取り"), QKeySequence(Qt::CTRL | Qt::Key_X), &Form1::cut_Click);
    Cope = item(Edit, "Cope", QStringLiteral(u"セルをコピー"), QKeySequence(Qt::CTRL | Qt::Key_C), &Form1::Cope_Click);
    pest = item(Edit, "pest", QStringLiteral(u"セルを貼り付け"), QKeySequence(Qt::CTRL | Qt::Key_V), &Form1::pest_Click);
    PasteText = item(Edit, "PasteText", QStringLiteral(u"テキストを貼り付け"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V),
                     &Form1::PasteText_Click);
    SelectionValues = item(Edit, "SelectionValues", QStringLiteral(u"選択範囲の値…"), none, &Form1::SelectionValues_Click);
    NewRow = item(Edit, "NewRow", QStringLiteral(u"行を追加する"), none, &Form1::NewRow_Click);
    DeleteRow = item(Edit, "DeleteRow", QStringLiteral(u"行を削除する"), none, &Form1::DeleteRow_Click);
    Edit->addSeparator();
    Search = item(Edit, "Search", QStringLiteral(u"検索"), QKeySequence(Qt::CTRL | Qt::Key_F), &Form1::Search_Click);
    SearchNext = item(Edit, "SearchNext", QStringLiteral(u"次を検索"), QKeySequence(Qt::Key_F3), &Form1::SearchNext_Click);
    SearchPrevious = item(Edit, "SearchPrevious", QStringLiteral(u"前を検索"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
                          &Form1::SearchPrevious_Click);
    GoTo = item(Edit, "GoTo", QStringLiteral(u"移動"), QKeySequence(Qt::CTRL | Qt::Key_G), &Form1::GoTo_Click);

    Hyo = menu("Hyo", QStringLiteral(u"表示"));
    NotationHex = item(Hyo, "NotationHex", QStringLiteral(u"選択セクションを16進数表記"), none, &Form1::NotationHex_Click);
    NotationCodeDec = item(Hyo, "NotationCodeDec", QStringLiteral(u"選択セクションを符号付き10進数表記"), none,
                           &Form1::NotationCodeDec_Click);
    NotationDec = item(Hyo, "NotationDec", QStringLiteral(u"選択セクションを符号無し10進数表記"), none, &Form1::NotationDec_Click);
    // Exclusive: a click on the checked item keeps it checked and still runs its command.
    notations_ = new QActionGroup(this);
    for (QAction* notation : {NotationHex, NotationCodeDec, NotationDec}) {
        notation->setCheckable(true);
        notations_->addAction(notation);
    }
    ShowChanges = item(Hyo, "ShowChanges", QStringLiteral(u"変更一覧"), none, &Form1::ShowChanges_Click);
    createChangesPanel();
    Hyo->addSeparator();
    ColourByValue = item(Hyo, "ColourByValue", QStringLiteral(u"値で色分け"), none, &Form1::ColourByValue_Click);
    ShowChart = item(Hyo, "ShowChart", QStringLiteral(u"グラフ"), none, &Form1::ShowChart_Click);
    createValueViews();
    connectGuarded(Chart, &ChartDock::rowRequested, &Form1::chartRowClicked);

    Date = menu("Date", QStringLiteral(u"データ"));
    OpCSV = item(Date, "OpCSV", QStringLiteral(u"全データをCSVで保存"), none, &Form1::OpCSV_Click);
    ImportCSV = item(Date, "ImportCSV", QStringLiteral(u"CSVから読み込む…"), none, &Form1::ImportCSV_Click);
}

void Form1::Form_Load()
{
    FGrid1->setEnabled(false);
    FGrid1->setColAlignment(0, 0);
    BaseRowHeight = FGrid1->RowHeight(0);
    FGrid1->setRowHeight(0, 2 * BaseRowHeight);  // room for two-line section captions
    LabelGridHeaders();
    Text1->setEnabled(false);
    setWindowTitle(QStringLiteral("ZOR"));
    showCommandState();
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

    if (w >= 3500) {
        Text1->setVisible(true);
        Text1->resize(PixelsX(w - 3500), Text1->height());
    } else {
        Text1->setVisible(false);
    }
}

bool Form1::ConfirmSave()
{
    if (!doc.History->Modified())
        return true;
    // The file by its name, its folder below it.
    const QFileInfo image(doc.RomPath);
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
    if (!CommitCellEditor() || !ConfirmSave())
        return;
    quitting_ = true;
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->ignore(); // until all of it went through: a failure keeps the window and the document
    guarded([&] {
        // The save question must see the edit; a text that can't be stored keeps the window.
        if (!CommitCellEditor() || (!quitting_ && !ConfirmSave()))
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
        else if (watched == FGrid1)
            handled = gridEvent(event);
        else if (watched == Combo1 && event->type() == QEvent::Wheel)
            handled = !CommitCellEditor();
    });
    // Most events filtered here change nothing; the state is shown again only after one that
    // did something, or failed, and not on every event the grid receives.
    if (handled || !ran)
        showState();
    return handled || QMainWindow::eventFilter(watched, event);
}

void Form1::Read_Click()
{
    if (!CommitCellEditor() || !ConfirmSave())
        return;
    const QString path = dialogs_->openFileName(this, QStringLiteral("ファイルを読み込む"), QString::fromUtf16(kRomFilter),
                                                imageDialogFolder());
    if (path.isEmpty())
        return;
    static_cast<void>(OpenRom(path));
}

bool Form1::OpenRom(const QString& path) { return OpenRom(path, QString()); }

bool Form1::OpenRom(const QString& path, const QString& folder)
{
    const Result<QByteArray> image = ReadRomImage(path);
    if (!image) {
        dialogs_->showMessage(this, QStringLiteral("読み込み"),
                              QStringLiteral("%1 を読み込めません。\n%2").arg(path, image.failure().message()), QMessageBox::Warning);
        return false;
    }
    // A note typed for the document that is closing goes to that document's files.
    storePendingNote();

    titleFile_ = QFileInfo(path).fileName();
    showTitle();
    if (Combo1->count() > 0) {
        FGrid1->Clear();
        const QSignalBlocker blocker(Combo1);
        Combo1->clear();
    }
    programFolder_ = folder.isEmpty() ? ProgramFolderToOpen(chosenFolder_, programFolder_, [] { return ProgramFolder(); })
                                      : folder;
    const QString programFolder = programFolder_;
    LoadDocument(doc, path, *image, programFolder);
    const ProblemLog& log = doc.Problems;
    changesReset();

    FGrid1->setEnabled(false);
    const int item = session.Opened(Tab1->SelectedIndex());
    {
        // Items added by code choose nothing, as on the platform the program comes from.
        const QSignalBlocker blocker(Combo1);
        Combo1->insertItem(0, doc.ModeName);
        Combo1->setCurrentIndex(-1);
    }
    if (Tab1->SelectedIndex() == TabIdSection) {
        AddDataSetItems();
        LabelGridHeaders();
    }
    setComboIndex(item);

    showTitle();
    showCommandState();
    rememberImage(path);
    showProgramFolder();
    if (!log.empty())
        dialogs_->showMessage(this, QStringLiteral("読み込み"),
                              QStringLiteral("読み込みで %1 件の問題が見つかりました。\n").arg(log.items().size()) + log.summary(),
                              QMessageBox::Warning);
    return true;
}

double Form1::measureTwips(const QString& text) const
{
    return QFontMetricsF(FGrid1->font()).horizontalAdvance(text) * kTwipsPerInch / FGrid1->logicalDpiX();
}

Form1::LabelMeasure::LabelMeasure(const QFont& font, int dpi) : metrics_(font), twipsPerPixel_(double(kTwipsPerInch) / dpi) {}

double Form1::LabelMeasure::operator()(const QString& text)
{
    // Shaping every label of a table of 32,767 IDs would take most of a fill, so a
    // label's width is the sum of its characters' advances, which leaves out only
    // kerning. Text with surrogate pairs is measured whole.
    double pixels = 0;
    for (const QChar c : text) {
        if (c.isSurrogate())
            return metrics_.horizontalAdvance(text) * twipsPerPixel_;
        auto found = advances_.constFind(c.unicode());
        if (found == advances_.constEnd())
            found = advances_.insert(c.unicode(), metrics_.horizontalAdvance(c));
        pixels += *found;
    }
    return pixels * twipsPerPixel_;
}

void Form1::setComboIndex(int index)
{
    if (Combo1->currentIndex() != index)
        Combo1->setCurrentIndex(index);
}

void Form1::FillGrid()
{
    const int tab = Tab1->SelectedIndex();
    const int dataSet = session.view().CurrentDataSet;
    if (!HasTable(doc, tab, dataSet)) {
        // Nothing to show: no stale table stays usable.
        FGrid1->setEnabled(false);
        Text1->setEnabled(false);
        return;
    }
    const GridLayout layout = LayoutGrid(doc, tab, dataSet, BaseRowHeight);

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
    }
    for (int r = 1; r < layout.rows; ++r) {
        FGrid1->setRowHeight(r, BaseRowHeight);
        FGrid1->setTextMatrix(r, 0, layout.labels[r]);
    }
    std::vector<int> previous(static_cast<std::size_t>(layout.cols));
    for (int c = 0; c < layout.cols; ++c)
        previous[c] = FGrid1->ColWidth(c);
    // Headings are few and measured whole; row labels may be tens of thousands.
    LabelMeasure labels(FGrid1->font(), FGrid1->logicalDpiX());
    const std::vector<int> widths = ColumnWidths(
        layout, previous, [this](const QString& text) { return measureTwips(text); }, std::ref(labels));
    for (int c = 0; c < layout.cols; ++c)
        FGrid1->setColWidth(c, widths[c]);
    FGrid1->setCellTextProvider([this, tab, dataSet](int row, int col) { return CellText(doc, tab, dataSet, row, col); });
    // A cell that differs from the image file as last read or saved is marked.
    FGrid1->setCellMarkProvider([this, tab, dataSet](int row, int col) {
        return CellChanged(doc, tab, dataSet, tab == TabIndividual ? 1 : col, row);
    });
    tableFilled(tab);
    valuesShown(tab, dataSet);
    fill.end();

    // A remembered cursor outside the table falls back to 1; a table without rows has none.
    const ViewState& view = session.view();
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
    if (!CommitCellEditor()) {
        *cancel = true;
        return;
    }
    if (!FGrid1->isVisible())
        return;
    session.LeaveTab(Tab1->SelectedIndex(), gridPlace());
    SaveColumnWidths();
}

void Form1::Tab1_Click()
{
    if (Tab1->SelectedIndex() != session.view().CurrentTab && Combo1->count() >= 1)
        SwitchTab();
}

void Form1::SwitchTab()
{
    const int tab = Tab1->SelectedIndex();
    if (tab == TabIdSection) {
        if (Combo1->count() == 1)
            AddDataSetItems();
        const int item = session.EnterTab(tab);
        if (Combo1->currentIndex() == item)
            Combo1_Click();
        else
            setComboIndex(item);
    } else if (tab == TabIndividual || tab == TabBattle) {
        if (Combo1->count() > 1)
            RemoveDataSetItems();
        session.EnterTab(tab);
        if (Combo1->currentIndex() == 0)
            FillGrid();
        setComboIndex(0);
    }
}

void Form1::Combo1_Click()
{
    // A user's choice commits the editor first (the box takes the focus, or see eventFilter
    // for the wheel); this only ends one that a change made by code finds open.
    closeCellEditor();
    if (session.BeginDataSetChoice())
        SaveColumnWidths();  // the grid still shows the previous data set
    const int tab = Tab1->SelectedIndex();
    if (session.ChooseDataSet(tab, Combo1->currentIndex())) {
        FillGrid();
    } else if (tab == TabIdSection) {
        FGrid1->setEnabled(false);
        Text1->setEnabled(false);
    }
}

void Form1::SaveColumnWidths()
{
    if (!FGrid1->isEnabled())
        return;
    std::vector<int> widths;
    for (int c = 0; c < FGrid1->Cols(); ++c)
        widths.push_back(FGrid1->ColWidth(c));
    if (const Result<void> saved = zor::SaveColumnWidths(doc, shownTable(), widths); !saved)
        reportWriteError(saved.failure().message());
}

void Form1::FGrid1_Scroll()
{
    closeCellEditor();
}

void Form1::SetNotation(int code)
{
    if (!CommitCellEditor() || !FGrid1->isEnabled())
        return;
    const std::optional<CellPlace> cell = session.CellAt(FGrid1->Row(), FGrid1->Col());
    const Result<NotationChange> change = zor::SetNotation(doc, shownTable(), FGrid1->Row(), FGrid1->Col(), code);
    if (change == NotationChange::NoSection || !cell)
        return;
    if (!change)
        reportWriteError(change.failure().message());
    session.SetCursor(FGrid1->Row(), FGrid1->Col());
    FillGrid();
    Changes->notationChanged();
    FGrid1->setFocus();
    // Also when the settings file refused it: the table shows it until the next read.
    tellDone(QStringLiteral("セクション「%1」を%2にしました").arg(session.SectionCaption(*cell), NotationName(code)));
}

void Form1::NotationHex_Click() { SetNotation(zor::NotationHex); }
void Form1::NotationCodeDec_Click() { SetNotation(NotationSigned); }
void Form1::NotationDec_Click() { SetNotation(NotationUnsigned); }

void Form1::SaveTabView() { session.RememberView(Tab1->SelectedIndex(), gridPlace()); }

GridPlace Form1::gridPlace() const { return {FGrid1->Col(), FGrid1->Row(), FGrid1->LeftCol(), FGrid1->TopRow(), FGrid1->Cols()}; }

void Form1::AddDataSetItems()
{
    const QSignalBlocker blocker(Combo1);
    for (int i = 1; i <= doc.DataSetCount; ++i)
        Combo1->insertItem(i, doc.DataSets(i).Name);
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
    storePendingNote();
    SaveTabView();
    const Session::Note note = session.NoteOf(tab);
    Text1->setPlainText(note.text);
    session.NoteShown(tab); // the load itself is no edit
    // A table without cells has no section whose note could be written.
    if (!note.editable)
        Text1->setEnabled(false);
}

void Form1::storePendingNote()
{
    if (!session.NotePending())
        return;
    if (const Result<void> stored = session.StorePendingNote(Text1->toPlainText()); !stored)
        reportWriteError(stored.failure().message());
}

void Form1::FGrid1_EnterCell() { SyncNoteText(); }

void Form1::Text1_Change() { session.NoteEdited(); }

void Form1::reportWriteError(const QString& error)
{
    if (writeErrors_.contains(error))
        return;
    if (writeErrors_.isEmpty())
        QTimer::singleShot(0, this, &Form1::showWriteErrors);
    writeErrors_ << error;
}

void Form1::showWriteErrors()
{
    const QStringList errors = std::exchange(writeErrors_, {});
    if (!errors.isEmpty())
        dialogs_->showMessage(this, QStringLiteral("設定ファイル"), errors.join(u'\n'), QMessageBox::Warning);
}

ScrollPosition Form1::scrollPosition() const { return {FGrid1->TopRow(), FGrid1->LeftCol()}; }

bool Form1::gridEvent(QEvent* event)
{
    if (!FGrid1->isEnabled() || txtForEdit->isVisible())
        return false;
    if (event->type() == QEvent::InputMethod) {
        // An input method's composition opens the editor empty and goes on in it.
        auto* input = static_cast<QInputMethodEvent*>(event);
        if (input->preeditString().isEmpty() && input->commitString().isEmpty())
            return false;
        OpenCellEditor(32);
        if (!txtForEdit->isVisible())
            return false;
        txtForEdit->clear();
        QCoreApplication::sendEvent(txtForEdit, event);
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;  // shortcuts
    switch (key->key()) {
    case Qt::Key_Delete:
        OpenCellEditor(8);
        return true;
    case Qt::Key_F2:
        OpenCellEditor(13);
        return true;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty())
        return false;  // arrows, paging and the like move the cursor
    const char16_t first = text.front().unicode();
    if (first == u'\r' || first == u'\b' || first == u' ') {
        OpenCellEditor(first);
        return true;
    }
    if (first < 0x20 || first == 0x7F)
        return false;  // other control codes open nothing
    OpenCellEditor(first, text);
    return true;
}

void Form1::OpenCellEditor(int key, const QString& typed)
{
    if (FGrid1->Row() < 1 || FGrid1->Col() < 1)
        return;  // no cell under the cursor
    const int tab = Tab1->SelectedIndex();
    if (const std::optional<QString> why = ReadOnlyReason(doc, tab, session.table(tab).dataSet,
                                                         FGrid1->Col(), FGrid1->Row())) {
        const QRect cell(FGrid1->mapToGlobal(QPoint(PixelsX(FGrid1->CellLeft()), PixelsY(FGrid1->CellTop()))),
                         QSize(PixelsX(FGrid1->CellWidth()), PixelsY(FGrid1->CellHeight())));
        QToolTip::showText(cell.bottomLeft(), *why, FGrid1, {}, kRefusedTipMilliseconds);
        return;
    }
    if (key == 32) {
        // Space opens with the cell's text, the caret at the end.
        txtForEdit->setText(FGrid1->TextMatrix(FGrid1->Row(), FGrid1->Col()));
        txtForEdit->end(false);
    } else if (key > 32 || key < 0) {
        txtForEdit->setText(typed.isEmpty() ? QString(QChar(key)) : typed);
        txtForEdit->end(false);
    } else if (key == 13) {
        txtForEdit->setText(FGrid1->TextMatrix(FGrid1->Row(), FGrid1->Col()));
        txtForEdit->selectAll();
    } else if (key == 8) {
        txtForEdit->setText(QString());
    } else {
        return;
    }
    txtForEdit->setFont(FGrid1->font());
    txtForEdit->setGeometry(FGrid1->x() + PixelsX(FGrid1->CellLeft()), FGrid1->y() + PixelsY(FGrid1->CellTop()),
                            PixelsX(FGrid1->CellWidth()), PixelsY(FGrid1->CellHeight()));
    txtForEdit->raise();
    txtForEdit->show();
    txtForEdit->setFocus(Qt::OtherFocusReason);
    session.SetCursor(FGrid1->Row(), FGrid1->Col());
}

void Form1::FGrid1_DblClick()
{
    if (FGrid1->Col() != 0 && FGrid1->Row() != 0)
        OpenCellEditor(13);
}

void Form1::FGrid1_ContextMenu(const QPoint& at)
{
    // The grid moved its cursor on the press already, when the cell lay outside the selection.
    if (!FGrid1->isEnabled() || !FGrid1->indexAt(at).isValid())
        return;
    Edit->popup(FGrid1->viewport()->mapToGlobal(at));
}

void Form1::showCommandState()
{
    if (!notations_)
        return; // the controls' first events come before the menus are made
    const std::optional<int> notation =
        FGrid1->isEnabled() ? session.NotationAt(FGrid1->Row(), FGrid1->Col()) : std::nullopt;
    if (notation == zor::NotationHex)
        NotationHex->setChecked(true);
    else if (notation == NotationSigned)
        NotationCodeDec->setChecked(true);
    else if (notation == NotationUnsigned)
        NotationDec->setChecked(true);
    else if (QAction* checked = notations_->checkedAction())
        checked->setChecked(false);
    notations_->setEnabled(notation.has_value());
    const bool rows = session.RowCommandsApply();
    NewRow->setEnabled(rows);
    DeleteRow->setEnabled(rows);
    PasteText->setEnabled(FGrid1->isEnabled());
    SelectionValues->setEnabled(FGrid1->isEnabled());
    andou->setEnabled(doc.History->UndoCount() > 0);
    redou->setEnabled(doc.History->RedoCount() > 0);
}

void Form1::HandleEditorKey(int key)
{
    switch (key) {
    case Qt::Key_Escape:
        // Nothing is stored: the loss of focus that follows commits nothing.
        escaping_ = true;
        FGrid1->setFocus(Qt::OtherFocusReason);
        txtForEdit->hide();
        escaping_ = false;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        static_cast<void>(CommitCellEditor()); // refused text stays in the editor, which says why
        break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (!CommitCellEditor())  // the edit lands in its own cell before the cursor moves
            break;
        const int row = FGrid1->Row();
        if (key == Qt::Key_Up && row > 1) {
            FGrid1->setRow(row - 1);
            if (!FGrid1->RowIsVisible(row - 1))
                FGrid1->setTopRow(FGrid1->TopRow() - 1);
        } else if (key == Qt::Key_Down && row < FGrid1->Rows() - 1) {
            FGrid1->setRow(row + 1);
            if (!FGrid1->RowIsVisible(row + 1))
                FGrid1->setTopRow(FGrid1->TopRow() + 1);
        }
        break;
    }
    default:
        break;
    }
}

bool Form1::CommitCellEditor()
{
    if (!txtForEdit->isVisible())
        return true;
    if (!ParseCellText(txtForEdit->text())) {
        refuseEditorText();
        return false;
    }
    closeCellEditor();
    return true;
}

void Form1::closeCellEditor()
{
    if (!txtForEdit->isVisible())
        return;
    // The grid takes the focus before the editor hides, so Qt moves it nowhere else.
    FGrid1->setFocus(Qt::OtherFocusReason);
    // Without an active window no focus event comes: commit directly.
    if (txtForEdit->isVisible())
        txtForEdit_LostFocus(Qt::OtherFocusReason);
}

QString Form1::EditorFormsTip() { return QStringLiteral("この値は使えません。%1 のどれかで入力してください。").arg(CellTextForms()); }

void Form1::refuseEditorText()
{
    txtForEdit->setFocus(Qt::OtherFocusReason);
    txtForEdit->selectAll();
    QToolTip::showText(txtForEdit->mapToGlobal(QPoint(0, txtForEdit->height())), EditorFormsTip(), txtForEdit);
}

void Form1::txtForEdit_LostFocus(Qt::FocusReason reason)
{
    // Another window, a dialog, a menu or the menu bar took the focus: the edit goes on when it comes back.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return;
    if (!txtForEdit->isVisible() || escaping_)
        return;
    const int tab = Tab1->SelectedIndex();
    const Result<WriteResult> written =
        CommitCellText(doc, shownTable().at(session.view().CurrentCol, session.view().CurrentRow), txtForEdit->text(), scrollPosition());
    const QPoint below = txtForEdit->mapToGlobal(QPoint(0, txtForEdit->height()));
    txtForEdit->hide();
    if (!written && written.failure().kind == Failure::Kind::BadText) {
        // Nobody asked for this commit (a click elsewhere, a scroll): the edit goes and the cell keeps its byte.
        QToolTip::showText(below, EditorFormsTip(), FGrid1, {}, kRefusedTipMilliseconds);
        return;
    }
    if (!written) {
        tellRefusedChange(written.failure());
    } else if (written->result == CommitResult::Changed) {
        FGrid1->refreshCell(session.view().CurrentRow, tab == TabIndividual ? 1 : session.view().CurrentCol);
        changesTouched(NewestStepCells(*doc.History, JournalSide::Undo));
    }
}

TableRef Form1::shownTable() const { return session.table(Tab1->SelectedIndex()); }

void Form1::moveCursor(const CellRef& cell)
{
    session.SetCursor(cell.row, cell.col);
}

void Form1::tellDone(const QString& text) { statusBar()->showMessage(text, kStatusMessageMilliseconds); }

void Form1::tellRefusedChange(const Failure& why)
{
    dialogs_->showMessage(this, QStringLiteral("編集"), why.message(), QMessageBox::Warning);
}

bool Form1::takeTooLargeStep(const QString& title, int records)
{
    return dialogs_->ask(this, title, TooLargeToUndoQuestion(records, doc.History->Limit()), QMessageBox::Warning,
                         QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

bool Form1::textBoxActive() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus == txtForEdit || focus == Text1;
}

void Form1::FocusTab(int position) { Tab1->FocusTab(position); }

bool Form1::RevealCell(int tab, int dataSet, int row, int col)
{
    if (!FGrid1->isEnabled() && Combo1->count() < 1)
        return false; // no image open
    const RevealPlan plan = PlanReveal(doc, shownTable(), tab, dataSet, row, col);
    if (!plan.valid || !CommitCellEditor())
        return false;
    if (plan.changesTab) {
        // As a click on the tab: the strip's before-change first, then the change itself.
        bool cancel = false;
        Tab1_BeforeClick(&cancel);
        if (cancel)
            return false;
        session.AimReveal(plan);
        FocusTab(plan.tab - 1);
    } else if (plan.changesDataSet) {
        session.AimReveal(plan);
        setComboIndex(plan.dataSet);
    } else {
        session.AimReveal(plan);
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
    if ((undo ? doc.History->UndoCount() : doc.History->RedoCount()) == 0)
        return;
    SaveColumnWidths();
    const int shownTab = Tab1->SelectedIndex();
    const int shownDataSet = session.view().CurrentDataSet;
    session.BeforeStep(shownTab);
    const StepResult step = undo ? UndoStep(doc) : RedoStep(doc);
    if (step.kind != StepResult::Taken)
        return;
    session.AfterStep(shownTab, shownDataSet, {step.oldest.Tab, step.oldest.DataSet, step.oldest.Col, step.oldest.Row});
    if (step.rows)
        changesReset(true);
    else
        changesTouched(NewestStepCells(*doc.History, undo ? JournalSide::Redo : JournalSide::Undo));
    FocusTab(step.oldest.Tab - 1);
    // The tab strip's own notification may have switched already; the switch runs once.
    if (session.view().CurrentTab != Tab1->SelectedIndex())
        SwitchTab();
    FillGrid();
    const ViewState& view = session.view();
    if (view.CurrentCol >= 1 && view.CurrentCol < FGrid1->Cols())
        FGrid1->setCol(view.CurrentCol);
    if (view.CurrentRow >= 1 && view.CurrentRow < FGrid1->Rows())
        FGrid1->setRow(view.CurrentRow);
    FGrid1->setLeftCol(step.oldest.LeftCol);
    FGrid1->setTopRow(step.oldest.TopRow);
    FGrid1->setFocus();
    session.SetTab(Tab1->SelectedIndex());
    // A step in another data set of the tab shown fills the grid with it: the box follows,
    // as a follower, not as a choice that would store widths and fill again.
    const QSignalBlocker blocker(Combo1);
    Combo1->setCurrentIndex(session.DataSetItem(session.view().CurrentTab));
    session.EndStep();
}

void Form1::andou_Click() { takeStep(true); }
void Form1::redou_Click() { takeStep(false); }

void Form1::Cope_Click()
{
    if (textBoxActive() || !FGrid1->isVisible() || !FGrid1->isEnabled() || FGrid1->Row() < 1)
        return;
    moveCursor(CopyCells(clipboard_, doc, shownTable(), gridSelection()));
    putSelectionText(SelectionText(doc, shownTable(), gridSelection()));
}

void Form1::cut_Click()
{
    if (textBoxActive() || !FGrid1->isVisible() || !FGrid1->isEnabled() || FGrid1->Row() < 1)
        return;
    const QString text = SelectionText(doc, shownTable(), gridSelection()); // as shown before the cut
    const auto cut = [&](LargeStep large) { return CutCells(clipboard_, doc, shownTable(), gridSelection(), scrollPosition(), large); };
    Result<ClipboardWrite> done = cut(LargeStep::Refuse);
    if (done && done->write.result == CommitResult::TooLargeToUndo && takeTooLargeStep(QStringLiteral("セルを切り取り"), done->write.records))
        done = cut(LargeStep::Take);
    if (!done)
        tellRefusedChange(done.failure());
    if (!done || done->write.result != CommitResult::Changed)
        return;
    moveCursor(done->last);
    putSelectionText(text);
    cellsWritten();
}

void Form1::pest_Click()
{
    if (textBoxActive() || !FGrid1->isVisible() || !FGrid1->isEnabled() || FGrid1->Row() < 1)
        return;
    // A spreadsheet's copy since ZOR's own last one is what the user means to paste.
    if (clipboardTextIsForeign()) {
        pasteClipboardText();
        return;
    }
    if (clipboard_.empty())
        return;
    const auto paste = [&](LargeStep large) {
        return PasteCells(clipboard_, doc, shownTable(), FGrid1->Row(), FGrid1->Col(), {FGrid1->Rows(), FGrid1->Cols()},
                          scrollPosition(), large);
    };
    Result<ClipboardWrite> done = paste(LargeStep::Refuse);
    if (done && done->write.result == CommitResult::TooLargeToUndo && takeTooLargeStep(QStringLiteral("セルを貼り付け"), done->write.records))
        done = paste(LargeStep::Take);
    if (!done)
        tellRefusedChange(done.failure());
    if (!done || done->write.result != CommitResult::Changed)
        return;
    moveCursor(done->last);
    cellsWritten();
}

bool Form1::Save_Click()
{
    if (!CommitCellEditor())
        return false;
    if (!doc.History->Modified())
        return true;
    const Result<void> saved = [&] {
        const BusyCursor busy;
        return SaveDocument(doc);
    }();
    if (!saved)
        dialogs_->showMessage(this, QStringLiteral("上書き保存"), saved.failure().message(), QMessageBox::Warning);
    else {
        FGrid1->viewport()->update(); // the marks go with the new baseline
        changesReset();
        tellDone(QStringLiteral("上書き保存しました"));
    }
    return saved.ok();
}

void Form1::SaveAs_Click()
{
    if (!CommitCellEditor() || doc.RomPath.isEmpty())
        return;  // no image open
    const QString path = dialogs_->saveFileName(this, QStringLiteral("名前を付けて保存"), QString::fromUtf16(kRomFilter),
                                                SaveAsName(doc.RomPath));
    if (path.isEmpty())
        return;
    const Result<void> saved = [&] {
        const BusyCursor busy;
        return SaveDocumentAs(doc, path);
    }();
    if (!saved) {
        dialogs_->showMessage(this, QStringLiteral("名前を付けて保存"), saved.failure().message(), QMessageBox::Warning);
        return;
    }
    changesReset();
    rememberImage(doc.RomPath);
    titleFile_ = QFileInfo(doc.RomPath).fileName();
    showTitle();
    FGrid1->viewport()->update(); // the marks go with the new baseline
    tellDone(QStringLiteral("「%1」に保存しました").arg(QFileInfo(path).fileName()));
}

void Form1::MakePatch_Click()
{
    // The patch runs from the original to the image as saved: unsaved changes are asked about first.
    if (!CommitCellEditor() || doc.RomPath.isEmpty() || !ConfirmSave())
        return;
    QSettings settings;
    const QString original = dialogs_->openFileName(this, QStringLiteral("パッチの元にする、変更していないイメージ"),
                                                    QString::fromUtf16(kAllFilesFilter),
                                                    settings.value(kPatchOriginalKey).toString());
    if (original.isEmpty())
        return;
    settings.setValue(kPatchOriginalKey, original);
    const QFileInfo edited(doc.RomPath);
    QString chosen;
    QString out = dialogs_->saveFileName(this, QStringLiteral("パッチを保存"), QString::fromUtf16(kPatchFilter),
                                         edited.dir().filePath(edited.completeBaseName() + QStringLiteral(".bps")), &chosen);
    if (out.isEmpty())
        return;
    // The name decides the format; a name without one takes the filter's.
    const bool ips = out.endsWith(QStringLiteral(".ips"), Qt::CaseInsensitive)
                     || (QFileInfo(out).suffix().isEmpty() && chosen.endsWith(QStringLiteral("*.ips")));
    if (QFileInfo(out).suffix().isEmpty())
        out += ips ? QStringLiteral(".ips") : QStringLiteral(".bps");
    const Result<PatchWritten> written = [&] {
        const BusyCursor busy;
        return WritePatchFile(original, doc.RomPath, out, ips ? PatchFormat::Ips : PatchFormat::Bps,
                              {.guarded = OpenImageFiles(doc.RomPath), .skipIdentical = true});
    }();
    QString message = written ? written->message : written.failure().message();
    if (doc.History->Modified()) // the save question answered no
        message += QStringLiteral("\n保存していない変更はパッチに入っていません。");
    dialogs_->showMessage(this, QStringLiteral("パッチを作成"), message, written ? QMessageBox::Information : QMessageBox::Warning);
}

void Form1::rowCommand(bool insert)
{
    if (!CommitCellEditor() || !FGrid1->isEnabled())
        return;
    const int tab = Tab1->SelectedIndex();
    const int row = FGrid1->Row();
    session.SetCursorCol(FGrid1->Col());
    const Result<RowResult> done =
        insert ? InsertBattleRow(doc, session.view(), tab, row) : DeleteBattleRow(doc, session.view(), tab, row);
    if (!done) {
        dialogs_->showMessage(this, insert ? QStringLiteral("行を追加する") : QStringLiteral("行を削除する"), done.failure().message(),
                              QMessageBox::Warning);
        return;
    }
    const RowResult& result = *done;
    if (result.kind != RowResult::Done)
        return;
    session.SetCursor(result.cursorRow, session.view().CurrentCol);
    changesReset(true);
    FillGrid();
    FGrid1->setLeftCol(result.leftCol);
    FGrid1->setTopRow(result.topRow);
    FGrid1->setFocus();
    // An insertion puts the copy at the cursor's place, before the record it copies.
    tellDone((insert ? QStringLiteral("レコード %1 を追加しました") : QStringLiteral("レコード %1 を削除しました")).arg(row));
}

void Form1::NewRow_Click() { rowCommand(true); }
void Form1::DeleteRow_Click() { rowCommand(false); }

void Form1::OpCSV_Click()
{
    if (!CommitCellEditor() || Combo1->count() == 0)
        return;  // no image read: no tables
    const QString folder = ProgramFolderInUse();
    CsvExportResult result;
    {
        const BusyCursor busy;
        result = ExportCsv(doc, folder);
    }
    if (!result.ok()) {
        dialogs_->showMessage(this, QStringLiteral("CSV で保存"), result.outcome.failure().message(), QMessageBox::Warning);
        return;
    }
    tellDone(QStringLiteral("CSVファイルを %1 に保存しました").arg(QDir::toNativeSeparators(folder)));
    if (!result.notes.isEmpty())
        dialogs_->showMessage(this, QStringLiteral("CSV で保存"),
                              QStringLiteral("書き出しました。読めない文字は「?」にしました。\n") + result.notes.join(u'\n'),
                              QMessageBox::Information);
}

// The change list.

void Form1::createChangesPanel()
{
    ShowChanges->setCheckable(true);
    Changes = new ChangesPanel(doc, this);
    addDockWidget(Qt::RightDockWidgetArea, Changes);
    Changes->hide();
    // Closed by its own button, the menu item follows; tied to the item, which may go first when the window goes.
    connect(Changes, &QDockWidget::visibilityChanged, ShowChanges,
            [item = ShowChanges, dock = Changes] { item->setChecked(!dock->isHidden()); });
    connect(Changes, &ChangesPanel::revealRequested, this,
            [this](int tab, int dataSet, int row, int col) { guarded([&] { static_cast<void>(RevealCell(tab, dataSet, row, col)); }); });
}

void Form1::ShowChanges_Click() { showPane(Changes, ShowChanges->isChecked(), PixelsX(kChangesPaneWidth), Qt::Horizontal); }

void Form1::showPane(QDockWidget* pane, bool show, int firstPixels, Qt::Orientation orientation)
{
    if (show == !pane->isHidden())
        return;
    // The pane comes beside or under the tables: a window that isn't maximised grows by it
    // rather than squeezing the grid, and shrinks again when it goes. A pane floating apart
    // took no room from the window, and gives none back.
    const bool across = orientation == Qt::Horizontal;
    const bool resizable = !isMaximized() && !isFullScreen() && !pane->isFloating();
    const auto grow = [&](int by) { across ? resize(width() + by, height()) : resize(width(), height() + by); };
    if (!show) {
        pane->hide();
        // Back by what the window grew for the pane, and no more.
        const int grown = std::exchange(paneGrowth_[pane], 0);
        if (resizable && grown > 0)
            grow(-grown);
        return;
    }
    // The window grows only as far as the screen's available area reaches; the rest of
    // the pane's room comes from the grid.
    int grown = 0;
    if (resizable) {
        const int room = firstPixels + style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
        const QRect available = screen()->availableGeometry();
        const QRect frame = frameGeometry();
        grown = std::clamp(across ? available.right() - frame.right() : available.bottom() - frame.bottom(), 0, room);
        grow(grown);
    }
    paneGrowth_[pane] = grown;
    pane->show();
    resizeDocks({pane}, {firstPixels}, orientation);
}

void Form1::changesTouched(const std::vector<CellRef>& cells)
{
    labelsTouched(cells);
    Changes->touched(cells);
    valuesTouched(cells);
}

void Form1::changesReset(bool battleOnly)
{
    Changes->reset(battleOnly);
    valuesReset();
}

} // namespace zor
