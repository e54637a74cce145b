#include "core/view/Grid.h"

#include "core/document/CellBytes.h"
#include "core/document/Definitions.h"
#include "core/files/Ini.h"
#include "core/files/Numbers.h"
#include "core/files/ProgramFolder.h"
#include "core/value/BitsText.h"
#include "core/value/CellValue.h"
#include "core/value/NamesText.h"
#include "core/value/ValueText.h"
#include "core/view/Conversions.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace zor {

namespace {

const QString kColWidth = QStringLiteral("ColWidth");

int Rounded(double twips) { return static_cast<int>(std::nearbyint(twips)); }

} // namespace

int ShownNotation(const DocumentState& doc, int tab, int dataSet, int section)
{
    const std::int16_t* code = SectionSetting(doc, SettingNotation, tab, dataSet, section);
    if (code && (*code == NotationUnsigned || *code == NotationSigned))
        return *code;
    return NotationHex;
}

QString TableSettingsFile(const DocumentState& doc, int tab, int dataSet)
{
    if (doc.ModeFolder.isEmpty())
        return QString(); // no mode folder: nothing is read or written outside it
    switch (tab) {
    case TabIdSection:
        return dataSet >= 1 && dataSet <= doc.DataSetCount ? DataSetFile(doc, dataSet, QStringLiteral(".ini")) : QString();
    case TabIndividual:
        return FindFileIgnoringCase(doc.ModeFolder, QStringLiteral("個別データ.ini"));
    case TabBattle:
        return FindFileIgnoringCase(doc.ModeFolder, QStringLiteral("敵パラメータ.ini"));
    default:
        return QString();
    }
}

QString NotationName(int code)
{
    switch (code) {
    case NotationSigned:
        return QStringLiteral("符号付き10進数表記");
    case NotationUnsigned:
        return QStringLiteral("符号無し10進数表記");
    default:
        return QStringLiteral("16進数表記");
    }
}

QString FormatByte(const DocumentState& doc, int tab, int dataSet, int section, std::uint8_t value)
{
    return FormatByteIn(ShownNotation(doc, tab, dataSet, section), value);
}

QString FormatByteIn(int notation, std::uint8_t value)
{
    return FormatValue(notation, value, 1);
}

bool HasTable(const DocumentState& doc, int tab, int dataSet)
{
    switch (tab) {
    case TabIdSection:
        return dataSet >= 1 && dataSet <= doc.DataSetCount;
    case TabIndividual:
    case TabBattle:
        return true;
    default:
        return false;
    }
}

QString FormatCellValue(const DocumentState& doc, const CellRef& cell, std::uint32_t value)
{
    const int section = cell.tab == TabIndividual ? cell.row : cell.col;
    return FormatValue(ShownNotation(doc, cell.tab, cell.dataSet, section), value, CellTypeOf(doc, cell).Size);
}

QString FirstByteNote(const DocumentState& doc, std::uint32_t value)
{
    const CellRef first{TabBattle, 0, 1, 1};
    if (CellTypeOf(doc, first).Size == 1)
        return QString();
    return QStringLiteral("（値 %1 の下位バイト）").arg(FormatCellValue(doc, first, value));
}

QString CellText(const DocumentState& doc, int tab, int dataSet, int row, int col)
{
    // 個別データ has one value column; the mapping itself ignores the column there.
    const CellRef cell{tab, dataSet, col, row};
    const CellSpan span = tab == TabIndividual && col != 1 ? CellSpan{} : CellSpanOf(doc, cell);
    if (!span)
        return QString();
    return CellTextOfValue(doc, cell, span.value());
}

QString CellNumberText(const DocumentState& doc, int tab, int dataSet, int row, int col)
{
    const CellRef cell{tab, dataSet, col, row};
    const CellSpan span = tab == TabIndividual && col != 1 ? CellSpan{} : CellSpanOf(doc, cell);
    return span ? FormatCellValue(doc, cell, span.value()) : QString();
}

bool ShowsNames(const CellType& type, const DocumentState& doc)
{
    return type.Bits || (type.NamesDataSet >= 1 && type.NamesDataSet <= doc.DataSetCount);
}

QString CellTextOfValue(const DocumentState& doc, const CellRef& cell, std::uint32_t value)
{
    const CellType& type = CellTypeOf(doc, cell);
    if (type.Bits)
        return BitsCellText(value, type.Size, *type.Bits);
    if (ShowsNames(type, doc)) {
        const NdArray<QString, 1>& names = doc.DataSets(type.NamesDataSet).IdNames;
        const std::int64_t id = std::int64_t{value} + 1; // IdNames is by ID number + 1
        const int section = cell.tab == TabIndividual ? cell.row : cell.col;
        return NamesCellText(value, type.Size, ShownNotation(doc, cell.tab, cell.dataSet, section),
                             id <= names.upper() ? &names(static_cast<int>(id)) : nullptr);
    }
    return FormatCellValue(doc, cell, value);
}

