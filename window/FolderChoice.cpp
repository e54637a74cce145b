#include "window/FolderChoice.h"

#include "core/files/ProgramFolder.h"
#include "window/CellEditing.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/Menus.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace zor {

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

} // namespace

FolderChoice::FolderChoice(Form1& form) : form_(form)
{
    // Above the separator before 終了.
    QMenu* file = form.menus().menu("File");
    QAction* quit = form.menus().action("Quit");
    const QList<QAction*> fileItems = file->actions();
    const qsizetype quitAt = fileItems.indexOf(quit);
    QAction* before = quitAt > 0 && fileItems[quitAt - 1]->isSeparator() ? fileItems[quitAt - 1] : quit;
    auto* choose = new QAction(QStringLiteral(u"プログラムフォルダを選ぶ…"), &form);
    choose->setObjectName(QStringLiteral("ChooseFolder"));
    connect(choose, &QAction::triggered, this, [this] { form_.runGuarded([this] { ChooseProgramFolder_Click(); }); });
    file->insertAction(before, choose);

    // The hint covers the empty grid, so that no empty grid shows around it; beside it
    // rather than in it, so that it isn't drawn disabled with it; clicks go through to the grid.
    startHint_ = new HintLabel(form.centralWidget());
    startHint_->setObjectName(QStringLiteral("StartHint"));
    startHint_->setWordWrap(true);
    startHint_->setAlignment(Qt::AlignCenter);
    startHint_->setAutoFillBackground(true);
    startHint_->setContentsMargins(form.PixelsX(300), 0, form.PixelsX(300), 0);
    startHint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    new Overlay(startHint_, &form.grid());
    startHint_->hide();

    // A permanent widget: messages on the status bar leave it in place.
    shown_ = new QLabel(&form);
    shown_->setObjectName(QStringLiteral("ProgramFolderShown"));
    form.statusBar()->addPermanentWidget(shown_);
}

void FolderChoice::ShowProgramFolderState()
{
    // The window as it stays first, then the message over it.
    showProgramFolder();
    const ProgramFolderChoice choice = ChooseProgramFolder();
    if (!choice.writable)
        form_.dialogs().showMessage(&form_, QStringLiteral("プログラムフォルダ"),
                                    choice.writable.failure().message()
                                        + QStringLiteral("\nイメージの読み込みと保存はできますが、表の設定と CSV はこのフォルダに書けません。"),
                                    QMessageBox::Warning);
}

void FolderChoice::showProgramFolder()
{
    const QString folder = form_.control().ProgramFolderInUse();
    // Short, so that the cell's description keeps the bar: the path cut in its middle, whole in the tooltip.
    const QString shown = QDir::toNativeSeparators(folder);
    const QFontMetrics metrics = shown_->fontMetrics();
    shown_->setText(metrics.elidedText(shown, Qt::ElideMiddle, metrics.averageCharWidth() * kStatusFolderChars));
    shown_->setToolTip(QStringLiteral("プログラムフォルダ: ") + shown);
    const bool show = form_.control().document().RomPath.isEmpty() && !HoldsDefinitions(folder);
    if (show)
        startHint_->setHint(QStringLiteral("定義がありません。ヘルプ →「サンプルを開く」で試すか、\nモードのフォルダを次のフォルダに置いてください。"),
                            QDir::toNativeSeparators(folder));
    startHint_->setVisible(show);
}

void FolderChoice::ChooseProgramFolder_Click()
{
    if (!form_.editing().commit())
        return;
    Controller& control = form_.control();
    const QString folder = form_.dialogs().folderName(&form_, QStringLiteral("プログラムフォルダを選ぶ"), control.ProgramFolderInUse());
    if (folder.isEmpty())
        return;
    const QString chosen = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    // The open image is read again with the folder's definitions, as a user who chose it means.
    if (control.ReopensWith(chosen)) {
        if (!form_.ConfirmSave())
            return;
        control.ChooseProgramFolder(chosen);
        const QString image = control.document().RomPath; // a copy: the read replaces the document's
        static_cast<void>(form_.OpenRom(image, chosen));
    } else {
        control.ChooseProgramFolder(chosen);
    }
    showProgramFolder();
}

} // namespace zor
