#include "core/csv/CsvExport.h"
#include "core/csv/CsvImport.h"
#include "core/document/ReadImage.h"
#include "core/edit/Journal.h"
#include "core/sample/Sample.h"

#include "tests/patch/PatchPairs.h"
#include "tests/support/HandTables.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/Succeeded.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <tuple>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Cp932;

// The mode below, without a DefaultNotation: sections without a notation of their own show hexadecimal.
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

// The files before the refused one stay; the .bak and pipes are the output check's tests.
TEST_F(CsvExport, NeverOverTheOpenImage)
{
    home.writeBytes(u"x.rom"_s, "the image");
    ASSERT_TRUE(QFile::link(home.file(u"x.rom"_s), csv(u"表"_s)));
    const CsvExportResult result = ExportCsv(doc, home.path());
    EXPECT_EQ(result.written.size(), 2);
    EXPECT_TRUE(Error(result).startsWith(csv(u"表"_s)) && Error(result).contains(u"開いているイメージ"_s)) << Error(result).toStdString();
    EXPECT_EQ(home.readBytes(u"x.rom"_s), "the image");
}

TEST_F(CsvExport, ANameWithoutACp932FormStopsBeforeItsFile)
{
    // A name of the data set, or inside its file: that file is refused, its old contents whole, the ones before it written.
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
    // U+FFFD is what a load makes of bytes that are not CP932.
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

// The sample (アイテム: 5 sections, クラス: 8, 魔法: 4; 5 entries), its files exported into out and read back.
class CsvImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::Succeeded(WriteSampleFolder(home.path())));
        ASSERT_TRUE(QDir(home.path()).mkdir(u"out"_s));
        const QString rom = home.file(SampleImageName());
        LoadDocument(doc, rom, *ReadRomImage(rom), home.path());
        ASSERT_TRUE(doc.Problems.empty()) << doc.Problems.text().toStdString();
        ASSERT_EQ(doc.DataSets(2).Name, u"クラス"_s);
    }

    void setNotation(const QString& line) const { test::WriteZorIni(home.path(), mode, {u"DefaultNotation=16"_s, line}); }

    void exportFiles() const
    {
        const CsvExportResult result = ExportCsv(doc, home.path(), home.file(u"out"_s));
        ASSERT_TRUE(result.ok()) << result.outcome.failure().message().toStdString();
    }

    CsvImportResult import() const { return ImportCsv(doc, home.path(), home.file(u"out"_s)); }

    QStringList lines(const QString& name) const { return DecodeCp932(home.readBytes(u"out/"_s + name)).text.split(u"\r\n"_s); }
    void writeLines(const QString& name, const QStringList& lines) const { home.writeBytes(u"out/"_s + name, Cp932(lines.join(u"\r\n"_s))); }
    // Field f (from 1) of line n (from 1) of a file, made text; the line's label has no comma.
    void setField(const QString& name, int n, int f, const QString& text) const
    {
        QStringList all = lines(name);
        QStringList fields = all[n - 1].split(u',');
        fields[f - 1] = text;
        all[n - 1] = fields.join(u',');
        writeLines(name, all);
    }

    test::ProgramFolder home;
    QString mode = SampleModeName();
    DocumentState doc;
};

TEST_F(CsvImport, AChangedValueReadsInTheFilesNotation)
{
    // "10" and "FF" in クラス's HP and MP of ID 0 read in the notation's own form, else by the cell editor's; nullopt: a problem.
    using Expected = std::tuple<QString, std::optional<int>, std::optional<int>>;
    for (const auto& [notation, ten, ff] : {Expected{u"CSVNotation=16"_s, 0x10, 0xFF}, Expected{u"CSVNotation=10"_s, 10, {}},
                                            Expected{u"CSVNotation=-10"_s, 10, {}}, Expected{u";"_s, 10, {}}}) {
        SCOPED_TRACE(notation.toStdString());
        setNotation(notation);
        exportFiles();
        setField(u"クラス.csv"_s, 2, 2, u"10"_s);
        setField(u"クラス.csv"_s, 2, 3, u"FF"_s);
        setField(u"クラス.csv"_s, 2, 9, u"-1"_s); // 成長型, signed: -1 in every notation
        const CsvImportResult changed = import();
        ASSERT_EQ(changed.changes.size(), std::size_t{1} + ff.has_value() + 1);
        EXPECT_EQ(std::tuple(changed.changes.front().newValue, changed.changes.back().newValue, changed.changes.back().field),
                  std::tuple(*ten, 0xFF, 9));
        if (!ff) {
            EXPECT_TRUE(changed.problems.lines().value(0).startsWith(u"クラス.csv:2:3: 「FF」は値として読めません"_s))
                << changed.summary().toStdString();
        }
    }
}

