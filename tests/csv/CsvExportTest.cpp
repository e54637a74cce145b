#include "core/document/ReadImage.h"
#include "core/csv/CsvExport.h"

#include "tests/support/ModeFolder.h"
#include "tests/support/HandTables.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Cp932;

// Data sets クラス (the last ID nameless), 空 (no section) and 表 (a comma in a name, an
// empty caption, one section per notation); two individual entries; three battle captions.
// No DefaultNotation, so sections without their own show hexadecimal.
class CsvExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.writeMode(u"mode"_s, uR"(
            クラス.idn          なし|戦士|僧侶|
            クラス.sna          100|HP|
            空.idn              a|b
            空.sna
            表.idn              いち|に,さん
            表.sna              200|ちから|210||220|まもり|
            表.ini              [Notation]|Section1=16|Section2=10|Section3=-10|
            個別データ.sna      300|お金|301|レベル|
            個別データ.ini      [Notation]|Section1=7|Section2=-10|
            敵パラメータ.sna    0|クラス|1|力|2|速さ|
            敵パラメータ.ini    [Notation]|Section2=10|Section3=-10|
        )"_s, {});
        QByteArray image(0x400, '\0');
        image.replace(0x200, 2, "\x0A\xFF").replace(0x210, 1, "\x80").replace(0x220, 2, "\xFF\x0A").replace(0x300, 2, "\x0A\xFF");
        LoadDocument(doc, home.file(u"x.rom"_s), image, home.path());
        ASSERT_EQ(doc.DataSets(3).Name, u"表"_s);
        // Records of classes 1, 2 and 10 (no row of names), then 0xFF twice and 22 zeros.
        test::SetBattleRecords(doc, 3, [](int c, int r) { return c == 1 ? std::array{1, 2, 10}[r - 1] : c <= 3 ? 0xFF : 0; });
    }

    QString csv(const QString& name) const { return home.file(name + u".csv"_s); }

    test::ProgramFolder home;
    DocumentState doc;
};

// Why an export stopped; empty when it didn't.
QString Error(const CsvExportResult& result) { return result.ok() ? QString() : result.outcome.failure().message(); }

TEST_F(CsvExport, EveryTableInEachNotation)
{
    // The texts of 0x0A, 0xFF, 0x80 and 0 in a fixed notation; none: each section's own.
    for (const auto& [notation, ten, ff, x80, zero] :
         {std::tuple{u"CSVNotation=10"_s, u"10"_s, u"255"_s, u"128"_s, u"0"_s}, {u"CSVNotation=16"_s, u"A"_s, u"FF"_s, u"80"_s, u"0"_s},
          {u"CSVNotation=-10"_s, u"10"_s, u"-1"_s, u"-128"_s, u"0"_s}, {u"CSVNotation=016"_s, {}, {}, {}, {}}, {u";"_s, {}, {}, {}, {}}}) {
        SCOPED_TRACE(notation.toStdString());
        test::WriteZorIni(home.path(), u"mode"_s, {notation});
        home.writeBytes(u"表.csv"_s, QByteArray(4096, 'x')); // an older, longer file is replaced, not appended to
        const CsvExportResult result = ExportCsv(doc, home.path());
        ASSERT_TRUE(result.ok()) << Error(result).toStdString();
        EXPECT_EQ(result.written, (QStringList{csv(u"クラス"_s), csv(u"空"_s), csv(u"表"_s), csv(u"個別データ"_s), csv(u"敵パラメータ"_s)}));
        const auto v = [&](const QString& fixed, const QString& own) { return ten.isEmpty() ? own : fixed; };
        const QString z = v(zero, u"0x00"_s);
        EXPECT_EQ(home.readBytes(u"クラス.csv"_s), Cp932(u"ID,HP\r\nなし,%1\r\n戦士,%1\r\n僧侶,%1\r\n,%1\r\n"_s.arg(z)));
        EXPECT_EQ(home.readBytes(u"空.csv"_s), "ID\r\na\r\nb\r\n");
        EXPECT_EQ(home.readBytes(u"表.csv"_s), Cp932(u"ID,ちから,,まもり\r\nいち,%1,%2,%3\r\nに,さん,%4,%5,%6\r\n"_s.arg(
                                                  v(ten, u"0x0A"_s), v(x80, u"128"_s), v(ff, u"-1"_s), v(ff, u"0xFF"_s),
                                                  v(zero, u"0"_s), v(ten, u"10"_s))));
        // No header line; the unknown code 7 shows hexadecimal.
        EXPECT_EQ(home.readBytes(u"個別データ.csv"_s), Cp932(u"お金,%1\r\nレベル,%2\r\n"_s.arg(v(ten, u"0x0A"_s), v(ff, u"-1"_s))));
        // Labels as the grid shows them: the class's name, empty for a class without one.
        QString battle = u"ID,クラス,力,速さ"_s + QString(22, u',') + u"\r\n"_s;
        for (const auto& [label, classText] : {std::pair{u"戦士"_s, v(u"1"_s, u"0x01"_s)}, {u"僧侶"_s, v(u"2"_s, u"0x02"_s)},
                                               {QString(), v(ten, u"0x0A"_s)}})
            battle += QStringList{label, classText, v(ff, u"255"_s), v(ff, u"-1"_s)}.join(u',') + u',' + QStringList(22, z).join(u',') + u"\r\n"_s;
        EXPECT_EQ(home.readBytes(u"敵パラメータ.csv"_s), Cp932(battle));
    }
}

