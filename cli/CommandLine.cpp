#include "cli/CommandLine.h"

#include "cli/BattleCommand.h"
#include "cli/CheckCommand.h"
#include "cli/DiffCommand.h"
#include "cli/DumpCommand.h"
#include "cli/ExportCsvCommand.h"
#include "cli/ImportCsvCommand.h"
#include "cli/PatchCommand.h"
#include "cli/SampleCommand.h"
#include "core/about/Version.h"
#include "core/files/Text.h"

#include <map>

namespace zor {

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

int RunCommandLine(QStringList args, QTextStream& out, QTextStream& err)
{
    using Command = int (*)(const QStringList&, QTextStream&, QTextStream&);
    static const std::map<QString, Command> commands{
        {QStringLiteral("check"), RunCheck},           {QStringLiteral("battle"), RunBattle},
        {QStringLiteral("dump"), RunDump},             {QStringLiteral("diff"), RunDiff},
        {QStringLiteral("export-csv"), RunExportCsv},  {QStringLiteral("import-csv"), RunImportCsv},
        {QStringLiteral("sample"), RunSample},         {QStringLiteral("patch"), RunPatch},
        {QStringLiteral("apply"), RunApply},           {QStringLiteral("checksum"), RunChecksum},
    };
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (const auto found = commands.find(command); found != commands.end())
        return found->second(args, out, err);
    const bool version = command == QStringLiteral("--version");
    const bool help = command == QStringLiteral("--help") || command == QStringLiteral("-h");
    if (version && args.isEmpty()) {
        out << VersionLine(QStringLiteral("zor-cli")) << u'\n';
        return 0;
    }
    if (help && args.isEmpty()) {
        out << Help();
        return 0;
    }
    if (!command.isEmpty() && !version && !help)
        err << QStringLiteral("不明なコマンドです: %1\n").arg(QuoteText(command));
    err << Usage();
    return 2;
}

} // namespace zor
