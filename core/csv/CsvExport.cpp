#include "core/csv/CsvExport.h"

#include "core/document/CellBytes.h"
#include "core/files/ProgramFolder.h"
#include "core/files/SaveFile.h"
#include "core/files/Text.h"
#include "core/value/CsvValue.h"
#include "core/view/Grid.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zor {

namespace {

// A value's text: its length in [0] (0 while not made yet), then up to 7 ASCII characters.
using ValueChars = std::array<char, 8>;

ValueChars ToChars(const QString& text)
{
    ValueChars chars{};
    chars[0] = static_cast<char>(std::min<qsizetype>(text.size(), 7));
    for (int i = 0; i < chars[0]; ++i)
        chars[i + 1] = static_cast<char>(text[i].unicode()); // always ASCII
    return chars;
}

} // namespace

// The text of a value, decided once per export from CSVNotation.
// Texts are made once and then copied: a table repeats few values many times.
class ValueText {
public:
    ValueText(const DocumentState& doc, CsvNotation notation) : doc_(doc), notation_(notation)
    {
        if (notation == CsvNotation::Own)
            return;
        // A fixed notation gives each byte the same text everywhere.
        fixed_ = true;
        for (int b = 0; b < 256; ++b)
            fixedTexts_[b] = ToChars(CsvValueText(static_cast<std::uint32_t>(b), 1, notation, NotationHex));
    }

    // A table of the given number of sections follows.
    void startTable(int sections)
    {
        if (!fixed_)
            slots_.assign(static_cast<std::size_t>(sections) + 1, -1);
    }

    // A value of size bytes; the texts of wider values are made each time, as they seldom repeat.
    void append(std::string& out, int tab, int dataSet, int section, std::uint32_t value, int size)
    {
        if (size > 1) {
            const QString text = CsvValueText(value, size, notation_, ShownNotation(doc_, tab, dataSet, section));
            out += text.toLatin1().toStdString(); // always ASCII
            return;
        }
        ValueChars* text = &fixedTexts_[value];
        if (!fixed_) {
            // Each section's own notation, exactly as the grid shows it. FormatByte depends
            // on nothing but the section's notation code, so sections that share a code
            // share their texts: a table of thousands of sections needs only a few.
            int& slot = slots_[static_cast<std::size_t>(section)];
            if (slot < 0)
                slot = slotOf(NotationCode(tab, dataSet, section));
            text = &byCode_[static_cast<std::size_t>(slot)].second[value];
            if ((*text)[0] == 0)
                *text = ToChars(FormatByte(doc_, tab, dataSet, section, value));
        }
        out.append(text->data() + 1, static_cast<std::size_t>((*text)[0]));
    }

private:
    using Texts = std::array<ValueChars, 256>;

    // As FormatByte reads it: a section without settings has code 0.
    int NotationCode(int tab, int dataSet, int section) const
    {
        const std::int16_t* code = SectionSetting(doc_, SettingNotation, tab, dataSet, section);
        return code ? *code : 0;
    }

    int slotOf(int code)
    {
        for (std::size_t i = 0; i < byCode_.size(); ++i)
            if (byCode_[i].first == code)
                return static_cast<int>(i);
        byCode_.emplace_back(code, Texts{});
        return static_cast<int>(byCode_.size()) - 1;
    }

    const DocumentState& doc_;
    CsvNotation notation_;
    bool fixed_ = false;
    Texts fixedTexts_{};
    std::vector<std::pair<int, Texts>> byCode_; // texts by notation code, made as they are needed
    std::vector<int> slots_;                    // by section of the current table: index into byCode_, -1 not yet known
};

