#include "core/document/CellBytes.h"

#include "core/codec/CodecError.h"
#include "core/codec/ImageLayout.h"
#include "core/document/ReadImage.h"
#include "core/files/Text.h"

#include <algorithm>

namespace zor {

int BattleFieldOf(const DocumentState& doc, int col)
{
    return col >= 1 && col <= kBattleRecordSize ? col - doc.BattleFieldBack[static_cast<std::size_t>(col)] : col;
}

const CellType& CellTypeOf(const DocumentState& doc, const CellRef& cell)
{
    static const CellType byte;
    if (cell.tab == TabBattle && BattleFieldOf(doc, cell.col) != cell.col)
        return byte;
    return SectionType(doc, cell.tab, cell.dataSet, cell.tab == TabIndividual ? cell.row : cell.col);
}

CellSpan CellSpanOf(const DocumentState& doc, const CellRef& cell)
{
    const int col = cell.col;
    const int row = cell.row;
    if (row < 1 || col < 1)
        return {};
    switch (cell.tab) {
    case TabIdSection: {
        if (cell.dataSet < 1 || cell.dataSet > doc.DataSetCount || row > doc.DataSets(cell.dataSet).IdCount
            || col > doc.DataSets(cell.dataSet).SectionCount)
            return {};
        const NdArray<std::uint8_t, 2>& bytes = doc.IdBytes(cell.dataSet);
        const int column = doc.IdColumn(cell.dataSet, col);
        const int size = SectionType(doc, TabIdSection, cell.dataSet, col).Size;
        if (column < 1 || !bytes.contains(column + size - 1, row - 1))
            return {};
        // (byte column, ID): the next byte is a whole column of IDs further on.
        return {&bytes(column, row - 1), bytes.upper(1) + 1, size};
    }
    case TabIndividual: {
        const int index = doc.IndividualIndex(row);
        const int size = SectionType(doc, TabIndividual, 0, row).Size;
        if (row > doc.IndividualCount || index < 1 || !doc.IndividualBytes().contains(index + size - 1))
            return {};
        return {&doc.IndividualBytes()(index), 1, size};
    }
    case TabBattle: {
        if (row > doc.BattleCount() || col > kBattleRecordSize)
            return {};
        const int size = CellTypeOf(doc, cell).Size;
        return {&doc.BattleParams()(col, row), doc.BattleParams().upper(1) + 1, size};
    }
    default:
        return {};
    }
}

const std::uint8_t* CellByte(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    return CellSpanOf(doc, {tab, dataSet, col, row}).first;
}

std::optional<std::uint32_t> CellValueOf(const DocumentState& doc, const CellRef& cell)
{
    const CellSpan span = CellSpanOf(doc, cell);
    if (!span)
        return std::nullopt;
    return span.value();
}

std::optional<std::int64_t> CellOffset(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    if (!CellByte(doc, tab, dataSet, col, row))
        return std::nullopt;
    if (tab == TabIdSection) {
        const DataSet& set = doc.DataSets(dataSet);
        if (set.SectionAddressUnusable(col))
            return std::nullopt;
        return std::int64_t{set.SectionAddresses(col)} + std::int64_t{row - 1} * set.SectionSettings(SettingStep, col);
    }
    if (tab == TabIndividual && !doc.IndividualAddressUnusable(row))
        return doc.IndividualAddresses(row);
    return std::nullopt;
}

QString CellName(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    if (tab == TabIndividual)
        return QStringLiteral("個別データ「%1」").arg(QuoteText(doc.IndividualNames(row)));
    if (tab == TabBattle)
        return QStringLiteral("戦闘パラメータのレコード %1 のバイト %2").arg(row).arg(col);
    const DataSet& set = doc.DataSets(dataSet);
    return QStringLiteral("「%1」の ID %2「%3」、セクション「%4」")
        .arg(QuoteText(set.Name))
        .arg(row - 1)
        .arg(QuoteText(set.IdNames(row)), QuoteText(set.SectionNames(col)));
}

namespace {

// With FixChecksum=1 every save writes the header's checksum and complement over whatever
// a cell there would hold: the offset of the first of the cell's size bytes that lies there.
std::optional<std::int64_t> InChecksum(const DocumentState& doc, std::int64_t offset, int size)
{
    if (!doc.FixChecksum)
        return std::nullopt;
    const std::optional<qsizetype> place = ChecksumPlace(doc.RomSizeAtRead);
    if (!place || offset + size <= *place || offset >= *place + kChecksumBytes)
        return std::nullopt;
    return std::max<std::int64_t>(offset, *place);
}

} // namespace

std::optional<QString> ReadOnlyReason(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    if (!CellByte(doc, tab, dataSet, col, row))
        return std::nullopt;
    if (!doc.ImageReadOnly.isEmpty())
        return doc.ImageReadOnly;
    if (tab == TabBattle) {
        if (const int field = BattleFieldOf(doc, col); field != col)
            return QStringLiteral("戦闘パラメータのバイト %1 はバイト %2 から始まる %3 バイトの値の一部のため、ここでは変更できません。"
                                  "バイト %2 の列で変更してください。")
                .arg(col)
                .arg(field)
                .arg(SectionType(doc, TabBattle, 0, field).Size);
        return BattleReadOnlyReason(doc);
    }
    if (tab != TabIdSection && tab != TabIndividual)
        return std::nullopt;
    if (tab == TabIdSection && doc.DataSets(dataSet).SettingsUnreadable)
        return QStringLiteral("「%1」の設定ファイル（.ini）を読めなかったため、間隔と表記が分からず、変更できません。")
            .arg(QuoteText(doc.DataSets(dataSet).Name));
    const std::optional<std::int64_t> offset = CellOffset(doc, tab, dataSet, col, row);
    const int size = CellTypeOf(doc, {tab, dataSet, col, row}).Size;
    const std::optional<std::int64_t> checksum = offset ? InChecksum(doc, *offset, size) : std::nullopt;
    if (offset && *offset >= 0 && *offset + size <= kMaxImageSize && !checksum)
        return std::nullopt; // the usual case, asked for every cell of a paste: no name made
    const QString name = CellName(doc, tab, dataSet, col, row);
    if (checksum)
        return QStringLiteral("%1はヘッダーのチェックサム（オフセット %2）にあり、FixChecksum=1 のため保存のたびに書き直されるので、"
                              "変更できません。")
            .arg(name, HexOffset(*checksum));
    if (!offset)
        return QStringLiteral("%1はオフセットを読めないため、書けません。").arg(name);
    if (*offset < 0)
        return QStringLiteral("%1はオフセット %2 がイメージの先頭より前にあるため、書けません。").arg(name, HexOffset(*offset));
    // A wider cell may start below the limit and end past it: the offset named is its first byte past it.
    return QStringLiteral("%1はオフセット %2 がイメージの大きさの上限（64 MiB）を超えるため、書けません。")
        .arg(name, HexOffset(std::max<std::int64_t>(*offset, kMaxImageSize)));
}

std::optional<QString> BattleReadOnlyReason(const DocumentState& doc)
{
    if (!doc.ImageReadOnly.isEmpty())
        return doc.ImageReadOnly;
    if (!doc.BattleReadOnly.isEmpty())
        return doc.BattleReadOnly;
    return std::nullopt;
}

} // namespace zor
