#include "cli/ExportCsvCommand.h"
#include "cli/SampleCommand.h"
#include "core/sample/Sample.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Call;
using test::CommandRun;
using test::Cp932;

QStringList CsvFiles(const QString& folder) { return QDir(folder).entryList({u"*.csv"_s}, QDir::Files, QDir::Name); }

TEST(ExportCsvCommand, TheSampleIntoTheProgramFolderOrAnother)
{
    test::ProgramFolder home;
    ASSERT_EQ(Call(RunSample, {home.path()}).status, 0);
    const QString rom = home.file(SampleImageName());
    const CommandRun run = Call(RunExportCsv, {u"--home"_s, home.path(), rom});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString(); // the sample loads without problems
    EXPECT_EQ(CsvFiles(home.path()).size(), 5);
    // Without CSVNotation every section keeps its own notation: unsigned, hexadecimal, signed.
    EXPECT_EQ(home.readBytes(u"クラス.csv"_s).split('\n').value(2), Cp932(u"戦士,19,4,6,5,11,3,0x05,-1\r"_s));
    EXPECT_TRUE(home.readBytes(u"個別データ.csv"_s).startsWith(Cp932(u"初期所持金（下位）,0x10\r\n"_s)));
    EXPECT_GE(home.readBytes(u"敵パラメータ.csv"_s).count("\r\n"), 1 + 314);

    // --out takes the files elsewhere, into folders made when missing; the notation still
    // comes from the program folder's ZOR.ini.
    test::WriteZorIni(home.path(), SampleModeName(), {u"DefaultNotation=16"_s, u"CSVNotation=16"_s});
    test::ProgramFolder other;
    const QString out = other.file(u"csv/new"_s);
    ASSERT_EQ(Call(RunExportCsv, {rom, u"--out"_s, out, u"--home"_s, home.path()}).status, 0);
    EXPECT_EQ(CsvFiles(out), CsvFiles(home.path()));
    EXPECT_TRUE(other.readBytes(u"csv/new/個別データ.csv"_s).startsWith(Cp932(u"初期所持金（下位）,10\r\n"_s)));
    EXPECT_TRUE(home.readBytes(u"個別データ.csv"_s).startsWith(Cp932(u"初期所持金（下位）,0x10\r\n"_s)));
}

TEST(ExportCsvCommand, WarningsAndFailures)
{
    test::ProgramFolder home;
    ASSERT_EQ(Call(RunSample, {home.path()}).status, 0);
    const QString rom = home.file(SampleImageName());
    // An image too small for the tables, and a byte that is not CP932 at the start of the
    // first ID name of クラス: warnings, and the export goes on.
    home.writeBytes(u"tiny.rom"_s, "\x01");
    const QString idn = SampleModeName() + u"/クラス.idn"_s;
    home.writeBytes(idn, "\xFF" + home.readBytes(idn));
    const CommandRun tiny = Call(RunExportCsv, {u"--home"_s, home.path(), home.file(u"tiny.rom"_s)});
    EXPECT_EQ(tiny.status, 0);
    EXPECT_TRUE(tiny.err.startsWith(u"警告: "_s) && tiny.err.contains(u"警告: クラス.csv:2: 読めない文字を「?」にして書きました。"_s))
        << tiny.err.toStdString();
    EXPECT_EQ(CsvFiles(home.path()).size(), 5);
    EXPECT_TRUE(home.readBytes(u"クラス.csv"_s).split('\n').value(1).startsWith(Cp932(u"?（なし）,"_s)));

    const CommandRun blocked = Call(RunExportCsv, {u"--home"_s, home.path(), u"--out"_s, home.file(u"tiny.rom/csv"_s), rom});
    EXPECT_TRUE(blocked.status == 1 && blocked.err.contains(u"保存先のフォルダ %1 を作れません"_s.arg(home.file(u"tiny.rom/csv"_s))))
        << blocked.err.toStdString();
    EXPECT_EQ(Call(RunExportCsv, {u"--home"_s, home.path(), home.path()}).status, 1); // a folder is no image
}

} // namespace
} // namespace zor