namespace {

// The header line's fields of a table's file as the document names them: "ID" and the
// section captions; none for 個別データ, whose file has no header. The export writes them
// and the import compares against them, so both read this one list.
QStringList HeaderFields(const DocumentState& doc, int tab, int dataSet)
{
    QStringList fields;
    if (tab == TabIdSection) {
        const DataSet& set = doc.DataSets(dataSet);
        fields << QStringLiteral("ID");
        for (int c = 1; c <= set.SectionCount; ++c)
            fields << set.SectionNames(c);
    } else if (tab == TabBattle) {
        fields << QStringLiteral("ID");
        for (int c = 1; c <= kBattleRecordSize; ++c)
            fields << doc.BattleSectionNames(c);
    }
    return fields;
}

// One file's bytes, built whole before anything is written. The first name without a
// CP932 form is kept, and the file is not written.
class CsvFile {
public:
    void name(const QString& text)
    {
        if (unwritable_)
            return;
        std::optional<QByteArray> encoded = EncodeCp932(text);
        // A character the load could not read has no form to give back: "?" stands in for it.
        if (!encoded && text.contains(QChar::ReplacementCharacter)) {
            encoded = EncodeCp932(QString(text).replace(QChar::ReplacementCharacter, u'?'));
            if (encoded && (replacedLines_.empty() || replacedLines_.back() != line_))
                replacedLines_.push_back(line_);
        }
        if (encoded)
            bytes.append(encoded->constData(), static_cast<std::size_t>(encoded->size()));
        else
            unwritable_ = text;
    }

    // A name that is not written into the file but must have a CP932 form all the same.
    void require(const QString& text)
    {
        if (!unwritable_ && !EncodeCp932(text))
            unwritable_ = text;
    }

    void comma() { bytes += ','; }

    // A header line of fields, or nothing for none.
    void header(const QStringList& fields)
    {
        if (fields.isEmpty())
            return;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                comma();
            name(fields[i]);
        }
        endLine();
    }
    void endLine()
    {
        bytes += "\r\n";
        ++line_;
    }

    std::string bytes;

    [[nodiscard]] Result<CsvFileBytes> take()
    {
        if (unwritable_)
            return Failure::Of(Failure::Kind::BadText, QString(),
                               QStringLiteral("「%1」に Shift-JIS（CP932）で書けない文字があります").arg(QuoteText(*unwritable_)));
        return CsvFileBytes{std::move(bytes), std::move(replacedLines_)};
    }

private:
    std::optional<QString> unwritable_;
    std::vector<int> replacedLines_;
    int line_ = 1;
};

CsvFile DataSetFile(const DocumentState& doc, ValueText& values, int dataSet)
{
    CsvFile csv;
    const DataSet& set = doc.DataSets(dataSet);
    // The data set's name is the file's name, and like every other name it must have a CP932 form.
    csv.require(set.Name);
    const int sections = set.SectionCount;
    values.startTable(sections);
    csv.header(HeaderFields(doc, TabIdSection, dataSet));
    // Each section's byte columns, found once: the cells are read straight from them.
    const NdArray<std::uint8_t, 2>& bytes = doc.IdBytes(dataSet);
    std::vector<std::pair<int, int>> columns(static_cast<std::size_t>(sections) + 1); // first column, size
    for (int c = 1; c <= sections; ++c)
        columns[static_cast<std::size_t>(c)] = {doc.IdColumn(dataSet, c), SectionType(doc, TabIdSection, dataSet, c).Size};
    for (int j = 1; j <= set.IdCount; ++j) {
        csv.name(set.IdNames(j));
        for (int c = 1; c <= sections; ++c) {
            csv.comma();
            const auto [column, size] = columns[static_cast<std::size_t>(c)];
            const CellSpan cell{&bytes(column, j - 1), bytes.upper(1) + 1, size};
            values.append(csv.bytes, TabIdSection, dataSet, c, cell.value(), size);
        }
        csv.endLine();
    }
    return csv;
}

