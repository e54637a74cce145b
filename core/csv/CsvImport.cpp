#include "core/csv/CsvImport.h"

#include "core/files/CsvText.h"
#include "core/document/CellBytes.h"
#include "core/files/ProgramFolder.h"
#include "core/files/ReadFile.h"
#include "core/files/Text.h"
#include "core/value/CellValue.h"
#include "core/value/CsvValue.h"
#include "core/value/NamesText.h"
#include "core/view/Conversions.h"
#include "core/view/CellInput.h"
#include "core/view/Grid.h"

#include <QDir>
#include <QHash>
#include <QSet>

namespace zor {

namespace {

// The forms a value of size bytes may take, as a problem names them.
QString ValueForms(CsvNotation notation, int size)
{
    switch (notation) {
    case CsvNotation::Hex:
        return (size == 1 ? QStringLiteral(u"00") : QStringLiteral(u"0")) + QStringLiteral(u"〜%1（16 進）、").arg(MaxUnsigned(size), 0, 16).toUpper()
               + EditorTextForms(size);
    case CsvNotation::Signed:
        return QStringLiteral(u"−%1〜%2、").arg(-MinSigned(size)).arg(MaxSigned(size)) + EditorTextForms(size);
    default:
        return EditorTextForms(size);
    }
}

// The field of a header line where it first differs from the expected one, from 1.
int FirstDifferingField(QStringView expected, QStringView actual)
{
    qsizetype at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    return static_cast<int>(expected.first(at).count(u',')) + 1;
}

// The first n fields' texts joined by commas, as the line read before a spreadsheet quoted them.
QString JoinFields(std::span<const CsvField> fields, std::size_t n)
{
    QString joined;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0)
            joined += u',';
        joined += fields[i].text;
    }
    return joined;
}

class FileCheck {
public:
    FileCheck(const DocumentState& doc, CsvNotation notation, const CsvTable& table, CsvImportResult& result)
        : doc_(doc), notation_(notation), table_(table), file_(table.fileName()), result_(result)
    {
        switch (table.tab) {
        case TabIdSection:
            sections_ = doc.DataSets(table.dataSet).SectionCount;
            rows_ = doc.DataSets(table.dataSet).IdCount;
            break;
        case TabIndividual:
            sections_ = 1;
            rows_ = doc.IndividualCount;
            break;
        default:
            sections_ = kBattleRecordSize;
            rows_ = doc.BattleCount();
            break;
        }
    }

    void run(QByteArrayView bytes)
    {
        if (IsUtf16(bytes)) {
            problem(0, 0, QStringLiteral("UTF-16 で保存されています。Shift-JIS か UTF-8 で保存してください。"));
            return;
        }
        const CsvText csv = DecodeCsv(bytes);
        if (csv.utf8 && !csv.bom) {
            // What the export wrote in CP932 can be UTF-8 as well: read so, its names would
            // differ. CP932 holds when it reads without a single problem.
            if (const std::optional<CsvText> cp932 = DecodeCp932Csv(bytes)) {
                CsvImportResult trial;
                FileCheck check(doc_, notation_, table_, trial);
                check.limit_ = 0; // only whether there is a problem counts
                check.check(*cp932);
                if (trial.ok()) {
                    result_.changes.insert(result_.changes.end(), trial.changes.begin(), trial.changes.end());
                    return;
                }
            }
        }
        if (csv.utf8)
            result_.notes << QStringLiteral("%1 は UTF-8 として読みました。").arg(file_);
        check(csv);
    }

private:
    void check(const CsvText& csv)
    {
        // Empty lines after the last line with text are what a spreadsheet leaves; they hold nothing.
        std::size_t lines = csv.lines.size();
        while (lines > 0 && csv.lines[lines - 1].length == 0)
            --lines;

        std::size_t next = 0;
        if (const std::optional<QString> header = CsvHeaderText(doc_, table_)) {
            if (lines == 0) {
                problem(1, 1, QStringLiteral("見出しの行がありません。「%1」で始まるはずです。").arg(QuoteText(*header)));
                return;
            }
            checkHeader(*header, csv.line(next++));
        }
        for (int row = 1; row <= rows_ && !stopped(); ++row, ++next) {
            if (next >= lines) {
                // A line that would be empty (a nameless ID of a data set without sections)
                // holds nothing to miss: the export ends with it, a spreadsheet leaves it off.
                if (sections_ == 0 && expectedLabel(row).isEmpty())
                    continue;
                problem(static_cast<int>(next) + 1, 1, QStringLiteral("%1の行がありません（%2 行のはずが %3 行です）。")
                                                           .arg(rowName(row))
                                                           .arg(expectedLines())
                                                           .arg(lines));
                return;
            }
            checkLine(row, static_cast<int>(next) + 1, csv.line(next));
        }
        if (next < lines && !stopped())
            problem(static_cast<int>(next) + 1, 1,
                    QStringLiteral("余分な行です（%1 行のはずが %2 行あります）。").arg(expectedLines()).arg(lines));
    }