int DataSetToShow(const DocumentState& doc, int remembered)
{
    if (remembered >= 1 && remembered <= doc.DataSetCount)
        return remembered;
    return doc.DataSetCount >= 1 ? 1 : 0;
}

QString BattleRowLabel(const DocumentState& doc, int record)
{
    // A class number without a name gives an empty label, never another row's.
    const int classId = doc.BattleParams(1, record) + 1;
    if (!doc.DataSets.contains(doc.ClassDataSet))
        return QString();
    const NdArray<QString, 1>& names = doc.DataSets(doc.ClassDataSet).IdNames;
    return names.contains(classId) ? names(classId) : QString();
}

std::optional<int> ParseColumnWidth(const QString& text)
{
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < 0 || rounded > kMaxColumnWidth)
        return std::nullopt;
    return static_cast<int>(rounded);
}

GridLayout LayoutGrid(const DocumentState& doc, int tab, int dataSet, int baseRowHeight)
{
    GridLayout layout;
    if (!HasTable(doc, tab, dataSet))
        return layout;
    const IniFile ini = IniFile::load(TableSettingsFile(doc, tab, dataSet)).value_or(IniFile());
    auto storedWidth = [&](int col) { return ParseColumnWidth(ini.value(kColWidth, QStringLiteral("Section%1").arg(col))); };

    int dataRows = 0;
    int dataCols = 0;
    switch (tab) {
    case TabIdSection:
        dataRows = doc.DataSets(dataSet).IdCount;
        dataCols = doc.DataSets(dataSet).SectionCount;
        break;
    case TabIndividual:
        dataRows = doc.IndividualCount;
        dataCols = 1;
        break;
    default:
        dataRows = doc.BattleCount();
        dataCols = kBattleRecordSize;
        break;
    }
    layout.rows = dataRows + 1;
    layout.cols = dataCols + 1;
    layout.headingHeight = tab == TabIndividual ? kIndividualHeadingHeight : 2 * baseRowHeight;
    layout.headings.assign(layout.cols, QString());
    layout.labels.assign(layout.rows, QString());
    layout.alignments.assign(layout.cols, kAlignRightTop);
    layout.alignments[0] = kAlignLeftTop;
    layout.greyed.assign(layout.cols, false);
    layout.widths.assign(layout.cols, std::nullopt);
    layout.labelWidth = storedWidth(0);

    switch (tab) {
    case TabIdSection:
        layout.headings[0] = QStringLiteral("ID");
        for (int r = 1; r <= dataRows; ++r)
            layout.labels[r] = doc.DataSets(dataSet).IdNames(r);
        for (int c = 1; c <= dataCols; ++c) {
            layout.headings[c] = doc.DataSets(dataSet).SectionNames(c);
            layout.widths[c] = storedWidth(c);
        }
        break;
    case TabIndividual:
        // Only the label column's width is stored; the heading row stays blank.
        for (int r = 1; r <= dataRows; ++r)
            layout.labels[r] = doc.IndividualNames(r);
        layout.widths[1] = kIndividualValueWidth;
        layout.fixedValueWidth = true;
        break;
    default:
        for (int r = 1; r <= dataRows; ++r)
            layout.labels[r] = BattleRowLabel(doc, r);
        for (int c = 1; c <= dataCols; ++c) {
            layout.headings[c] = doc.BattleSectionNames(c);
            layout.widths[c] = storedWidth(c);
            layout.greyed[c] = BattleFieldOf(doc, c) != c;
        }
        break;
    }
    return layout;
}

QStringList HeadingLines(const QString& heading)
{
    const qsizetype n = heading.size();
    if (n <= kMaxHeadingLine)
        return {heading};
    const qsizetype k = n / 2;
    return {heading.left(k) + u' ', heading.right(n - k)};
}

int HeadingWidth(const QString& heading, const MeasureText& measure)
{
    const QStringList lines = HeadingLines(heading);
    if (lines.size() == 1)
        return std::max(Rounded(measure(heading) + kOneLineMargin), kMinColumnWidth);
    double wider = 0;
    for (const QString& line : lines)
        wider = std::max(wider, measure(line));
    return Rounded(wider + kTwoLineMargin);
}

namespace {

// The widest texts cells of each type can show, measured once per call: a table of many
// Names sections usually names one data set, whose names are measured once.
class WidestText {
public:
    WidestText(const DocumentState& doc, const MeasureText& measure) : doc_(doc), measure_(measure) {}

    double of(const CellType& type, int notation)
    {
        if (type.Bits)
            return measure_(BitsCellText(MaxUnsigned(type.Size), type.Size, *type.Bits));
        double widest = number(notation, type.Size);
        if (type.NamesDataSet >= 1 && type.NamesDataSet <= doc_.DataSetCount)
            widest = std::max(widest, names(type.NamesDataSet, type.Size));
        return widest;
    }

private:
    // Digits of a proportional font differ: every digit is taken as the widest one.
    double number(int notation, int size)
    {
        const bool hex = notation != NotationUnsigned && notation != NotationSigned;
        const qsizetype digits = hex ? 2 * size
                                     : QString::number(notation == NotationSigned ? -MinSigned(size) : std::int64_t{MaxUnsigned(size)}).size();
        const QString prefix = hex ? QStringLiteral("0x") : notation == NotationSigned ? QStringLiteral("-") : QString();
        return measure_(prefix + QString(digits, widestDigit(hex)));
    }