CsvFile IndividualFile(const DocumentState& doc, ValueText& values)
{
    CsvFile csv; // no header line
    values.startTable(doc.IndividualCount);
    for (int i = 1; i <= doc.IndividualCount; ++i) {
        csv.name(doc.IndividualNames(i));
        csv.comma();
        const CellSpan cell = CellSpanOf(doc, {TabIndividual, 0, 1, i});
        values.append(csv.bytes, TabIndividual, 0, i, cell.value(), cell.size);
        csv.endLine();
    }
    return csv;
}

CsvFile BattleFile(const DocumentState& doc, ValueText& values)
{
    CsvFile csv;
    values.startTable(kBattleRecordSize);
    csv.header(HeaderFields(doc, TabBattle, 0));
    for (int r = 1; r <= doc.BattleCount(); ++r) {
        csv.name(BattleRowLabel(doc, r));
        for (int c = 1; c <= kBattleRecordSize; ++c) {
            csv.comma();
            const CellSpan cell = CellSpanOf(doc, {TabBattle, 0, c, r});
            values.append(csv.bytes, TabBattle, 0, c, cell.value(), cell.size);
        }
        csv.endLine();
    }
    return csv;
}

} // namespace

std::vector<CsvTable> CsvTables(const DocumentState& doc)
{
    std::vector<CsvTable> tables;
    for (int i = 1; i <= doc.DataSetCount; ++i)
        tables.push_back({TabIdSection, i, doc.DataSets(i).Name});
    tables.push_back({TabIndividual, 0, QStringLiteral("個別データ")});
    tables.push_back({TabBattle, 0, QStringLiteral("敵パラメータ")});
    return tables;
}

QString CsvNameText(const QString& name)
{
    if (!name.contains(QChar::ReplacementCharacter))
        return name;
    return QString(name).replace(QChar::ReplacementCharacter, u'?');
}

std::optional<QString> CsvHeaderText(const DocumentState& doc, const CsvTable& table)
{
    const QStringList fields = HeaderFields(doc, table.tab, table.dataSet);
    if (fields.isEmpty())
        return std::nullopt;
    QStringList written;
    for (const QString& field : fields)
        written << CsvNameText(field);
    return written.join(u',');
}

CsvBuilder::CsvBuilder(const DocumentState& doc, CsvNotation notation)
    : doc_(doc), values_(std::make_unique<ValueText>(doc, notation))
{
}

CsvBuilder::~CsvBuilder() = default;

Result<CsvFileBytes> CsvBuilder::build(const CsvTable& table)
{
    switch (table.tab) {
    case TabIdSection:
        return DataSetFile(doc_, *values_, table.dataSet).take();
    case TabIndividual:
        return IndividualFile(doc_, *values_).take();
    default:
        return BattleFile(doc_, *values_).take();
    }
}

CsvExportResult ExportCsv(const DocumentState& doc, const QString& programFolder, const QString& folder)
{
    CsvBuilder builder(doc, ReadCsvNotation(programFolder));
    CsvExportResult result;
    for (const CsvTable& table : CsvTables(doc)) {
        const QString path = JoinPath(folder, table.fileName());
        const Result<CsvFileBytes> csv = builder.build(table);
        // No copy: the bytes stay alive in csv until the write is done.
        const Result<void> written =
            csv ? WriteFileAtomically(path, QByteArray::fromRawData(csv->bytes.data(), static_cast<qsizetype>(csv->bytes.size())),
                                      OpenImageFiles(doc.RomPath))
                : Result<void>(csv.failure());
        if (!written) {
            Failure failure = written.failure().said(QStringLiteral("%1 を書けません").arg(path));
            failure.place = path;
            result.outcome = failure;
            break;
        }
        result.written << path;
        for (int line : csv->replacedLines)
            result.notes << QStringLiteral("%1:%2: 読めない文字を「?」にして書きました。").arg(table.fileName()).arg(line);
    }
    return result;
}

CsvExportResult ExportCsv(const DocumentState& doc, const QString& programFolder)
{
    return ExportCsv(doc, programFolder, programFolder);
}

} // namespace zor
