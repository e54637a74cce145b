#include "core/document/BattleRecords.h"

#include "core/codec/BattleCodec.h"

#include <algorithm>

namespace zor {

NdArray<std::uint8_t, 1> StreamFromBytes(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t> elements(bytes.size() + 2, 0);
    std::copy(bytes.begin(), bytes.end(), elements.begin() + 1);
    return NdArray<std::uint8_t, 1>::FromElements(std::move(elements));
}

BattleRecords SplitBattleStream(const NdArray<std::uint8_t, 1>& stream)
{
    const int upper = stream.upper();
    BattleRecords out;
    out.count = BattleRecordCount(upper);
    if (out.count < 0)
        throw CodecError(QStringLiteral("戦闘パラメータのデータが短すぎます（%1 バイト）。").arg(std::max(upper, 0)));
    const int maxGroup = out.groupStarts.upper();
    out.params.redim(kRecordSize + 1, out.count + 1);

    int position = 0;
    for (int i = 1; i <= out.count; ++i) {
        if (position != 0) {
            if (position + 1 > upper)
                throw CodecError(QStringLiteral("レコード %1 の前でデータが終わっています。").arg(i));
            if (stream(position + 1) == 0) {
                ++position;
                if (++out.separators > maxGroup)
                    throw CodecError(QStringLiteral("区切りの 0 が %1 個を超えています（レコード %2 の前）。").arg(maxGroup).arg(i));
                out.groupStarts(out.separators) = i;
            }
        }
        if (position + kRecordSize > upper)
            throw CodecError(QStringLiteral("レコード %1 の途中でデータが終わっています。").arg(i));
        for (int j = 1; j <= kRecordSize; ++j)
            out.params(j, i) = stream(++position);
    }
    return out;
}

void ClearBattleRecords(DocumentState& doc)
{
    BattleRecords none;
    none.params.redim(kRecordSize + 1, 1);
    none.groupStarts.redim(kBlockCount + 1);
    TableLoad::Battle(doc, std::move(none));
}

void ReadBattleRecords(DocumentState& doc)
{
    BattleRecords records;
    try {
        records = SplitBattleStream(doc.BattleStream);
    } catch (const CodecError&) {
        ClearBattleRecords(doc);
        throw;
    }
    TableLoad::Battle(doc, std::move(records));
}

int BattleBlockOf(const DocumentState& doc, int record)
{
    if (record < 1 || record > doc.BattleCount())
        return 0;
    // Counted rather than searched: unused entries hold 0 and may follow used ones.
    int block = 1;
    for (int k = 1; k <= kBlockCount && k <= doc.GroupStarts().upper(); ++k)
        if (doc.GroupStarts(k) > 0 && doc.GroupStarts(k) <= record)
            ++block;
    return block;
}

std::vector<int> BattleBlockSizes(const DocumentState& doc)
{
    // How many block starts lie at each record; a record's block is 1 + the starts at or before it.
    std::vector<int> startsAt(static_cast<std::size_t>(doc.BattleCount()) + 1, 0);
    for (int k = 1; k <= kBlockCount && k <= doc.GroupStarts().upper(); ++k)
        if (doc.GroupStarts(k) > 0 && doc.GroupStarts(k) <= doc.BattleCount())
            ++startsAt[static_cast<std::size_t>(doc.GroupStarts(k))];
    std::vector<int> sizes(kBlockCount + 2, 0);
    int block = 1;
    for (int r = 1; r <= doc.BattleCount(); ++r) {
        block += startsAt[static_cast<std::size_t>(r)];
        ++sizes[static_cast<std::size_t>(block)];
    }
    return sizes;
}

RecordRange GroupRecords(const BattleRecords& records, int group)
{
    if (records.count == 0 || group < 0 || group > records.separators)
        return {};
    const int first = group == 0 ? 1 : records.groupStarts(group);
    const int last = group == records.separators ? records.count : records.groupStarts(group + 1) - 1;
    return {first, last};
}

} // namespace zor
