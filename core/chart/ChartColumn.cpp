#include "core/chart/ChartColumn.h"

#include "core/document/CellBytes.h"
#include "core/view/ColumnValues.h"

#include <algorithm>
#include <cmath>

namespace zor {

namespace {

bool ShowsHex(const DocumentState& doc, int tab, int dataSet, int section)
{
    // Any code but the two decimal ones shows hexadecimal, as the cells do.
    const std::int16_t* code = SectionSetting(doc, SettingNotation, tab, dataSet, section);
    return !code || (*code != NotationUnsigned && *code != NotationSigned);
}

QString Caption(const QString& caption, int section)
{
    return caption.isEmpty() ? QStringLiteral("セクション %1").arg(section) : caption;
}

} // namespace

ChartColumn ReadChartColumn(const DocumentState& doc, int tab, int dataSet, int col)
{
    ChartColumn column;
    if (tab == TabIdSection && doc.DataSets.contains(dataSet) && col >= 1 && col <= doc.DataSets(dataSet).SectionCount) {
        const DataSet& set = doc.DataSets(dataSet);
        column.title = set.Name + QStringLiteral(" / ") + Caption(set.SectionNames.contains(col) ? set.SectionNames(col) : QString(), col);
    } else if (tab == TabIndividual && col == 1) {
        column.title = QStringLiteral("個別データ");
    } else if (tab == TabBattle && col >= 1 && col <= kBattleRecordSize) {
        column.title = QStringLiteral("戦闘パラメータ / ") + Caption(doc.BattleSectionNames.contains(col) ? doc.BattleSectionNames(col) : QString(), col);
    }
    column.firstX = tab == TabIdSection ? 0 : 1;
    column.values = ColumnNumbers(doc, tab, dataSet, col);
    if (column.values.empty())
        return column;
    // The axis spans what every cell could hold: on tab 2 each entry is its own section.
    column.axisMin = 0;
    column.axisMax = 0;
    int widest = 1;
    for (int row = 1; row <= (tab == TabIndividual ? column.rows() : 1); ++row) {
        const int section = tab == TabIndividual ? row : col;
        const int size = CellTypeOf(doc, {tab, dataSet, col, row}).Size;
        const bool isSigned = ShowsSigned(doc, tab, dataSet, section);
        column.axisMin = std::min(column.axisMin, isSigned ? MinSigned(size) : 0);
        column.axisMax = std::max(column.axisMax, isSigned ? MaxSigned(size) : std::int64_t{MaxUnsigned(size)});
        column.hex = column.hex && ShowsHex(doc, tab, dataSet, section);
        widest = std::max(widest, size);
    }
    column.tick = (std::int64_t{MaxUnsigned(widest)} + 1) / 4;
    column.hexDigits = 2 * widest;
    return column;
}

QString AxisLabelFormat(const ChartColumn& column)
{
    // Built by concatenation: QString::arg would take "%0" for a place marker.
    return column.hex ? QStringLiteral("0x%0") + QString::number(column.hexDigits) + u'X' : QStringLiteral("%d");
}

int NearestRow(const ChartColumn& column, double x)
{
    if (column.values.empty())
        return 0;
    if (std::isnan(x))
        return 1;
    const double row = std::round(x - column.firstX + 1);
    return static_cast<int>(std::clamp(row, 1.0, static_cast<double>(column.rows())));
}

int TickStep(double span, int maxTicks)
{
    const double least = span / std::max(1, maxTicks);
    for (long long power = 1; power <= 1'000'000'000LL; power *= 10)
        for (const int factor : {1, 2, 5})
            if (static_cast<double>(factor * power) >= least)
                return static_cast<int>(factor * power);
    return 1'000'000'000;
}

} // namespace zor