TEST_F(CsvImport, ChangesComeInFileOrderAndApplyAsOneUndoStep)
{
    setNotation(u";"_s);
    exportFiles();
    setField(u"敵パラメータ.csv"_s, 3, 4, u"0x7F"_s);
    setField(u"個別データ.csv"_s, 4, 2, u"-3"_s); // 難易度補正, 16-bit and signed
    setField(u"クラス.csv"_s, 3, 2, u"99"_s);
    const std::uint8_t battle = doc.BattleParams(3, 2);
    const CsvImportResult result = import();
    ASSERT_TRUE(result.ok()) << result.summary().toStdString();
    ASSERT_EQ(result.changes.size(), 3u);
    const auto where = [](const CsvChange& c) { return std::tuple(c.file, c.line, c.field, c.cell, c.oldValue, c.newValue); };
    EXPECT_EQ(where(result.changes[0]), std::tuple(u"クラス.csv"_s, 3, 2, CellRef{TabIdSection, 2, 1, 2}, 19u, 99u));
    EXPECT_EQ(where(result.changes[1]), std::tuple(u"個別データ.csv"_s, 4, 2, CellRef{TabIndividual, 0, 1, 4}, 0xFFFEu, 0xFFFDu));
    EXPECT_EQ(where(result.changes[2]), std::tuple(u"敵パラメータ.csv"_s, 3, 4, CellRef{TabBattle, 0, 3, 2}, std::uint32_t{battle}, 0x7Fu));

    const Result<WriteResult> applied = ApplyCsvImport(doc, result);
    ASSERT_EQ(applied->result, CommitResult::Changed);
    EXPECT_EQ(std::tuple(doc.History->NewestStepSize(JournalSide::Undo), doc.History->Modified()), std::tuple(3, true));
    EXPECT_TRUE(import().changes.empty()); // what the files hold is what the tables hold now
    UndoStep(doc);
    EXPECT_EQ(std::tuple(doc.History->Modified(), doc.BattleParams(3, 2), import().changes.size()), std::tuple(false, battle, std::size_t{3}));

    // A step larger than the history keeps is asked about first: nothing changes until it is taken.
    EditHistory small(2);
    small.TakeBaseline(doc);
    *doc.History = small;
    const Result<WriteResult> large = ApplyCsvImport(doc, result);
    EXPECT_EQ(std::tuple(large->result, large->records, doc.History->Modified()), std::tuple(CommitResult::TooLargeToUndo, 3, false));
    EXPECT_EQ(ApplyCsvImport(doc, result, LargeStep::Take)->result, CommitResult::Changed);
    EXPECT_EQ(doc.BattleParams(3, 2), 0x7F);
}

