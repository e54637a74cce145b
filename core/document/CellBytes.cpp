#include "core/document/CellBytes.h"

#include "core/codec/CodecError.h"
#include "core/codec/ImageLayout.h"
#include "core/document/ReadImage.h"
#include "core/files/Text.h"

namespace zor {

const std::uint8_t* CellByte(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    if (row < 1 || col < 1)
        return nullptr;
    switch (tab) {
    case TabIdSection:
        if (dataSet < 1 || dataSet > doc.DataSetCount || row > doc.DataSets(dataSet).IdCount
            || col > doc.DataSets(dataSet).SectionCount)
            return nullptr;
        return doc.IdBytes(dataSet).contains(col, row - 1) ? &doc.IdBytes(dataSet)(col, row - 1) : nullptr;
    case TabIndividual:
        return row <= doc.IndividualCount && doc.IndividualBytes().contains(row) ? &doc.IndividualBytes()(row) : nullptr;
    case TabBattle:
        return row <= doc.BattleCount() && col <= kBattleRecordSize ? &doc.BattleParams()(col, row) : nullptr;
    default:
        return nullptr;
    }
}

RowBytes CellRowBytes(const DocumentState& doc, int tab, int dataSet, int row)
{
    const std::uint8_t* first = CellByte(doc, tab, dataSet, 1, row);
    if (!first)
        return {};
    switch (tab) {
    case TabIdSection: {
        // (section, ID): the next section is a whole column of IDs further on.
        const NdArray<std::uint8_t, 2>& bytes = doc.IdBytes(dataSet);
        return {first, bytes.upper(1) + 1, doc.DataSets(dataSet).SectionCount};
    }
    case TabBattle:
        return {first, doc.BattleParams().upper(1) + 1, kBattleRecordSize};
    default:
        return {first, 0, 1};
    }
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
    const DataSet& set = doc.DataSets(dataSet);
    return QStringLiteral("「%1」の ID %2「%3」、セクション「%4」")
        .arg(QuoteText(set.Name))
        .arg(row - 1)
        .arg(QuoteText(set.IdNames(row)), QuoteText(set.SectionNames(col)));
}

namespace {

// With FixChecksum=1 every save writes the header's checksum and complement over whatever
// a cell there would hold.
bool InChecksum(const DocumentState& doc, std::int64_t offset)
{
    if (!doc.FixChecksum)
        return false;
    const std::optional<qsizetype> place = ChecksumPlace(doc.RomSizeAtRead);
    return place && offset >= *place && offset < *place + kChecksumBytes;
}

} // namespace

std::optional<QString> ReadOnlyReason(const DocumentState& doc, int tab, int dataSet, int col, int row)
{
    if (!CellByte(doc, tab, dataSet, col, row))
        return std::nullopt;
    if (!doc.ImageReadOnly.isEmpty())
        return doc.ImageReadOnly;
    if (tab == TabBattle)
        return BattleReadOnlyReason(doc);
    if (tab != TabIdSection && tab != TabIndividual)
        return std::nullopt;
    if (tab == TabIdSection && doc.DataSets(dataSet).SettingsUnreadable)
        return QStringLiteral("「%1」の設定ファイル（.ini）を読めなかったため、間隔と表記が分からず、変更できません。")
            .arg(QuoteText(doc.DataSets(dataSet).Name));
    const std::optional<std::int64_t> offset = CellOffset(doc, tab, dataSet, col, row);
    if (offset && *offset >= 0 && *offset < kMaxImageSize && !InChecksum(doc, *offset))
        return std::nullopt; // the usual case, asked for every cell of a paste: no name made
    const QString name = CellName(doc, tab, dataSet, col, row);
    if (offset && InChecksum(doc, *offset))
        return QStringLiteral("%1はヘッダーのチェックサム（オフセット %2）にあり、FixChecksum=1 のため保存のたびに書き直されるので、"
                              "変更できません。")
            .arg(name, HexOffset(*offset));
    if (!offset)
        return QStringLiteral("%1はオフセットを読めないため、書けません。").arg(name);
    if (*offset < 0)
        return QStringLiteral("%1はオフセット %2 がイメージの先頭より前にあるため、書けません。").arg(name, HexOffset(*offset));
    return QStringLiteral("%1はオフセット %2 がイメージの大きさの上限（64 MiB）を超えるため、書けません。")
        .arg(name, HexOffset(*offset));
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