    QChar widestDigit(bool hex)
    {
        QChar& widest = hex ? widestHex_ : widestDecimal_;
        if (widest.isNull()) {
            double most = -1;
            for (const QChar digit : QStringView(u"0123456789ABCDEF").left(hex ? 16 : 10))
                if (const double width = measure_(QString(digit)); width > most) {
                    most = width;
                    widest = digit;
                }
        }
        return widest;
    }

    // The IDs a cell of the size can hold, from 0 up to the data set's last.
    double names(int dataSet, int size)
    {
        const auto key = std::pair(dataSet, size);
        if (const auto known = names_.find(key); known != names_.end())
            return known->second;
        const NdArray<QString, 1>& names = doc_.DataSets(dataSet).IdNames;
        const std::int64_t last = std::min<std::int64_t>(doc_.DataSets(dataSet).IdCount, std::int64_t{MaxUnsigned(size)} + 1);
        double widest = 0;
        for (int row = 1; row <= last && names.contains(row); ++row)
            widest = std::max(widest, measure_(names(row)));
        return names_[key] = widest;
    }

    const DocumentState& doc_;
    const MeasureText& measure_;
    QChar widestHex_;
    QChar widestDecimal_;
    std::map<std::pair<int, int>, double> names_;
};

} // namespace

std::vector<int> ValueWidths(const DocumentState& doc, int tab, int dataSet, const MeasureText& measure)
{
    std::vector<int> least;
    if (!HasTable(doc, tab, dataSet))
        return least;
    WidestText widest(doc, measure);
    const auto width = [&](const CellType& type, int section) {
        if (type == CellType{})
            return 0;
        const double text = widest.of(type, ShownNotation(doc, tab, dataSet, section));
        return std::min(Rounded(text + kOneLineMargin), kMaxColumnWidth);
    };
    switch (tab) {
    case TabIdSection:
        least.assign(static_cast<std::size_t>(doc.DataSets(dataSet).SectionCount) + 1, 0);
        for (int c = 1; c < static_cast<int>(least.size()); ++c)
            least[c] = width(SectionType(doc, tab, dataSet, c), c);
        break;
    case TabIndividual:
        least.assign(2, 0);
        for (int e = 1; e <= doc.IndividualCount; ++e)
            least[1] = std::max(least[1], width(SectionType(doc, tab, 0, e), e));
        break;
    default:
        least.assign(kBattleRecordSize + 1, 0);
        for (int c = 1; c <= kBattleRecordSize; ++c)
            least[c] = width(CellTypeOf(doc, {TabBattle, 0, c, 1}), c);
        break;
    }
    return least;
}

FittedWidths FitToValues(std::vector<int> base, const std::vector<int>& least)
{
    FittedWidths fitted{base, std::move(base)};
    for (std::size_t c = 0; c < std::min(least.size(), fitted.widths.size()); ++c)
        fitted.widths[c] = std::max(fitted.widths[c], least[c]);
    return fitted;
}

std::vector<int> WidthsToStore(const std::vector<int>& shown, const FittedWidths& fitted)
{
    std::vector<int> stored = shown;
    if (shown.size() != fitted.widths.size() || shown.size() != fitted.base.size())
        return stored;
    for (std::size_t c = 0; c < shown.size(); ++c)
        if (fitted.widths[c] != fitted.base[c] && shown[c] == fitted.widths[c])
            stored[c] = kKeepStoredWidth;
    return stored;
}

std::vector<int> ColumnWidths(const GridLayout& layout, const std::vector<int>& previous, const MeasureText& measureHeading,
                              const MeasureText& measureLabel)
{
    std::vector<int> widths(static_cast<std::size_t>(layout.cols), 0);
    if (layout.labelWidth) {
        widths[0] = *layout.labelWidth;
    } else if (layout.rows == 1) {
        widths[0] = previous.empty() ? 0 : previous[0]; // no label to fit: the column keeps its width
    } else {
        int running = 0;
        for (int r = 1; r < layout.rows; ++r) {
            const double measured = measureLabel(layout.labels[r] + u' ');
            if (running < measured)
                running = std::min(Rounded(measured + kOneLineMargin), kMaxColumnWidth);
        }
        widths[0] = running;
    }
    for (int c = 1; c < layout.cols; ++c) {
        if (layout.widths[c])
            widths[c] = *layout.widths[c];
        else if (!layout.headings[c].isEmpty())
            widths[c] = HeadingWidth(layout.headings[c], measureHeading);
        else
            widths[c] = c < static_cast<int>(previous.size()) ? previous[c] : 0;
    }
    return widths;
}

} // namespace zor