TEST_F(CsvImport, EveryProblemNamesFileLineAndFieldAndRefusesTheWhole)
{
    setNotation(u"CSVNotation=10"_s);
    doc.DataSets(1).IdNames(2) = u"短,剣"_s;
    exportFiles();
    // A spreadsheet took the comma for a separator and a value went missing: the label reads "短".
    QStringList items = lines(u"アイテム.csv"_s);
    items[2] = u"短,剣,1,2,3,4"_s;
    writeLines(u"アイテム.csv"_s, items);
    setField(u"クラス.csv"_s, 4, 1, u"剣豪"_s);
    QStringList spells = lines(u"魔法.csv"_s);
    spells[3].chop(2);                 // ",1": one value short
    spells.insert(spells.size() - 1, u"増えた,1,2,3,4"_s); // an extra line before the final break
    writeLines(u"魔法.csv"_s, spells);
    setField(u"個別データ.csv"_s, 1, 2, u"65536"_s); // past 16 bits
    setField(u"個別データ.csv"_s, 2, 2, u"１e2"_s);
    setField(u"敵パラメータ.csv"_s, 1, 5, u"力"_s);
    setField(u"敵パラメータ.csv"_s, 2, 2, u"0"_s);
    doc.IndividualAddressUnusable(3) = 1;
    setField(u"個別データ.csv"_s, 3, 2, u"2"_s); // entry 3 can't be written, and its value changes
    setField(u"個別データ.csv"_s, 4, 2, u"-2"_s); // a value already there

    const CsvImportResult result = import();
    QStringList where;
    for (const Problem& p : result.problems.items())
        where << u"%1:%2:%3"_s.arg(p.file).arg(p.line).arg(p.field);
    EXPECT_EQ(where, (QStringList{u"アイテム.csv:3:1"_s, u"クラス.csv:4:1"_s, u"魔法.csv:4:5"_s, u"魔法.csv:14:1"_s,
                                  u"個別データ.csv:1:2"_s, u"個別データ.csv:2:2"_s, u"個別データ.csv:3:2"_s,
                                  u"敵パラメータ.csv:1:5"_s, u"敵パラメータ.csv:2:2"_s}));
    const QStringList texts = result.problems.lines();
    EXPECT_TRUE(texts.value(0).contains(u"ID 1「短,剣」の行のはずが、ラベルが「短」です"_s)) << texts.value(0).toStdString();
    EXPECT_TRUE(texts.value(2).contains(u"値が足りません（4 個のはずが 3 個です）"_s)) << texts.value(2).toStdString();
    EXPECT_TRUE(texts.value(3).contains(u"余分な行です（13 行のはずが 14 行あります）"_s)) << texts.value(3).toStdString();
    EXPECT_TRUE(texts.value(6).contains(u"オフセットを読めないため、書けません"_s)) << texts.value(6).toStdString();
    EXPECT_TRUE(texts.value(7).contains(u"のはずが「ID,クラス,レベル,HP,力,"_s)) << texts.value(7).toStdString();

    const std::vector<std::uint8_t> bytes = doc.IdBytes(2).Elements();
    const Result<WriteResult> refused = ApplyCsvImport(doc, result);
    ASSERT_FALSE(refused);
    EXPECT_EQ(std::tuple(refused.failure().detail, doc.History->UndoCount()), std::tuple(result.summary(), 0));
    EXPECT_EQ(doc.IdBytes(2).Elements(), bytes);
}

TEST_F(CsvImport, AFileOfGarbageStopsTheCheckAtItsLimit)
{
    exportFiles();
    QStringList battle = lines(u"敵パラメータ.csv"_s);
    for (qsizetype i = 1; i + 1 < battle.size(); ++i)
        battle[i] = u"x"_s + QString(25, u',').replace(u","_s, u",x"_s);
    writeLines(u"敵パラメータ.csv"_s, battle);
    const CsvImportResult result = import();
    ASSERT_EQ(result.problems.items().size(), std::size_t{kMaxCsvProblems} + 1);
    EXPECT_TRUE(result.problems.items().back().message.contains(u"調べるのをやめました"_s));
    EXPECT_TRUE(result.summary().endsWith(u"ほか %1 件\n"_s.arg(kMaxCsvProblems + 1 - 20)));
}

TEST_F(CsvImport, WhatSpreadsheetsSaveReadsTheSame)
{
    doc.DataSets(2).IdNames(2) = u"戦\"士"_s;
    doc.DataSets(1).IdNames(3) = u"長～剣"_s;
    exportFiles();
    // Every field quoted (a quote doubled), UTF-8 with a byte order mark, LF, no final break.
    QStringList quoted;
    for (const QString& line : lines(u"クラス.csv"_s)) {
        QStringList fields;
        for (const QString& field : line.split(u','))
            fields << u'"' + QString(field).replace(u"\""_s, u"\"\""_s) + u'"';
        quoted << fields.join(u',');
    }
    home.writeBytes(u"out/クラス.csv"_s, "\xEF\xBB\xBF" + quoted.join(u'\n').chopped(3).toUtf8());
    // UTF-8 without a mark, 〜 as a JIS-minded program writes it; three empty lines at the end.
    QString items = lines(u"アイテム.csv"_s).join(u"\r\n"_s).replace(u'～', u'〜') + u"\r\n\r\n"_s;
    home.writeBytes(u"out/アイテム.csv"_s, items.toUtf8());
    const CsvImportResult result = import();
    EXPECT_TRUE(result.ok()) << result.summary().toStdString();
    EXPECT_TRUE(result.changes.empty());
    EXPECT_EQ(result.notes, (QStringList{u"アイテム.csv は UTF-8 として読みました。"_s, u"クラス.csv は UTF-8 として読みました。"_s}));
}

