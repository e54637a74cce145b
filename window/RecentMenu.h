#pragma once

// ファイル → 最近使ったファイル, and the folder the image dialogs start in. Both live in
// the user's settings, not in ZOR.ini: they belong to the user, not to a program folder.

#include <QObject>

class QAction;
class QMenu;
class QString;

namespace zor {

class Form1;

class RecentMenu : public QObject {
public:
    explicit RecentMenu(Form1& form);

    // An image opened or saved: into the list, and its folder for the dialogs.
    void rememberImage(const QString& path);
    // Where the open and save dialogs start: the open image's folder, else the last one used.
    QString imageDialogFolder() const;

    // The user's settings key of the folder the image dialogs start in while no image is open.
    static constexpr char kImageFolderKey[] = "files/lastFolder";
    static constexpr int kRecentPathChars = 40; // average characters a recent entry's path shows at most

private:
    // The list is read anew each time the menu opens: another ZOR may have opened files since.
    void fill();
    void open(const QString& image, const QString& programFolder);
    void clear();

    Form1& form_;
    QMenu* menu_ = nullptr;
    QAction* clear_ = nullptr;
};

} // namespace zor
