// zor-cli: the headless companion of the editor, for scripts.

#include "cli/BattleCommand.h"
#include "cli/CheckCommand.h"
#include "cli/DiffCommand.h"
#include "cli/DumpCommand.h"
#include "cli/ExportCsvCommand.h"
#include "cli/ImportCsvCommand.h"
#include "cli/PatchCommand.h"
#include "cli/SampleCommand.h"
#include "core/about/ApplicationNames.h"
#include "core/about/Version.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

QString Usage()
{
    return QStringLiteral("使い方: zor-cli check [--home DIR] [--json]\n"
                          "        zor-cli dump [--home DIR] ROM [--json]\n"
                          "        zor-cli diff [--home DIR] OLD NEW [--json]\n"
                          "        zor-cli export-csv [--home DIR] [--out DIR] ROM\n"
                          "        zor-cli import-csv [--home DIR] [--in DIR] [--dry-run] [--json] ROM\n"
                          "        zor-cli battle ROM [--json]\n"
                          "        zor-cli sample [--force] DIR\n"
                          "        zor-cli patch [--ips] ORIGINAL EDITED OUT\n"
                          "        zor-cli apply PATCH ORIGINAL OUT\n"
                          "        zor-cli checksum [--fix] ROM\n");
}

// --help: the usage and what each command does. The manual page is made from it.
QString Help()
{
    return Usage() + QStringLiteral("        zor-cli --help | --version\n"
                                    "\n"
                                    "ZOR の ROM イメージのデータ表を、画面を開かずにスクリプトから扱います。\n"
                                    "\n"
                                    "  check       プログラムフォルダの定義を読み、データセットと問題を表示します\n"
                                    "  dump        イメージを定義どおりに読み、表をすべて表示します\n"
                                    "  diff        二つのイメージを表ごとに比べ、違うセルを表示します\n"
                                    "  export-csv  表をすべて CSV（Shift-JIS、CRLF）に書き出します\n"
                                    "  import-csv  CSV を確かめて読み込み、--dry-run がなければ ROM に保存します\n"
                                    "  battle      戦闘パラメータの 314 ブロックを解いて表示します\n"
                                    "  sample      サンプルのプログラムフォルダとイメージを DIR に書きます\n"
                                    "  patch       ORIGINAL を EDITED にする BPS（--ips で IPS）パッチを書きます\n"
                                    "  apply       パッチを当てたイメージを OUT に書きます\n"
                                    "  checksum    ヘッダのチェックサムを確かめ、--fix で書き直します\n"
                                    "\n"
                                    "--json は結果を UTF-8 の JSON で表示します。プログラムフォルダは --home、\n"
                                    "なければ環境変数 ZOR_HOME、なければ定義（ZOR.ini かモードの定義）がある\n"
                                    "ときの実行ファイルのフォルダ、なければ利用者のデータフォルダ\n"
                                    "（~/.local/share/ZOR/zor）です。終了状態はおおむね、0 が成功、1 が問題や\n"
                                    "違いのあるとき、2 が使い方の誤りや読めない入力のときです。\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    zor::SetApplicationNames();
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    int status = 2;
    if (command == QStringLiteral("check"))
        status = zor::RunCheck(args, out, err);
    else if (command == QStringLiteral("battle"))
        status = zor::RunBattle(args, out, err);
    else if (command == QStringLiteral("dump"))
        status = zor::RunDump(args, out, err);
    else if (command == QStringLiteral("diff"))
        status = zor::RunDiff(args, out, err);
    else if (command == QStringLiteral("export-csv"))
        status = zor::RunExportCsv(args, out, err);
    else if (command == QStringLiteral("import-csv"))
        status = zor::RunImportCsv(args, out, err);
    else if (command == QStringLiteral("sample"))
        status = zor::RunSample(args, out, err);
    else if (command == QStringLiteral("patch"))
        status = zor::RunPatch(args, out, err);
    else if (command == QStringLiteral("apply"))
        status = zor::RunApply(args, out, err);
    else if (command == QStringLiteral("checksum"))
        status = zor::RunChecksum(args, out, err);
    else if (command == QStringLiteral("--version") && args.isEmpty()) {
        out << zor::VersionLine(QStringLiteral("zor-cli")) << u'\n';
        status = 0;
    } else if ((command == QStringLiteral("--help") || command == QStringLiteral("-h")) && args.isEmpty()) {
        out << Help();
        status = 0;
    } else
        err << Usage();
    out.flush();
    err.flush();
    return status;
}
