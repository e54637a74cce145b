#include "window/HelpMenu.h"

#include "core/about/Version.h"
#include "core/files/ProgramFolder.h"
#include "core/sample/Sample.h"
#include "window/CellEditing.h"
#include "window/Form1.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QUrl>

namespace zor {

HelpMenu::HelpMenu(Form1& form) : form_(form)
{
    QMenu* help = form.menuBar()->addMenu(QStringLiteral(u"ヘルプ"));
    help->setObjectName(QStringLiteral("Help"));
    const auto item = [&](const char* name, const QString& caption, void (HelpMenu::*handler)()) {
        QAction* action = help->addAction(caption);
        action->setObjectName(QLatin1StringView(name));
        connect(action, &QAction::triggered, this, [this, handler] { form_.runGuarded([&] { (this->*handler)(); }); });
    };
    item("OpenSample", QStringLiteral(u"サンプルを開く"), &HelpMenu::OpenSample_Click);
    item("OpenProgramFolder", QStringLiteral(u"プログラムフォルダを開く"), &HelpMenu::OpenProgramFolder_Click);
    help->addSeparator();
    item("About", QStringLiteral(u"バージョン情報"), &HelpMenu::About_Click);
}

void HelpMenu::OpenSample_Click()
{
    if (!form_.editing().commit() || !form_.ConfirmSave())
        return;
    // Beside the user's own program folder, not in it: its ZOR.ini stays the user's.
    const QString folder = JoinPath(UserDataFolder(), QStringLiteral("sample"));
    const Result<int> written = [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        return CompleteSampleFolder(folder);
    }();
    if (!written) {
        form_.dialogs().showMessage(&form_, QStringLiteral("サンプルを開く"),
                                    QStringLiteral("サンプルを書けません。\n") + written.failure().message(), QMessageBox::Warning);
        return;
    }
    static_cast<void>(form_.OpenRom(JoinPath(folder, SampleImageName()), folder));
}

void HelpMenu::OpenProgramFolder_Click()
{
    const QString folder = form_.control().ProgramFolderInUse();
    if (!QFileInfo(folder).isDir())
        form_.dialogs().showMessage(&form_, QStringLiteral("プログラムフォルダを開く"),
                                    QStringLiteral("プログラムフォルダ %1 がありません。").arg(folder), QMessageBox::Warning);
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        form_.dialogs().showMessage(&form_, QStringLiteral("プログラムフォルダを開く"),
                                    QStringLiteral("プログラムフォルダ %1 を開けません。ファイルマネージャーで開いてください。").arg(folder),
                                    QMessageBox::Warning);
}

void HelpMenu::About_Click()
{
    form_.dialogs().showMessage(&form_, QStringLiteral("バージョン情報"), AboutText(), QMessageBox::Information);
}

QString HelpMenu::AboutText() const
{
    return QStringLiteral("ZOR %1\nROM イメージのデータ表エディタ\n\nQt %2\nプログラムフォルダ: %3\nライセンス: %4")
        .arg(ZorVersion(), QString::fromLatin1(qVersion()), form_.control().ProgramFolderInUse(), QString::fromLatin1(kLicense));
}

} // namespace zor