TEST_F(CsvImport, MissingFilesAreNotesAndNoneAtAllIsAProblem)
{
    exportFiles();
    ASSERT_TRUE(QFile::remove(home.file(u"out/魔法.csv"_s)));
    ASSERT_TRUE(QFile::remove(home.file(u"out/個別データ.csv"_s)) && QDir(home.path()).mkdir(u"out/個別データ.csv"_s));
    const CsvImportResult result = import();
    EXPECT_EQ(result.notes, QStringList{u"魔法.csv がないため、読みませんでした。"_s});
    EXPECT_EQ(result.problems.lines(), QStringList{u"個別データ.csv: 読めません（フォルダです）。"_s});

    const CsvImportResult none = ImportCsv(doc, home.path(), home.file(u"nothing"_s));
    EXPECT_EQ(std::tuple(none.notes.size(), none.problems.items().size()), std::tuple(5, std::size_t{1}));
}

TEST_F(CsvImport, AFileInAnyLetterCaseButNeverTwo)
{
    doc.DataSets(1).Name = u"a"_s; // names that differ only in letter case have a file each
    doc.DataSets(3).Name = u"A"_s;
    exportFiles();
    ASSERT_TRUE(QFile::rename(home.file(u"out/クラス.csv"_s), home.file(u"out/クラス.CSV"_s)));
    const CsvImportResult renamed = import();
    EXPECT_TRUE(renamed.ok() && renamed.changes.empty() && renamed.notes.isEmpty()) << renamed.summary().toStdString();

    exportFiles(); // クラス.csv beside クラス.CSV: which one is meant?
    EXPECT_EQ(import().problems.lines(),
              QStringList{u"クラス.csv: 名前が大文字と小文字だけ違うファイル（クラス.CSV、クラス.csv）のどれを読むか決められません。一つだけにしてください。"_s});
}

TEST_F(CsvImport, AUtf16FileIsNamedSo)
{
    exportFiles();
    const QString text = DecodeCp932(home.readBytes(u"out/クラス.csv"_s)).text;
    QStringEncoder le(QStringEncoder::Utf16LE);
    QStringEncoder be(QStringEncoder::Utf16BE);
    for (const QByteArray& bytes : {"\xFF\xFE" + QByteArray(le(text)), "\xFE\xFF" + QByteArray(be(text)), QByteArray(le(text))}) {
        home.writeBytes(u"out/クラス.csv"_s, bytes);
        EXPECT_EQ(import().problems.lines(), QStringList{u"クラス.csv: UTF-16 で保存されています。Shift-JIS か UTF-8 で保存してください。"_s});
    }
}

// Cells of 2, 3 and 4 bytes, an ID of 名 and flags in 品; a signed 16-bit entry; battle fields 1 and 3 of two bytes
// (bytes 2 and 4 inside them) and byte 5 an ID of 名. Own notations: 16 by default, 三 10, 四 and 金 -10.
class TypedCsv : public CsvImport {
protected:
    void SetUp() override
    {
        mode = u"m"_s;
        home.writeMode(mode, uR"(
            名.idn            無|火|水|火
            名.sna
            品.idn            甲|乙
            品.sna            100|二|110|三|120|四|130|名前|140|旗|
            品.ini            [Step]|Section1=4|Section2=4|Section3=4|Section4=4|Section5=4|[Size]|Section1=2|Section2=3|Section3=4|[Notation]|Section2=10|Section3=-10|[Names]|Section4=名|[Bits]|Section5=a,b|
            個別データ.sna    200|金|
            個別データ.ini    [Size]|Section1=2|[Notation]|Section1=-10|
            敵パラメータ.ini  [Size]|Section1=2|Section3=2|[Names]|Section5=名|
        )"_s);
        ASSERT_TRUE(QDir(home.path()).mkdir(u"out"_s));
        QByteArray image(0x300, '\0');
        image.replace(0x100, 2, "\x34\x12").replace(0x104, 2, QByteArray("\x05\x00", 2)).replace(0x110, 3, "\xEF\xCD\xAB");
        image.replace(0x120, 4, "\xFE\xFF\xFF\xFF").replace(0x124, 4, QByteArray("\x00\x00\x00\x80", 4));
        image.replace(0x130, 1, "\x02").replace(0x134, 1, "\x07").replace(0x140, 1, "\x03").replace(0x144, 1, "\x80");
        image.replace(0x200, 2, "\x9C\xFF");
        LoadDocument(doc, home.file(u"x.rom"_s), image, home.path());
        test::SetBattleRecords(doc, 1, [](int c, int) { return c <= 5 ? std::array{1, 2, 0x34, 0x12, 1}[c - 1] : 0; });
    }
};

