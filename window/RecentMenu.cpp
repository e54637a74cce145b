#include "window/RecentMenu.h"

#include "core/recent/RecentFiles.h"
#include "window/CellEditing.h"
#include "window/Form1.h"
#include "window/Menus.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QSettings>

namespace zor {

namespace {

// A path as a menu shows it: the home folder as "~", so that the names stay readable.
QString Shown(const QString& path)
{
    const QString home = QDir::homePath();
    return path.startsWith(home + u'/') ? u'~' + path.mid(home.size()) : path;
}

} // namespace

RecentMenu::RecentMenu(Form1& form) : form_(form)
{
    // Above the separator before 終了, below プログラムフォルダを選ぶ….
    QMenu* file = form.menus().menu("File");
    QAction* quit = form.menus().action("Quit");
    menu_ = new QMenu(QStringLiteral(u"最近使ったファイル"), file);
    menu_->setObjectName(QStringLiteral("RecentMenu"));
    menu_->setToolTipsVisible(true); // the whole paths of an entry cut short
    menu_->menuAction()->setObjectName(QStringLiteral("RecentFiles"));
    const QList<QAction*> fileItems = file->actions();
    const qsizetype quitAt = fileItems.indexOf(quit);
    file->insertMenu(quitAt > 0 && fileItems[quitAt - 1]->isSeparator() ? fileItems[quitAt - 1] : quit, menu_);
    clear_ = new QAction(QStringLiteral(u"履歴を消去"), &form);
    clear_->setObjectName(QStringLiteral("ClearRecent"));
    connect(clear_, &QAction::triggered, this, [this] { form_.runGuarded([this] { clear(); }); });
    connect(menu_, &QMenu::aboutToShow, this, [this] { form_.runGuarded([this] { fill(); }); });
    fill();
}

void RecentMenu::fill()
{
    menu_->clear(); // clear_ belongs to the window and survives
    QSettings settings;
    const RecentFiles list = RecentFiles::Load(settings);
    // A long path is cut in its middle, keeping its start and its file name; the whole is the tooltip.
    const QFontMetrics metrics = menu_->fontMetrics();
    const int room = metrics.averageCharWidth() * kRecentPathChars;
    const auto cut = [&](const QString& path) { return metrics.elidedText(Shown(path), Qt::ElideMiddle, room); };
    int number = 0;
    for (const RecentFile& entry : list.entries()) {
        // A '&' in a path is shown, not taken as the item's key.
        QString where = QStringLiteral("%1（プログラムフォルダ %2）").arg(cut(entry.image), cut(entry.programFolder));
        QAction* action = menu_->addAction(QStringLiteral("&%1 ").arg(++number) + where.replace(u'&', QStringLiteral("&&")));
        action->setToolTip(QStringLiteral("%1\nプログラムフォルダ %2").arg(entry.image, entry.programFolder));
        connect(action, &QAction::triggered, this, [this, entry] { form_.runGuarded([&] { open(entry.image, entry.programFolder); }); });
    }
    if (list.entries().empty())
        menu_->addAction(QStringLiteral(u"（なし）"))->setEnabled(false);
    menu_->addSeparator();
    menu_->addAction(clear_);
    clear_->setEnabled(!list.entries().empty());
}

void RecentMenu::open(const QString& image, const QString& programFolder)
{
    if (!form_.editing().commit())
        return;
    if (!QFileInfo::exists(image)) {
        QSettings settings;
        RecentFiles list = RecentFiles::Load(settings);
        list.remove(image);
        list.store(settings);
        fill();
        form_.dialogs().showMessage(&form_, QStringLiteral("最近使ったファイル"),
                                    QStringLiteral("%1 はもうありません。一覧から外しました。").arg(image), QMessageBox::Warning);
        return;
    }
    if (form_.ConfirmSave())
        static_cast<void>(form_.OpenRom(image, programFolder));
}

void RecentMenu::clear()
{
    QSettings settings;
    RecentFiles().store(settings);
    fill();
}

void RecentMenu::rememberImage(const QString& path)
{
    QSettings settings;
    RecentFiles list = RecentFiles::Load(settings);
    list.add(path, form_.control().ProgramFolderInUse());
    list.store(settings);
    settings.setValue(kImageFolderKey, QFileInfo(path).absolutePath());
    fill();
}

QString RecentMenu::imageDialogFolder() const
{
    const QString open = form_.control().document().RomPath;
    if (!open.isEmpty())
        return QFileInfo(open).absolutePath();
    const QString last = QSettings().value(kImageFolderKey).toString();
    return QFileInfo(last).isDir() ? last : QString();
}

} // namespace zor
