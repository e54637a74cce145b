#include "core/navigate/CellDescription.h"

#include "core/document/BattleRecords.h"
#include "core/document/CellBytes.h"
#include "core/files/ReadFile.h"
#include "core/navigate/SnesAddressText.h"
#include "core/value/ValueText.h"
#include "core/view/Grid.h"

namespace zor {

namespace {

const QString kGap = QStringLiteral("  ");

QString Named(const QString& name) { return name.isEmpty() ? QString() : QStringLiteral("「%1」").arg(name); }

QString Section(const QString& caption, int section)
{
    return caption.isEmpty() ? QStringLiteral("セクション %1").arg(section) : caption;
}

QString Place(const DocumentState& doc, int tab, int dataSet, int row, int col, int size)
{
    const std::optional<std::int64_t> offset = CellOffset(doc, tab, dataSet, col, row);
    if (!offset)
        return QStringLiteral("オフセットを読めません（書けません）");
    if (*offset < 0)
        return QStringLiteral("オフセットがイメージの先頭より前です（書けません）");
    if (*offset + size > kMaxImageSize)
        return QStringLiteral("オフセットが 64 MiB を超えています（書けません）");
    // A wider cell names its bytes' range; its address is its first byte's, where the value starts.
    const QString offsets = size == 1 ? OffsetText(*offset) : OffsetText(*offset) + u'–' + OffsetText(*offset + size - 1);
    const QString address = SnesAddressText(*offset);
    return QStringLiteral("オフセット ") + offsets + (address.isEmpty() ? QString() : kGap + address);
}

// The value in the three notations of its size; a cell that shows names names them after it.
QString Value(const DocumentState& doc, const CellRef& cell, const CellSpan& span)
{
    const std::uint32_t value = span.value();
    QString text = QStringLiteral("値 %1 / %2 / %3")
                       .arg(FormatValue(NotationHex, value, span.size), FormatValue(NotationUnsigned, value, span.size),
                            FormatValue(NotationSigned, value, span.size));
    if (const QString shown = CellTextOfValue(doc, cell, value); shown != FormatCellValue(doc, cell, value))
        text += QStringLiteral("（%1）").arg(shown);
    if (const int field = cell.tab == TabBattle ? BattleFieldOf(doc, cell.col) : cell.col; field != cell.col)
        text += QStringLiteral("（バイト %1 から始まる値の一部）").arg(field);
    return text;
}

} // namespace

QString DescribeCell(const DocumentState& doc, int tab, int dataSet, int row, int col)
{
    if (tab == TabIndividual)
        col = 1;
    const CellRef cell{tab, dataSet, col, row};
    const CellSpan span = CellSpanOf(doc, cell);
    if (!span)
        return QString();
    switch (tab) {
    case TabIdSection: {
        const DataSet& set = doc.DataSets(dataSet);
        const int id = row - 1;
        return QStringLiteral("ID %1 (0x%2)%3").arg(id).arg(QString::number(id, 16).toUpper().rightJustified(2, u'0'), Named(set.IdNames(row)))
               + kGap + Section(set.SectionNames(col), col) + kGap + Place(doc, tab, dataSet, row, col, span.size) + kGap
               + Value(doc, cell, span);
    }
    case TabIndividual:
        return QStringLiteral("個別データ %1%2").arg(row).arg(Named(doc.IndividualNames(row))) + kGap
               + Place(doc, tab, 0, row, col, span.size) + kGap + Value(doc, cell, span);
    default:
        return QStringLiteral("レコード %1%2  ブロック %3").arg(row).arg(Named(BattleRowLabel(doc, row))).arg(BattleBlockOf(doc, row))
               + kGap + Section(doc.BattleSectionNames(col), col) + kGap + Value(doc, cell, span);
    }
}

} // namespace zor