TEST_F(TypedCsv, ValuesAreWrittenWholeInEachNotationAndReadBack)
{
    // 品's two lines, 金, and the record's first five fields; never a name, inner battle bytes as bytes.
    const QString zeros = QString(20, u',').replace(u","_s, u",0"_s);
    for (const auto& [notation, items, money, record] :
         {std::tuple(u"CSVNotation=16"_s, u"甲,1234,ABCDEF,FFFFFFFE,2,3|乙,5,0,80000000,7,80"_s, u"FF9C"_s, u",201,2,1234,12,1"_s + zeros),
          std::tuple(u"CSVNotation=10"_s, u"甲,4660,11259375,4294967294,2,3|乙,5,0,2147483648,7,128"_s, u"65436"_s, u",513,2,4660,18,1"_s + zeros),
          std::tuple(u"CSVNotation=-10"_s, u"甲,4660,-5517841,-2,2,3|乙,5,0,-2147483648,7,-128"_s, u"-100"_s, u",513,2,4660,18,1"_s + zeros),
          std::tuple(u";"_s, u"甲,0x1234,11259375,-2,0x02,0x03|乙,0x0005,0,-2147483648,0x07,0x80"_s, u"-100"_s,
                     u",0x0201,0x02,0x1234,0x12,0x01"_s + QString(20, u',').replace(u","_s, u",0x00"_s))}) {
        SCOPED_TRACE(notation.toStdString());
        setNotation(notation);
        exportFiles();
        EXPECT_EQ(lines(u"品.csv"_s).mid(1, 2).join(u'|'), items);
        EXPECT_EQ(lines(u"個別データ.csv"_s).value(0), u"金,"_s + money);
        EXPECT_EQ(lines(u"敵パラメータ.csv"_s).value(1), record);
        const CsvImportResult same = import();
        EXPECT_TRUE(same.ok() && same.changes.empty()) << same.summary().toStdString();
    }
}

