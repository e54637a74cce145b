#include "core/output/ReadBack.h"

#include "core/codec/BattleCodec.h"
#include "core/codec/CodecError.h"
#include "core/document/BattleRecords.h"
#include "core/document/CellBytes.h"
#include "core/edit/EditHistory.h"
#include "core/view/Grid.h"

namespace zor {

namespace {

Failure Differs(const QString& detail) { return Failure::Of(Failure::Kind::Refused, QString(), detail); }

[[nodiscard]] Result<void> CellsReadBack(const DocumentState& doc, const QByteArray& image)
{
    for (const CellRef& cell : ChangedCells(doc)) {
        if (cell.tab != TabIdSection && cell.tab != TabIndividual)
            break; // the battle cells follow; they are read back by decoding
        const std::int64_t at = *CellOffset(doc, cell.tab, cell.dataSet, cell.col, cell.row);
        const CellSpan meant = CellSpanOf(doc, cell);
        std::uint32_t read = 0;
        for (int k = meant.size - 1; k >= 0; --k)
            read = read << 8 | (at + k < image.size() ? static_cast<std::uint8_t>(image[static_cast<qsizetype>(at + k)]) : 0);
        if (read != meant.value())
            return Differs(QStringLiteral("%1（オフセット %2）は %3 を書くはずが、保存するイメージでは %4 になります。"
                                          "戦闘パラメータのブロック、ポインタ表、バンクのバイトかヘッダーと重なっています。")
                               .arg(CellName(doc, cell.tab, cell.dataSet, cell.col, cell.row), HexOffset(at),
                                    FormatCellValue(doc, cell, meant.value()), FormatCellValue(doc, cell, read)));
    }
    return {};
}

[[nodiscard]] Result<void> BattleReadsBack(const DocumentState& doc, const QByteArray& image)
{
    if (doc.BattleDecodeFailed || doc.BattleCount() == 0)
        return {}; // the image has no battle records to give back
    BattleRecords read;
    try {
        BattleCodec codec;
        StreamArray bytes;
        codec.DecodeBattleBlocks(bytes, image);
        read = SplitBattleStream(NdArray<std::uint8_t, 1>::FromElements(std::move(bytes)));
    } catch (const CodecError& e) {
        return Differs(QStringLiteral("保存するイメージからは戦闘パラメータを読めません。%1").arg(e.message()));
    }
    if (read.count != doc.BattleCount())
        return Differs(QStringLiteral("保存するイメージからは戦闘パラメータが %1 件読めるはずが、%2 件になります。").arg(doc.BattleCount()).arg(read.count));
    for (int r = 1; r <= doc.BattleCount(); ++r)
        for (int c = 1; c <= kBattleRecordSize; ++c)
            if (read.params(c, r) != doc.BattleParams(c, r))
                return Differs(QStringLiteral("保存するイメージからは戦闘パラメータのレコード %1 のバイト %2 が %3 ではなく %4 と読めます。")
                                   .arg(r)
                                   .arg(c)
                                   .arg(FormatByteIn(ShownNotation(doc, TabBattle, 0, c), doc.BattleParams(c, r)),
                                        FormatByteIn(ShownNotation(doc, TabBattle, 0, c), read.params(c, r))));
    for (int k = 1; k <= kBattleBlockCount; ++k)
        if (read.groupStarts(k) != doc.GroupStarts(k))
            return Differs(QStringLiteral("保存するイメージからはブロック %1 がレコード %2 ではなく %3 から始まると読めます。")
                               .arg(k + 1)
                               .arg(doc.GroupStarts(k))
                               .arg(read.groupStarts(k)));
    return {};
}

} // namespace

Result<void> CheckReadBack(const DocumentState& doc, const QByteArray& image)
{
    if (Result<void> cells = CellsReadBack(doc, image); !cells)
        return cells;
    return BattleReadsBack(doc, image);
}

} // namespace zor
