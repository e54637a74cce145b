// The ヘルプ menu, the empty window's hint and the place of the desktop's parts in the
// window: the sample, the about box, the program folder in use.

#include "core/about/Version.h"
#include "core/files/ProgramFolder.h"
#include "core/sample/Sample.h"
#include "window/CellEditor.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/NoteEdit.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QUrl>
#include <QEvent>

namespace zor {

namespace {

// Keeps a widget over a sibling's area as the sibling moves and resizes.
class Overlay : public QObject {
public:
    Overlay(QWidget* over, QWidget* under) : QObject(over), over_(over), under_(under)
    {
        under->installEventFilter(this);
        follow();
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
            follow();
        return false;
    }

private:
    void follow()
    {
        over_->setGeometry(under_->geometry());
        over_->raise();
    }

    QWidget* over_;
    QWidget* under_;
};

// The empty window's hint: lines of text and a folder's path on a line of its own, cut in
// its middle to the hint's width, never broken across lines.
class HintLabel : public QLabel {
public:
    using QLabel::QLabel;

    void setHint(const QString& message, const QString& path)
    {
        message_ = message;
        path_ = path;
        fit();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        fit();
    }

private:
    void fit()
    {
        const int room = std::max(0, contentsRect().width() - 2 * margin() - 2);
        setText(message_ + u'\n' + fontMetrics().elidedText(path_, Qt::ElideMiddle, room));
    }

    QString message_;
    QString path_;
};

} // namespace

void Form1::createDesktopParts()
{
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (Form1::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1StringView(name));
        connect(action, &QAction::triggered, this, [this, handler] { runGuarded([&] { (this->*handler)(); }); });
        return action;
    };

    // ファイル → プログラムフォルダを選ぶ… and 最近使ったファイル, above the separator before 終了.
    RecentMenu = new QMenu(QStringLiteral(u"最近使ったファイル"), File);
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    RecentMenu->setToolTipsVisible(true); // the whole paths of an entry cut short
    RecentMenu->menuAction()->setObjectName(QStringLiteral("RecentFiles"));
    const QList<QAction*> fileItems = File->actions();
    const qsizetype quitAt = fileItems.indexOf(Quit);
    QAction* before = quitAt > 0 && fileItems[quitAt - 1]->isSeparator() ? fileItems[quitAt - 1] : Quit;
    ChooseFolder = new QAction(QStringLiteral(u"プログラムフォルダを選ぶ…"), this);
    ChooseFolder->setObjectName(QStringLiteral("ChooseFolder"));
    connect(ChooseFolder, &QAction::triggered, this, [this] { runGuarded([this] { ChooseProgramFolder_Click(); }); });
    File->insertAction(before, ChooseFolder);
    File->insertMenu(before, RecentMenu);
    ClearRecent = new QAction(QStringLiteral(u"履歴を消去"), this);
    ClearRecent->setObjectName(QStringLiteral("ClearRecent"));
    connect(ClearRecent, &QAction::triggered, this, [this] { runGuarded([this] { ClearRecent_Click(); }); });
    // Another ZOR may have opened files since: the list is read anew each time it opens.
    connect(RecentMenu, &QMenu::aboutToShow, this, [this] { runGuarded([this] { fillRecentMenu(); }); });
    fillRecentMenu();

    Help = menuBar()->addMenu(QStringLiteral(u"ヘルプ"));
    Help->setObjectName(QStringLiteral("Help"));
    OpenSample = item(Help, "OpenSample", QStringLiteral(u"サンプルを開く"), &Form1::OpenSample_Click);
    OpenProgramFolder = item(Help, "OpenProgramFolder", QStringLiteral(u"プログラムフォルダを開く"),
                             &Form1::OpenProgramFolder_Click);
    Help->addSeparator();
    About = item(Help, "About", QStringLiteral(u"バージョン情報"), &Form1::About_Click);

    // The hint covers the empty grid, so that no empty grid shows around it; beside it
    // rather than in it, so that it isn't drawn disabled with it; clicks go through to the grid.
    StartHint = new HintLabel(centralWidget());
    StartHint->setObjectName(QStringLiteral("StartHint"));
    StartHint->setWordWrap(true);
    StartHint->setAlignment(Qt::AlignCenter);
    StartHint->setAutoFillBackground(true);
    StartHint->setContentsMargins(PixelsX(300), 0, PixelsX(300), 0);
    StartHint->setAttribute(Qt::WA_TransparentForMouseEvents);
    new Overlay(StartHint, FGrid1);
    StartHint->hide();

    // A permanent widget: messages on the status bar leave it in place.
    ProgramFolderShown = new QLabel(this);
    ProgramFolderShown->setObjectName(QStringLiteral("ProgramFolderShown"));
    statusBar()->addPermanentWidget(ProgramFolderShown);