    bool stopped() const { return static_cast<int>(result_.problems.items().size()) > limit_; }

    void problem(int line, int field, const QString& message)
    {
        if (stopped())
            return;
        if (static_cast<int>(result_.problems.items().size()) == limit_) {
            result_.problems.add(file_, line, field,
                                 QStringLiteral("問題が %1 件を超えたため、ここで調べるのをやめました。").arg(limit_));
            return;
        }
        result_.problems.add(file_, line, field, message);
    }

    int expectedLines() const { return rows_ + (table_.tab == TabIndividual ? 0 : 1); }

    // The row a line stands for, as a problem names it.
    QString rowName(int row) const
    {
        switch (table_.tab) {
        case TabIdSection:
            return QStringLiteral("ID %1「%2」").arg(row - 1).arg(QuoteText(doc_.DataSets(table_.dataSet).IdNames(row)));
        case TabIndividual:
            return QStringLiteral("「%1」").arg(QuoteText(doc_.IndividualNames(row)));
        default:
            return QStringLiteral("レコード %1 ").arg(row);
        }
    }

    QString expectedLabel(int row) const
    {
        return CsvNameText(table_.tab == TabIdSection ? doc_.DataSets(table_.dataSet).IdNames(row) : doc_.IndividualNames(row));
    }

    void checkHeader(const QString& expected, QStringView line)
    {
        if (line == expected)
            return;
        const std::span<const CsvField> fields = splitter_.split(line);
        const QString joined = JoinFields(fields, fields.size());
        if (joined == expected)
            return;
        problem(1, FirstDifferingField(expected, joined),
                QStringLiteral("見出しが書き出す見出しと違います（「%1」のはずが「%2」です）。").arg(QuoteText(expected), QuoteText(joined)));
    }

    void checkLine(int row, int line, QStringView text)
    {
        const std::span<const CsvField> fields = splitter_.split(text);
        const qsizetype count = static_cast<qsizetype>(fields.size());
        if (count < sections_ + 1) {
            problem(line, static_cast<int>(count) + 1,
                    QStringLiteral("値が足りません（%1 個のはずが %2 個です）。").arg(sections_).arg(count - 1));
            return;
        }
        const qsizetype labelFields = count - sections_;
        if (table_.tab != TabBattle) {
            const QString expected = expectedLabel(row);
            // As the export wrote it, or as a spreadsheet quoted its pieces.
            const QStringView raw = sections_ == 0 ? text : text.first(fields[labelFields].start - 1);
            if (raw != expected) {
                const QString label = JoinFields(fields, static_cast<std::size_t>(labelFields));
                if (label != expected) {
                    problem(line, 1, QStringLiteral("%1の行のはずが、ラベルが「%2」です。名前にコンマがあって値がずれていないか、行の順が違わないか確かめてください。")
                                         .arg(rowName(row), QuoteText(label)));
                    return;
                }
            }
        }
        for (int c = 1; c <= sections_; ++c) {
            const QStringView value = fields[labelFields + c - 1].text;
            const int field = c + 1;
            const CellRef cell{table_.tab, table_.dataSet, table_.tab == TabIndividual ? 1 : c, row};
            const CellSpan bytes = CellSpanOf(doc_, cell);
            std::int64_t number = ReadCsvNumber(value, notation_, bytes.size);
            if (number < 0)
                number = nameOf(cell, value, bytes.size);
            if (number < 0) {
                problem(line, field, QStringLiteral("「%1」は値として読めません（使える形: %2）。").arg(QuoteText(value), ValueForms(notation_, bytes.size)));
                continue;
            }
            const std::uint32_t old = bytes.value();
            const auto now = static_cast<std::uint32_t>(number);
            if (now == old)
                continue;
            if (const std::optional<QString> why = ReadOnlyReason(doc_, cell.tab, cell.dataSet, cell.col, cell.row)) {
                problem(line, field, *why);
                continue;
            }
            if (cell.tab == TabBattle && c == 1 && (now & 0xFF) == 0) {
                problem(line, field, QStringLiteral("レコード %1 の最初のバイト%2を 0 にはできません。0 で始まるレコードは保存できません。")
                                         .arg(row)
                                         .arg(FirstByteNote(doc_, now)));
                continue;
            }
            result_.changes.push_back({file_, line, field, cell, old, now});
        }
    }