TEST_F(TypedCsv, TheImportReadsValuesOfTheSizeAndNamesInANamesColumn)
{
    // In "-10": 三 and 四 at the ends of their ranges, 名前 by a name two IDs share (the first) and by a number,
    // 金 by a hexadecimal text; field 3 of the record with its inner byte 2 unchanged.
    setNotation(u"CSVNotation=-10"_s);
    exportFiles();
    setField(u"品.csv"_s, 2, 3, u"-8388608"_s);
    setField(u"品.csv"_s, 2, 4, u"2147483647"_s);
    setField(u"品.csv"_s, 2, 5, u"火"_s);
    setField(u"品.csv"_s, 3, 5, u"3"_s);
    setField(u"個別データ.csv"_s, 1, 2, u"0x7FFF"_s);
    setField(u"敵パラメータ.csv"_s, 2, 4, u"-2"_s);
    const CsvImportResult result = import();
    ASSERT_TRUE(result.ok()) << result.summary().toStdString();
    std::vector<std::tuple<int, int, std::uint32_t>> changes; // column, row, value
    for (const CsvChange& c : result.changes)
        changes.emplace_back(c.cell.col, c.cell.row, c.newValue);
    EXPECT_EQ(changes, (std::vector<std::tuple<int, int, std::uint32_t>>{
                           {2, 1, 0x800000u}, {3, 1, 0x7FFFFFFFu}, {4, 1, 1u}, {4, 2, 3u}, {1, 1, 0x7FFFu}, {3, 1, 0xFFFEu}}));

    // Out of each size's range, an inner byte changed, a first byte of 0: problems naming file, line and field.
    setField(u"品.csv"_s, 2, 2, u"65536"_s);
    setField(u"品.csv"_s, 3, 3, u"-8388609"_s);
    setField(u"個別データ.csv"_s, 1, 2, u"-32769"_s);
    setField(u"敵パラメータ.csv"_s, 2, 5, u"17"_s);
    setField(u"敵パラメータ.csv"_s, 2, 2, u"768"_s);
    const QStringList texts = import().problems.lines();
    ASSERT_EQ(texts.size(), 5) << texts.join(u'\n').toStdString();
    for (const auto& [k, start] : {std::pair(0, u"品.csv:2:2: 「65536」は値として読めません（使える形: −32768〜32767、"_s), {1, u"品.csv:3:3: "_s},
                                   {2, u"個別データ.csv:1:2: 「-32769」"_s},
                                   {3, u"敵パラメータ.csv:2:2: レコード 1 の最初のバイト（値 0x0300 の下位バイト）を 0 にはできません"_s},
                                   {4, u"敵パラメータ.csv:2:5: 戦闘パラメータのバイト 4 はバイト 3 から始まる 2 バイト"_s}})
        EXPECT_TRUE(texts[k].startsWith(start)) << texts[k].toStdString();
}

// Random definitions, image and battle records for one seed: the export of any reads back as no change.
class RandomDefinitions {
public:
    // Each seed names things from its own few pieces: some files hold only ASCII, some one kind of character.
    explicit RandomDefinitions(unsigned seed) : random_(seed)
    {
        for (const QByteArray& piece : {QByteArray("a"), QByteArray(","), QByteArray("\""), QByteArray("\"\""), QByteArray(" "),
                                        QByteArray("\t"), QByteArray("?"), QByteArray(",\""), Cp932(u"剣"_s), QByteArray("\x80"),
                                        Cp932(u"燿ｱ"_s)})
            if (pick(1) == 1)
                pieces_.push_back(piece);
    }

    // A few pieces, often none: commas, quotes, blanks, bytes not CP932, characters whose bytes are UTF-8 too (燿ｱ).
    QByteArray name()
    {
        QByteArray text;
        for (int n = pieces_.empty() ? 0 : pick(4); n > 0; --n)
            text += pieces_[static_cast<std::size_t>(pick(static_cast<int>(pieces_.size()) - 1))];
        return text;
    }

    static QByteArray lines(const QList<QByteArray>& lines, bool finalBreak)
    {
        return lines.join("\r\n") + (finalBreak && !lines.isEmpty() ? "\r\n" : "");
    }

    // Offset and name pairs, an offset now and then unreadable.
    QByteArray pairs(int count)
    {
        QList<QByteArray> text;
        for (int q = 0; q < count; ++q)
            text << (pick(8) == 0 ? QByteArray("G") : QByteArray::number(pick(kImageSize - 1), 16)) << name();
        return lines(text, true);
    }

    // Notation codes of sections 1..count (a section without one takes DefaultNotation), steps, and now and then
    // a size (one wider than its step is a problem, a byte), the name of a data set or flags.
    QByteArray settings(int count)
    {
        static const std::vector<QByteArray> codes{"16", "10", "-10", "0", "7"};
        QList<QByteArray> text{"[Notation]"};
        for (int q = 1; q <= count; ++q)
            if (pick(5) > 0)
                text << "Section" + QByteArray::number(q) + "=" + codes[static_cast<std::size_t>(pick(4))];
        text << "[Step]";
        for (int q = 1; q <= count; ++q)
            text << "Section" + QByteArray::number(q) + "=" + QByteArray::number(pick(3) + 1);
        for (const QByteArray& group : {QByteArray("[Size]"), QByteArray("[Names]"), QByteArray("[Bits]")}) {
            text << group;
            for (int q = 1; q <= count; ++q)
                if (pick(3) == 0)
                    text << "Section" + QByteArray::number(q) + "="
                                + (group == "[Size]"    ? QByteArray::number(pick(3) + 1)
                                   : group == "[Names]" ? Cp932(kSets[static_cast<std::size_t>(pick(4))])
                                                        : QByteArray("a,,b"));
        }
        return lines(text, true);
    }

