#include "window/PatchCommand.h"

#include "core/edit/EditHistory.h"
#include "core/files/SaveFile.h"
#include "core/patch/PatchFile.h"
#include "window/CellEditing.h"
#include "window/Form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>

namespace zor {

void PatchCommand::MakePatch_Click()
{
    // The patch runs from the original to the image as saved: unsaved changes are asked about first.
    const QString image = form_.control().document().RomPath;
    if (!form_.editing().commit() || image.isEmpty() || !form_.ConfirmSave())
        return;
    Dialogs& dialogs = form_.dialogs();
    QSettings settings;
    const QString original = dialogs.openFileName(&form_, QStringLiteral("パッチの元にする、変更していないイメージ"),
                                                  QString::fromUtf16(kAllFilesFilter), settings.value(kPatchOriginalKey).toString());
    if (original.isEmpty())
        return;
    settings.setValue(kPatchOriginalKey, original);
    const QFileInfo edited(image);
    QString chosen;
    QString out = dialogs.saveFileName(&form_, QStringLiteral("パッチを保存"), QString::fromUtf16(kPatchFilter),
                                       edited.dir().filePath(edited.completeBaseName() + QStringLiteral(".bps")), &chosen);
    if (out.isEmpty())
        return;
    // The name decides the format; a name without one takes the filter's.
    const bool ips = out.endsWith(QStringLiteral(".ips"), Qt::CaseInsensitive)
                     || (QFileInfo(out).suffix().isEmpty() && chosen.endsWith(QStringLiteral("*.ips")));
    if (QFileInfo(out).suffix().isEmpty())
        out += ips ? QStringLiteral(".ips") : QStringLiteral(".bps");
    const Result<PatchWritten> written = [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        return WritePatchFile(original, image, out, ips ? PatchFormat::Ips : PatchFormat::Bps,
                              {.guarded = OpenImageFiles(image), .skipIdentical = true});
    }();
    QString message = written ? written->message : written.failure().message();
    if (form_.control().document().History->Modified()) // the save question answered no
        message += QStringLiteral("\n保存していない変更はパッチに入っていません。");
    dialogs.showMessage(&form_, QStringLiteral("パッチを作成"), message, written ? QMessageBox::Information : QMessageBox::Warning);
}

} // namespace zor
