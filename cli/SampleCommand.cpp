#include "cli/SampleCommand.h"

#include "core/sample/Sample.h"

#include <QDir>

namespace zor {

int RunSample(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList plain = args;
    const bool force = plain.removeAll(QStringLiteral("--force")) > 0;
    if (plain.size() != 1 || plain[0].isEmpty() || plain[0].startsWith(u'-')) {
        err << QStringLiteral("使い方: zor-cli sample [--force] DIR\n");
        return 2;
    }
    const QString folder = QDir(plain[0]).absolutePath();
    const Result<int> written = WriteSampleFolder(folder, force);
    if (!written) {
        err << written.failure().message() << u'\n';
        if (written.failure().kind == Failure::Kind::Exists)
            err << QStringLiteral("上書きするには --force を付けてください。\n");
        return 1;
    }
    out << QStringLiteral("サンプルを %1 に書きました（%2 個のファイル、モード「%3」、イメージ %4）。\n")
               .arg(folder)
               .arg(*written)
               .arg(SampleModeName(), SampleImageName());
    return 0;
}

} // namespace zor