    setAcceptDrops(true);
    // The text boxes would take a dropped file's path as text; the window opens it instead.
    Text1->setAcceptDrops(false);
    txtForEdit->setAcceptDrops(false);
}

QString Form1::ProgramFolderInUse() const
{
    return programFolder_.isEmpty() ? ProgramFolderToOpen(chosenFolder_, QString(), [] { return ProgramFolder(); })
                                    : programFolder_;
}

void Form1::ShowProgramFolderState()
{
    // The window as it stays first, then the message over it.
    showProgramFolder();
    const ProgramFolderChoice choice = ChooseProgramFolder();
    if (!choice.writable)
        dialogs_->showMessage(this, QStringLiteral("プログラムフォルダ"),
                              choice.writable.failure().message()
                                  + QStringLiteral("\nイメージの読み込みと保存はできますが、表の設定と CSV はこのフォルダに書けません。"),
                              QMessageBox::Warning);
}

void Form1::ShowSettingsProblem(const QString& problem)
{
    if (!problem.isEmpty())
        dialogs_->showMessage(this, QStringLiteral("設定"), problem, QMessageBox::Warning);
}

void Form1::showProgramFolder()
{
    const QString folder = ProgramFolderInUse();
    // Short, so that the cell's description keeps the bar: the path cut in its middle, whole in the tooltip.
    const QString shown = QDir::toNativeSeparators(folder);
    const QFontMetrics metrics = ProgramFolderShown->fontMetrics();
    ProgramFolderShown->setText(metrics.elidedText(shown, Qt::ElideMiddle, metrics.averageCharWidth() * kStatusFolderChars));
    ProgramFolderShown->setToolTip(QStringLiteral("プログラムフォルダ: ") + shown);
    const bool show = doc.RomPath.isEmpty() && !HoldsDefinitions(folder);
    if (show)
        static_cast<HintLabel*>(StartHint)
            ->setHint(QStringLiteral("定義がありません。ヘルプ →「サンプルを開く」で試すか、\nモードのフォルダを次のフォルダに置いてください。"),
                      QDir::toNativeSeparators(folder));
    StartHint->setVisible(show);
}

void Form1::OpenSample_Click()
{
    if (!CommitCellEditor() || !ConfirmSave())
        return;
    // Beside the user's own program folder, not in it: its ZOR.ini stays the user's.
    const QString folder = JoinPath(UserDataFolder(), QStringLiteral("sample"));
    const Result<int> written = [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        return CompleteSampleFolder(folder);
    }();
    if (!written) {
        dialogs_->showMessage(this, QStringLiteral("サンプルを開く"),
                              QStringLiteral("サンプルを書けません。\n") + written.failure().message(), QMessageBox::Warning);
        return;
    }
    static_cast<void>(OpenRom(JoinPath(folder, SampleImageName()), folder));
}

void Form1::ChooseProgramFolder_Click()
{
    if (!CommitCellEditor())
        return;
    const QString folder = dialogs_->folderName(this, QStringLiteral("プログラムフォルダを選ぶ"), ProgramFolderInUse());
    if (folder.isEmpty())
        return;
    const QString chosen = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    // The open image is read again with the folder's definitions, as a user who chose it means.
    if (!doc.RomPath.isEmpty() && chosen != programFolder_) {
        if (!ConfirmSave())
            return;
        chosenFolder_ = chosen;
        const QString image = doc.RomPath; // a copy: the read replaces the document's
        static_cast<void>(OpenRom(image, chosen));
    } else {
        chosenFolder_ = chosen;
    }
    showProgramFolder();
}

void Form1::OpenProgramFolder_Click()
{
    const QString folder = ProgramFolderInUse();
    if (!QFileInfo(folder).isDir())
        dialogs_->showMessage(this, QStringLiteral("プログラムフォルダを開く"),
                              QStringLiteral("プログラムフォルダ %1 がありません。").arg(folder), QMessageBox::Warning);
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        dialogs_->showMessage(this, QStringLiteral("プログラムフォルダを開く"),
                              QStringLiteral("プログラムフォルダ %1 を開けません。ファイルマネージャーで開いてください。").arg(folder),
                              QMessageBox::Warning);
}

QString Form1::AboutText() const
{
    return QStringLiteral("ZOR %1\nROM イメージのデータ表エディタ\n\nQt %2\nプログラムフォルダ: %3\nライセンス: %4")
        .arg(ZorVersion(), QString::fromLatin1(qVersion()), ProgramFolderInUse(), QString::fromLatin1(kLicense));
}

void Form1::About_Click()
{
    dialogs_->showMessage(this, QStringLiteral("バージョン情報"), AboutText(), QMessageBox::Information);
}

} // namespace zor
