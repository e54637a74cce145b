#include "cli/SampleCommand.h"

#include "core/sample/Sample.h"

#include <QDir>

namespace zor {

int RunSample(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1 || args[0].isEmpty() || args[0].startsWith(u'-')) {
        err << QStringLiteral("使い方: zor-cli sample DIR\n");
        return 2;
    }
    const QString folder = QDir(args[0]).absolutePath();
    QString error;
    const int written = WriteSampleFolder(folder, &error);
    if (written < 0) {
        err << error << u'\n';
        return 1;
    }
    out << QStringLiteral("サンプルを %1 に書きました（%2 個のファイル、モード「%3」、イメージ %4）。\n")
               .arg(folder)
               .arg(written)
               .arg(SampleModeName(), SampleImageName());
    return 0;
}

} // namespace zor
