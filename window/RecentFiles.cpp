// ファイル → 最近使ったファイル, and the folder the image dialogs start in. Both live in
// the user's settings, not in ZOR.ini: they belong to the user, not to a program folder.

#include "core/recent/RecentFiles.h"
#include "window/Form1.h"

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

void Form1::fillRecentMenu()
{
    RecentMenu->clear(); // ClearRecent belongs to the window and survives
    QSettings settings;
    const RecentFiles list = RecentFiles::Load(settings);
    // A long path is cut in its middle, keeping its start and its file name; the whole is the tooltip.
    const QFontMetrics metrics = RecentMenu->fontMetrics();
    const int room = metrics.averageCharWidth() * kRecentPathChars;
    const auto cut = [&](const QString& path) { return metrics.elidedText(Shown(path), Qt::ElideMiddle, room); };
    int number = 0;
    for (const RecentFile& entry : list.entries()) {
        // A '&' in a path is shown, not taken as the item's key.
        QString where = QStringLiteral("%1（プログラムフォルダ %2）").arg(cut(entry.image), cut(entry.programFolder));
        QAction* action = RecentMenu->addAction(QStringLiteral("&%1 ").arg(++number) + where.replace(u'&', QStringLiteral("&&")));
        action->setToolTip(QStringLiteral("%1\nプログラムフォルダ %2").arg(entry.image, entry.programFolder));
        connect(action, &QAction::triggered, this, [this, entry] { runGuarded([&] { openRecent(entry.image, entry.programFolder); }); });
    }
    if (list.entries().empty())
        RecentMenu->addAction(QStringLiteral(u"（なし）"))->setEnabled(false);
    RecentMenu->addSeparator();
    RecentMenu->addAction(ClearRecent);
    ClearRecent->setEnabled(!list.entries().empty());
}

void Form1::openRecent(const QString& image, const QString& programFolder)
{
    if (!CommitCellEditor())
        return;
    if (!QFileInfo::exists(image)) {
        QSettings settings;
        RecentFiles list = RecentFiles::Load(settings);
        list.remove(image);
        list.store(settings);
        fillRecentMenu();
        dialogs_->showMessage(this, QStringLiteral("最近使ったファイル"),
                              QStringLiteral("%1 はもうありません。一覧から外しました。").arg(image), QMessageBox::Warning);
        return;
    }
    if (ConfirmSave())
        static_cast<void>(OpenRom(image, programFolder));
}

void Form1::ClearRecent_Click()
{
    QSettings settings;
    RecentFiles().store(settings);
    fillRecentMenu();
}

void Form1::rememberImage(const QString& path)
{
    QSettings settings;
    RecentFiles list = RecentFiles::Load(settings);
    list.add(path, ProgramFolderInUse());
    list.store(settings);
    settings.setValue(kImageFolderKey, QFileInfo(path).absolutePath());
    fillRecentMenu();
}

QString Form1::imageDialogFolder() const
{
    if (!doc.RomPath.isEmpty())
        return QFileInfo(doc.RomPath).absolutePath();
    const QString last = QSettings().value(kImageFolderKey).toString();
    return QFileInfo(last).isDir() ? last : QString();
}

} // namespace zor