    void write(const test::ProgramFolder& home)
    {
        static const std::vector<QByteArray> defaults{"", "DefaultNotation=16", "DefaultNotation=10", "DefaultNotation=-10",
                                                      "DefaultNotation=7"};
        static const std::vector<QByteArray> csv{"", "CSVNotation=16", "CSVNotation=10", "CSVNotation=-10", "CSVNotation=016"};
        home.writeBytes(u"ZOR.ini"_s, lines({"[Option]", "Mode=m", defaults[static_cast<std::size_t>(pick(4))],
                                             csv[static_cast<std::size_t>(pick(4))]}, true));
        // IDs nameless from an empty name on and after an .idn's final break; two sets differ only in letter case.
        for (const QString& set : kSets) {
            if (pick(2) == 0)
                continue;
            QList<QByteArray> ids;
            for (int n = pick(5); n >= 0; --n)
                ids << name();
            home.writeBytes(u"m/"_s + set + u".idn"_s, lines(ids, pick(1) == 1));
            const int sections = pick(3) == 0 ? 0 : pick(4);
            home.writeBytes(u"m/"_s + set + u".sna"_s, pairs(sections));
            home.writeBytes(u"m/"_s + set + u".ini"_s, settings(sections));
        }
        const int entries = pick(4);
        home.writeBytes(u"m/個別データ.sna"_s, pairs(entries));
        home.writeBytes(u"m/個別データ.ini"_s, settings(entries));
        home.writeBytes(u"m/敵パラメータ.sna"_s, pairs(kBattleRecordSize));
        home.writeBytes(u"m/敵パラメータ.ini"_s, settings(kBattleRecordSize));
    }

    QByteArray image() { return test::NoisyImage(kImageSize, static_cast<unsigned>(pick(1 << 30))); }

    // Battle records set by hand (the image holds none): a first byte of 1..255, the rest any.
    void battle(DocumentState& doc) { test::SetBattleRecords(doc, pick(3), [&](int c, int) { return c == 1 ? pick(254) + 1 : pick(255); }); }

    int pick(int max) { return std::uniform_int_distribution<int>(0, max)(random_); }

private:
    static constexpr int kImageSize = 0x8000;
    static inline const std::vector<QString> kSets{u"クラス"_s, u"表"_s, u"a"_s, u"A"_s, u"x,y"_s};
    std::mt19937 random_;
    std::vector<QByteArray> pieces_;
};

// Every file the export would write, checked as the import checks a file it read.
CsvImportResult CheckExport(const DocumentState& doc, CsvNotation notation)
{
    CsvImportResult result;
    CsvBuilder builder(doc, notation);
    for (const CsvTable& table : CsvTables(doc)) {
        const std::string bytes = builder.build(table)->bytes;
        CheckCsvFile(doc, notation, table, QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), result);
    }
    return result;
}

TEST(CsvRoundTrip, WhatTheExportWritesImportsAsNoChange)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        RandomDefinitions random(seed);
        test::ProgramFolder home;
        random.write(home);
        DocumentState doc;
        LoadDocument(doc, home.file(u"x.rom"_s), random.image(), home.path());
        random.battle(doc);

        std::vector<CsvImportResult> imports{CheckExport(doc, ReadCsvNotation(home.path()))};
        // Through files now and then: each write is flushed to the disk, which takes its time.
        if (seed % 20 == 0) {
            const CsvExportResult exported = ExportCsv(doc, home.path(), home.path());
            ASSERT_TRUE(exported.ok()) << exported.outcome.failure().message().toStdString();
            imports.push_back(ImportCsv(doc, home.path()));
        }
        for (const CsvImportResult& imported : imports) {
            ASSERT_TRUE(imported.ok()) << imported.summary().toStdString();
            EXPECT_TRUE(imported.changes.empty());
            EXPECT_TRUE(imported.notes.isEmpty()) << imported.notes.join(u'\n').toStdString();
        }
    }
}

} // namespace
} // namespace zor
