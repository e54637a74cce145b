#include "core/view/ChangedCell.h"

#include "core/codec/CodecError.h"
#include "core/document/CellBytes.h"
#include "core/files/Text.h"
#include "core/view/Grid.h"

#include <QStringList>

namespace zor {

ChangedCell DescribeChangedCell(const DocumentState& doc, const CellRef& cell, std::uint8_t oldByte, std::uint8_t newByte)
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
    changed.oldByte = oldByte;
    changed.newByte = newByte;
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
    const int section = cell.tab == TabIndividual ? cell.row : cell.col;
    return {parts.join(QStringLiteral(" / ")), ChangeValues(FormatByte(doc, cell.tab, cell.dataSet, section, cell.oldByte),
                                                            FormatByte(doc, cell.tab, cell.dataSet, section, cell.newByte))};
}

QString ChangedCellLine(const DocumentState& doc, const ChangedCell& cell)
{
    const ChangeText text = ChangedCellText(doc, cell);
    return text.place + QStringLiteral(": ") + text.values;
}

} // namespace zor
