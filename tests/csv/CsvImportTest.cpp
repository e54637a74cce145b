#include "core/csv/CsvExport.h"
#include "core/csv/CsvImport.h"
#include "core/document/ReadImage.h"
#include "core/edit/Journal.h"
#include "core/sample/Sample.h"

#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Cp932;

// The sample folder and its document; the files are exported into out and read back from there.
// Data sets in order: アイテム (6 sections), クラス (8), 魔法 (4); 6 individual entries.
class CsvImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        const Result<int> written = WriteSampleFolder(home.path());
        ASSERT_TRUE(written) << written.failure().message().toStdString();
        ASSERT_TRUE(QDir(home.path()).mkdir(u"out"_s));
        const QString rom = home.file(SampleImageName());
        LoadDocument(doc, rom, *ReadRomImage(rom), home.path());
        const ProblemLog& log = doc.Problems;
        ASSERT_TRUE(log.empty()) << log.text().toStdString();
        ASSERT_EQ(doc.DataSets(2).Name, u"クラス"_s);
    }

    void setNotation(const QString& line) const
    {
        test::WriteZorIni(home.path(), SampleModeName(), {u"DefaultNotation=16"_s, line});
    }

    void exportFiles() const
    {
        const CsvExportResult result = ExportCsv(doc, home.path(), home.file(u"out"_s));
        ASSERT_TRUE(result.ok()) << result.outcome.failure().message().toStdString();
    }

    CsvImportResult import() const { return ImportCsv(doc, home.path(), home.file(u"out"_s)); }

    QStringList lines(const QString& name) const
    {
        return DecodeCp932(home.readBytes(u"out/"_s + name)).text.split(u"\r\n"_s);
    }
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
    DocumentState doc;
};

// An export reads back as no change (tests/csv's round trip); what a value changed in it
// reads as depends on the notation.
TEST_F(CsvImport, AChangedValueReadsInTheFilesNotation)
{
    // What "10" and "FF" in クラス's HP and MP of ID 0 read as: in the notation's own form
    // first, else by the cell editor's forms; nullopt: a problem.
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
        EXPECT_EQ(std::tuple(changed.changes.front().newByte, changed.changes.back().newByte, changed.changes.back().field),
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
    setField(u"個別データ.csv"_s, 5, 2, u"-3"_s);
    setField(u"クラス.csv"_s, 3, 2, u"99"_s);
    const std::uint8_t battle = doc.BattleParams(3, 2);
    const CsvImportResult result = import();
    ASSERT_TRUE(result.ok()) << result.summary().toStdString();
    ASSERT_EQ(result.changes.size(), 3u);
    const auto where = [](const CsvChange& c) { return std::tuple(c.file, c.line, c.field, c.cell, c.oldByte, c.newByte); };
    EXPECT_EQ(where(result.changes[0]), std::tuple(u"クラス.csv"_s, 3, 2, CellRef{TabIdSection, 2, 1, 2}, std::uint8_t{19}, std::uint8_t{99}));
    EXPECT_EQ(where(result.changes[1]), std::tuple(u"個別データ.csv"_s, 5, 2, CellRef{TabIndividual, 0, 1, 5}, std::uint8_t{0xFE}, std::uint8_t{0xFD}));
    EXPECT_EQ(where(result.changes[2]), std::tuple(u"敵パラメータ.csv"_s, 3, 4, CellRef{TabBattle, 0, 3, 2}, battle, std::uint8_t{0x7F}));

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
    items[2] = u"短,剣,1,2,3,4,5"_s;
    writeLines(u"アイテム.csv"_s, items);
    setField(u"クラス.csv"_s, 4, 1, u"剣豪"_s);
    QStringList spells = lines(u"魔法.csv"_s);
    spells[3].chop(2);                 // ",1": one value short
    spells.insert(spells.size() - 1, u"増えた,1,2,3,4"_s); // an extra line before the final break
    writeLines(u"魔法.csv"_s, spells);
    setField(u"個別データ.csv"_s, 1, 2, u"256"_s);
    setField(u"個別データ.csv"_s, 2, 2, u"１e2"_s);
    setField(u"敵パラメータ.csv"_s, 1, 5, u"力"_s);
    setField(u"敵パラメータ.csv"_s, 2, 2, u"0"_s);
    doc.IndividualAddressUnusable(3) = 1;
    setField(u"個別データ.csv"_s, 3, 2, u"2"_s); // entry 3 can't be written, and its value changes
    setField(u"個別データ.csv"_s, 4, 2, u"12"_s); // a value already there

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
    // With a byte order mark either way, and without one.
    for (const QByteArray& bytes : {"\xFF\xFE" + QByteArray(le(text)), "\xFE\xFF" + QByteArray(be(text)), QByteArray(le(text))}) {
        home.writeBytes(u"out/クラス.csv"_s, bytes);
        EXPECT_EQ(import().problems.lines(), QStringList{u"クラス.csv: UTF-16 で保存されています。Shift-JIS か UTF-8 で保存してください。"_s});
    }
}

} // namespace
} // namespace zor
