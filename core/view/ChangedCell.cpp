#include "core/view/ChangedCell.h"

#include "core/codec/CodecError.h"
#include "core/document/CellBytes.h"
#include "core/files/Text.h"
#include "core/view/Grid.h"

#include <QStringList>

namespace zor {

ChangedCell DescribeChangedCell(const DocumentState& doc, const CellRef& cell, std::uint32_t oldValue, std::uint32_t newValue)
{
    ChangedCell changed;
    changed.tab = cell.tab;
    changed.dataSet = cell.dataSet;
    changed.row = cell.row;
    changed.col = cell.col;
    switch (cell.tab) {
    case TabIdSection: {
        const DataSet& set = doc.DataSets(cell.dataSet);
        changed.dataSetName = set.Name;
        changed.label = set.IdNames(cell.row);
        changed.caption = set.SectionNames(cell.col);
        break;
    }
    case TabIndividual:
        changed.label = doc.IndividualNames(cell.row);
        break;
    default:
        changed.label = BattleRowLabel(doc, cell.row);
        changed.caption = doc.BattleSectionNames(cell.col);
        break;
    }
    changed.offset = CellOffset(doc, cell.tab, cell.dataSet, cell.col, cell.row);
    changed.oldValue = oldValue;
    changed.newValue = newValue;
    changed.size = CellTypeOf(doc, cell).Size;
    return changed;
}

QString ChangeValues(const QString& oldText, const QString& newText) { return QStringLiteral("%1 → %2").arg(oldText, newText); }

QString Named(const QString& head, const QString& name)
{
    return name.isEmpty() ? head : QStringLiteral("%1「%2」").arg(head, QuoteText(name));
}

ChangeText ChangedCellText(const DocumentState& doc, const ChangedCell& cell)
{
    QStringList parts;
    switch (cell.tab) {
    case TabIdSection:
        parts << Named(QStringLiteral("ID-セクション"), cell.dataSetName) << Named(QStringLiteral("ID %1").arg(cell.row - 1), cell.label)
              << cell.caption;
        break;
    case TabIndividual:
        parts << QStringLiteral("個別データ") << Named(QStringLiteral("%1").arg(cell.row), cell.label);
        break;
    default:
        parts << QStringLiteral("戦闘パラメータ") << Named(QStringLiteral("レコード %1").arg(cell.row), cell.label) << cell.caption;
        break;
    }
    if (cell.offset)
        parts << HexOffset(*cell.offset);
    const CellRef ref{cell.tab, cell.dataSet, cell.col, cell.row};
    return {parts.join(QStringLiteral(" / ")),
            ChangeValues(FormatCellValue(doc, ref, cell.oldValue), FormatCellValue(doc, ref, cell.newValue))};
}

QString ChangedCellLine(const DocumentState& doc, const ChangedCell& cell)
{
    const ChangeText text = ChangedCellText(doc, cell);
    return text.place + QStringLiteral(": ") + text.values;
}

} // namespace zor