    // The ID a name in a Names column gives (the first with it, as the editor reads it); -1 for none.
    std::int64_t nameOf(const CellRef& cell, QStringView text, int size)
    {
        const CellType& type = CellTypeOf(doc_, cell);
        if (type.NamesDataSet < 1 || type.NamesDataSet > doc_.DataSetCount)
            return -1;
        QStringList& names = names_[type.NamesDataSet];
        if (names.isEmpty())
            names = NamesById(doc_.DataSets(type.NamesDataSet));
        const std::optional<std::uint32_t> id = ReadNameOrNumber(text, size, names);
        return id ? std::int64_t{*id} : -1;
    }

    const DocumentState& doc_;
    QHash<int, QStringList> names_; // by Names data set, read at the first name met
    CsvNotation notation_;
    const CsvTable& table_;
    QString file_;
    CsvImportResult& result_;
    int sections_ = 0;
    int rows_ = 0;
    int limit_ = kMaxCsvProblems;
    CsvSplitter splitter_;
};

} // namespace

void CheckCsvFile(const DocumentState& doc, CsvNotation notation, const CsvTable& table, QByteArrayView bytes,
                  CsvImportResult& result)
{
    FileCheck(doc, notation, table, result).run(bytes);
}

CsvImportResult ImportCsv(const DocumentState& doc, const QString& programFolder, const QString& folder)
{
    const CsvNotation notation = ReadCsvNotation(programFolder);
    CsvImportResult result;
    const std::vector<CsvTable> tables = CsvTables(doc);
    // A table's file is matched without regard to letter case, as the definitions are; the
    // exact name of another table is that table's (data sets "a" and "A" have a file each).
    QHash<QString, QStringList> entries;
    for (const QString& entry : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        entries[entry.toCaseFolded()] << entry;
    QSet<QString> exactNames;
    for (const CsvTable& table : tables)
        exactNames.insert(table.fileName());
    int found = 0;
    for (const CsvTable& table : tables) {
        QStringList names;
        for (const QString& entry : entries.value(table.fileName().toCaseFolded()))
            if (entry == table.fileName() || !exactNames.contains(entry))
                names << entry;
        if (names.size() > 1) {
            ++found;
            names.sort();
            result.problems.add(table.fileName(), 0,
                                QStringLiteral("名前が大文字と小文字だけ違うファイル（%1）のどれを読むか決められません。一つだけにしてください。")
                                    .arg(names.join(u'、')));
            continue;
        }
        // The exact name even when the listing doesn't show it: a folder may not be listable.
        const QString path = JoinPath(folder, names.isEmpty() ? table.fileName() : names.front());
        const Result<QByteArray> bytes = ReadRegularFile(path, kMaxCsvFileSize);
        if (!bytes && bytes.failure().missing()) {
            result.notes << QStringLiteral("%1 がないため、読みませんでした。").arg(table.fileName());
            continue;
        }
        ++found;
        if (!bytes) {
            result.problems.add(table.fileName(), 0, bytes.failure().said(QStringLiteral("読めません")).message());
            continue;
        }
        CheckCsvFile(doc, notation, table, *bytes, result);
    }
    if (found == 0)
        result.problems.add(folder, 0,
                            QStringLiteral("書き出した CSV ファイルが一つもありません（%1 など）。").arg(tables.front().fileName()));
    return result;
}

CsvImportResult ImportCsv(const DocumentState& doc, const QString& programFolder)
{
    return ImportCsv(doc, programFolder, programFolder);
}

Result<WriteResult> ApplyCsvImport(DocumentState& doc, const CsvImportResult& result, LargeStep large)
{
    if (!result.ok())
        return Failure::Of(Failure::Kind::Refused, QString(), result.summary());
    std::vector<CellWrite> writes;
    writes.reserve(result.changes.size());
    for (const CsvChange& change : result.changes)
        writes.push_back({change.cell, change.newValue});
    return WriteCells(doc, writes, std::nullopt, UnchangedCells::Skipped, large);
}

} // namespace zor
