#include "window/Form1.h"

#include "window/FlexGrid.h"
#include "window/TabStrip.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace zor {

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
    resize(PixelsX(kClientWidth), PixelsY(kClientHeight) + menuBar()->sizeHint().height());
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
    placeTwips(Tab1, 120, 1200, kClientWidth - 240, kClientHeight);

    FGrid1 = new FlexGrid(client);
    FGrid1->setObjectName(QStringLiteral("FGrid1"));
    placeTwips(FGrid1, 240, 1560, kClientWidth - 480, kClientHeight - 1630);
    FGrid1->setRows(2);
    FGrid1->setCols(2);
    FGrid1->raise();  // over the tab strip's page, never under it

    Combo1 = new QComboBox(client);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(PixelsX(240), PixelsY(360), PixelsX(1815), Combo1->sizeHint().height());

    Text1 = new QPlainTextEdit(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    placeTwips(Text1, 2400, 0, kClientWidth - 3500, 1000);

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();

    txtForEdit = new QLineEdit(client);
    txtForEdit->setObjectName(QStringLiteral("txtForEdit"));
    txtForEdit->hide();
}

void Form1::createMenus()
{
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* created = menuBar()->addMenu(caption);
        created->setObjectName(QLatin1StringView(name));
        return created;
    };
    auto item = [this](QMenu* parentMenu, const char* name, const QString& caption, const QKeySequence& shortcut,
                       auto handler) {
        QAction* action = parentMenu->addAction(caption);
        action->setObjectName(QLatin1StringView(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const QKeySequence none;

    File = menu("File", QStringLiteral(u"ファイル"));
    Read = item(File, "Read", QStringLiteral(u"読み込む"), QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::Read_Click);
    SaveAs = item(File, "SaveAs", QStringLiteral(u"名前を付けて保存"), none, &Form1::SaveAs_Click);
    Save = item(File, "Save", QStringLiteral(u"上書き保存"), QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::Save_Click);
    Quit = item(File, "Quit", QStringLiteral(u"終了"), none, &Form1::Quit_Click);

    Edit = menu("Edit", QStringLiteral(u"編集"));
    andou = item(Edit, "andou", QStringLiteral(u"セルを元に戻す"), QKeySequence(Qt::CTRL | Qt::Key_Z), &Form1::andou_Click);
    redou = item(Edit, "redou", QStringLiteral(u"セルをやり直す"), QKeySequence(Qt::CTRL | Qt::Key_Y), &Form1::redou_Click);
    cut = item(Edit, "cut", QStringLiteral(u"セルを切り取り"), QKeySequence(Qt::CTRL | Qt::Key_X), &Form1::cut_Click);
    Cope = item(Edit, "Cope", QStringLiteral(u"セルをコピー"), QKeySequence(Qt::CTRL | Qt::Key_C), &Form1::Cope_Click);
    pest = item(Edit, "pest", QStringLiteral(u"セルを貼り付け"), QKeySequence(Qt::CTRL | Qt::Key_V), &Form1::pest_Click);
    NewRow = item(Edit, "NewRow", QStringLiteral(u"行を追加する"), none, &Form1::NewRow_Click);
    DeleteRow = item(Edit, "DeleteRow", QStringLiteral(u"行を削除する"), none, &Form1::DeleteRow_Click);

    Hyo = menu("Hyo", QStringLiteral(u"表示"));
    NotationHex = item(Hyo, "NotationHex", QStringLiteral(u"選択セクションを16進数表記"), none, &Form1::NotationHex_Click);
    NotationCodeDec = item(Hyo, "NotationCodeDec", QStringLiteral(u"選択セクションを符号付き10進数表記"), none,
                           &Form1::NotationCodeDec_Click);
    NotationDec = item(Hyo, "NotationDec", QStringLiteral(u"選択セクションを符号無し10進数表記"), none, &Form1::NotationDec_Click);

    Date = menu("Date", QStringLiteral(u"データ"));
    OpCSV = item(Date, "OpCSV", QStringLiteral(u"全データをCSVで保存"), none, &Form1::OpCSV_Click);
}

void Form1::Form_Load()
{
    FGrid1->setEnabled(false);
    FGrid1->setColAlignment(0, 0);
    doc.BaseRowHeight = FGrid1->RowHeight(0);
    FGrid1->setRowHeight(0, 2 * doc.BaseRowHeight);  // room for two-line section captions
    LabelGridHeaders();
    Text1->setEnabled(false);
    setWindowTitle(QStringLiteral("ZOR"));
    doc.RecordCountChanged = false;
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

    const int tabWidth = w >= 240 ? w - 240 : 0;
    const int tabHeight = h >= 240 ? h : 0;
    Tab1->resize(PixelsX(tabWidth), PixelsY(tabHeight));

    const int gridWidth = tabWidth >= 240 ? tabWidth - 240 : 0;
    const int gridHeight = tabHeight >= 1630 ? tabHeight - 1630 : 0;
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
    if (!doc.Modified)
        return true;
    const QMessageBox::StandardButton answer =
        dialogs_->ask(this, QStringLiteral(u"保存確認"), QStringLiteral(u"データが更新されています。保存しますか？"),
                      QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
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
    if (!ConfirmSave())
        return;
    quitting_ = true;
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (quitting_ || ConfirmSave())
        event->accept();
    else
        event->ignore();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::Read_Click() {}
void Form1::SaveAs_Click() {}
bool Form1::Save_Click() { return !doc.Modified; }
void Form1::andou_Click() {}
void Form1::redou_Click() {}
void Form1::cut_Click() {}
void Form1::Cope_Click() {}
void Form1::pest_Click() {}
void Form1::NewRow_Click() {}
void Form1::DeleteRow_Click() {}
void Form1::NotationHex_Click() {}
void Form1::NotationCodeDec_Click() {}
void Form1::NotationDec_Click() {}
void Form1::OpCSV_Click() {}

} // namespace zor