TEST_F(CsvExport, AFolderThatCantBeWritten)
{
    home.writeBytes(u"plain"_s, "a file, not a folder");
    const CsvExportResult result = ExportCsv(doc, home.path(), home.file(u"plain/out"_s));
    EXPECT_TRUE(result.written.isEmpty());
    EXPECT_TRUE(Error(result).startsWith(home.file(u"plain/out/クラス.csv を書けません（"_s)) && !Error(result).endsWith(u"（）。"_s))
        << Error(result).toStdString();
}

TEST_F(CsvExport, NeverOverTheOpenImageItsBackupOrAPipe)
{
    home.writeBytes(u"x.rom"_s, "the image");
    home.writeBytes(u"x.rom.bak"_s, "its backup");
    ASSERT_EQ(mkfifo(QFile::encodeName(csv(u"表"_s)).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(home.file(u"x.rom.bak"_s), csv(u"空"_s)));
    ASSERT_TRUE(QFile::link(home.file(u"x.rom"_s), csv(u"クラス"_s)));
    for (const auto& [name, reason, before] : {std::tuple{u"クラス"_s, u"開いているイメージ"_s, 0},
                                               {u"空"_s, u"開いているイメージのバックアップ"_s, 1},
                                               {u"表"_s, u"通常のファイルではありません"_s, 2}}) {
        const CsvExportResult result = ExportCsv(doc, home.path());
        EXPECT_EQ(result.written.size(), before);
        EXPECT_TRUE(Error(result).startsWith(csv(name)) && Error(result).contains(reason)) << Error(result).toStdString();
        ASSERT_TRUE(QFile::remove(csv(name)));
    }
    EXPECT_EQ(home.readBytes(u"x.rom"_s), "the image");
    EXPECT_EQ(home.readBytes(u"x.rom.bak"_s), "its backup");
    EXPECT_TRUE(ExportCsv(doc, home.path()).ok());
}

TEST_F(CsvExport, ANameWithoutACp932FormStopsBeforeItsFile)
{
    // The data set's name or a name inside the file: that file is refused and its old contents
    // stay whole; the files before it are written, none after it.
    for (const auto& [name, file, before] :
         {std::tuple{&doc.DataSets(2).Name, u"空"_s, 1}, {&doc.DataSets(1).IdNames(3), u"クラス"_s, 0}, {&doc.DataSets(3).IdNames(2), u"表"_s, 2},
          {&doc.DataSets(3).SectionNames(3), u"表"_s, 2}, {&doc.IndividualNames(2), u"個別データ"_s, 3},
          {&doc.BattleSectionNames(25), u"敵パラメータ"_s, 4}}) {
        SCOPED_TRACE(file.toStdString());
        const QString kept = std::exchange(*name, *name + u"☃"_s);
        const QString path = csv(name == &doc.DataSets(2).Name ? *name : file);
        home.writeBytes(QFileInfo(path).fileName(), "old");
        const CsvExportResult result = ExportCsv(doc, home.path());
        EXPECT_EQ(Error(result), u"%1 を書けません（「%2」に Shift-JIS（CP932）で書けない文字があります）。"_s.arg(path, *name));
        *name = kept;
        EXPECT_EQ(home.readBytes(QFileInfo(path).fileName()), "old");
        EXPECT_EQ(result.written.size(), before);
    }
}

TEST_F(CsvExport, UnreadableCharactersAreWrittenAsQuestionMarksAndNoted)
{
    // What a load makes of bytes that are not CP932: U+FFFD, here in an ID name (line 3 of
    // 表.csv, twice on one line) and an entry name (line 2 of 個別データ.csv).
    doc.DataSets(3).IdNames(2) = u"に\uFFFDさ\uFFFD"_s;
    doc.IndividualNames(2) = u"\uFFFD"_s;
    const CsvExportResult result = ExportCsv(doc, home.path());
    EXPECT_TRUE(result.ok()) << Error(result).toStdString();
    EXPECT_EQ(result.written.size(), 5);
    EXPECT_EQ(result.notes, (QStringList{u"表.csv:3: 読めない文字を「?」にして書きました。"_s,
                                         u"個別データ.csv:2: 読めない文字を「?」にして書きました。"_s}));
    EXPECT_EQ(home.readBytes(u"表.csv"_s).split('\n').value(2).split(',').value(0), Cp932(u"に?さ?"_s));
    EXPECT_TRUE(home.readBytes(u"個別データ.csv"_s).contains("\r\n?,"));

    // A character with no CP932 form beside it is still refused.
    doc.IndividualNames(2) = u"\uFFFD☃"_s;
    EXPECT_FALSE(ExportCsv(doc, home.path()).ok());
}

} // namespace
} // namespace zor
