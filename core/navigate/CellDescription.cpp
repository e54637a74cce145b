#include "core/navigate/CellDescription.h"

#include "core/document/BattleRecords.h"
#include "core/document/CellBytes.h"
#include "core/files/ReadFile.h"
#include "core/navigate/SnesAddressText.h"
#include "core/view/Conversions.h"
#include "core/view/Grid.h"

namespace zor {

namespace {

const QString kGap = QStringLiteral("  ");

QString Named(const QString& name) { return name.isEmpty() ? QString() : QStringLiteral("「%1」").arg(name); }

QString Section(const QString& caption, int section)
{
    return caption.isEmpty() ? QStringLiteral("セクション %1").arg(section) : caption;
}

QString Place(const DocumentState& doc, int tab, int dataSet, int row, int col)
{
    const std::optional<std::int64_t> offset = CellOffset(doc, tab, dataSet, col, row);
    if (!offset)
        return QStringLiteral("オフセットを読めません（書けません）");
    if (*offset < 0)
        return QStringLiteral("オフセットがイメージの先頭より前です（書けません）");
    if (*offset >= kMaxImageSize)
        return QStringLiteral("オフセットが 64 MiB を超えています（書けません）");
    const QString address = SnesAddressText(*offset);
    return QStringLiteral("オフセット ") + OffsetText(*offset) + (address.isEmpty() ? QString() : kGap + address);
}

QString Value(std::uint8_t byte)
{
    return QStringLiteral("値 0x%1 / %2 / %3")
        .arg(QString::number(byte, 16).toUpper().rightJustified(2, u'0'))
        .arg(byte)
        .arg(ByteToSigned(byte));
}

} // namespace

QString DescribeCell(const DocumentState& doc, int tab, int dataSet, int row, int col)
{
    if (tab == TabIndividual)
        col = 1;
    const std::uint8_t* byte = CellByte(doc, tab, dataSet, col, row);
    if (!byte)
        return QString();
    switch (tab) {
    case TabIdSection: {
        const DataSet& set = doc.DataSets(dataSet);
        const int id = row - 1;
        return QStringLiteral("ID %1 (0x%2)%3").arg(id).arg(QString::number(id, 16).toUpper().rightJustified(2, u'0'), Named(set.IdNames(row)))
               + kGap + Section(set.SectionNames(col), col) + kGap + Place(doc, tab, dataSet, row, col) + kGap + Value(*byte);
    }
    case TabIndividual:
        return QStringLiteral("個別データ %1%2").arg(row).arg(Named(doc.IndividualNames(row))) + kGap + Place(doc, tab, 0, row, col)
               + kGap + Value(*byte);
    default:
        return QStringLiteral("レコード %1%2  ブロック %3").arg(row).arg(Named(BattleRowLabel(doc, row))).arg(BattleBlockOf(doc, row))
               + kGap + Section(doc.BattleSectionNames(col), col) + kGap + Value(*byte);
    }
}

} // namespace zor
