#include "core/chart/ChartColumn.h"

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
    const std::span<const std::uint8_t> bytes = ColumnBytes(doc, tab, dataSet, col);
    if (tab == TabIdSection && doc.DataSets.contains(dataSet) && col >= 1 && col <= doc.DataSets(dataSet).SectionCount) {
        const DataSet& set = doc.DataSets(dataSet);
        column.title = set.Name + QStringLiteral(" / ") + Caption(set.SectionNames.contains(col) ? set.SectionNames(col) : QString(), col);
    } else if (tab == TabIndividual && col == 1) {
        column.title = QStringLiteral("個別データ");
    } else if (tab == TabBattle && col >= 1 && col <= kBattleRecordSize) {
        column.title = QStringLiteral("戦闘パラメータ / ") + Caption(doc.BattleSectionNames.contains(col) ? doc.BattleSectionNames(col) : QString(), col);
    }
    column.firstX = tab == TabIdSection ? 0 : 1;
    column.values.reserve(bytes.size());
    bool anySigned = false;
    bool allSigned = true;
    bool allHex = true;
    if (tab == TabIndividual) {
        // Every entry is its own section.
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const int entry = static_cast<int>(i) + 1;
            const bool isSigned = ShowsSigned(doc, tab, 0, entry);
            anySigned |= isSigned;
            allSigned &= isSigned;
            allHex &= ShowsHex(doc, tab, 0, entry);
            column.values.push_back(ValueOf(bytes[i], isSigned));
        }
    } else if (!bytes.empty()) {
        const bool isSigned = ShowsSigned(doc, tab, dataSet, col);
        anySigned = allSigned = isSigned;
        allHex = ShowsHex(doc, tab, dataSet, col);
        for (const std::uint8_t byte : bytes)
            column.values.push_back(ValueOf(byte, isSigned));
    }
    if (column.values.empty())
        return column;
    column.axisMin = anySigned ? -128 : 0;
    column.axisMax = allSigned ? 127 : 255;
    column.hex = allHex;
    return column;
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
