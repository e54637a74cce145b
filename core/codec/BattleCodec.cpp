#include "core/codec/BattleCodec.h"

#include "core/codec/SnesAddress.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace zor {

int BattleRecordCount(int streamUpper)
{
    const int x = streamUpper - kBlockCount;
    int q = x / kRecordSize;
    int r = x % kRecordSize;
    if (r < 0) {
        r += kRecordSize;
        --q;
    }
    return 2 * r > kRecordSize ? q + 1 : q;
}

std::int32_t PointerTableOffsetIn(const QByteArray& image)
{
    const auto at = [&](std::int32_t offset) {
        return offset < image.size() ? static_cast<std::uint8_t>(image[offset]) : std::uint8_t{0};
    };
    return SnesAddressToOffset(at(kTablePointerLow), at(kTablePointerHigh), at(kTablePointerBank));
}

void BattleCodec::ResetCodecState() { scratch_ = Scratch{}; }

namespace {

// A place before the image has no offset to show: it is named by the SNES address it
// was reached through, in the bank the pointer gave.
QString PlaceText(std::int64_t offset, std::uint8_t bank)
{
    if (offset >= 0)
        return HexOffset(offset);
    std::int64_t address = offset - (static_cast<std::int64_t>(bank) - 0x80) * 0x8000 + 0x8000;
    int shownBank = bank;
    for (; address > 0xFFFF; address -= 0x8000) // past the bank's end: the next bank's $8000 on
        ++shownBank;
    return QStringLiteral("$%1:%2")
        .arg(shownBank, 2, 16, QLatin1Char('0'))
        .arg(address, 4, 16, QLatin1Char('0'))
        .toUpper();
}

QString OutsideImage(int block, std::int64_t offset, std::uint8_t bank, const QString& what)
{
    return QStringLiteral("ブロック %1 の読み込み位置 %2 がイメージの外です（%3）。")
        .arg(block + 1)
        .arg(PlaceText(offset, bank), what);
}

// Decoded bytes indexed like the output array: element 0 carries nothing.
void Publish(StreamArray& output, const std::vector<std::uint8_t>& bytes, std::size_t total)
{
    output.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(total) + 1);
    output[0] = 0;
    output.push_back(0);
}

} // namespace

void BattleCodec::DecodeBattleBlocks(StreamArray& output, const QByteArray& image)
{
    ResetCodecState();
    output.assign(2, 0); // no block yet
    const auto* data = reinterpret_cast<const std::uint8_t*>(image.constData());
    const std::int64_t size = image.size();

    auto fixedByte = [&](std::int64_t offset, const QString& what) {
        if (offset >= size)
            throw CodecError(QStringLiteral("%1の読み込み位置 %2 がイメージの外です。").arg(what, HexOffset(offset)));
        return data[offset];
    };
    // Read one after the other, so that a failure names the first place outside.
    const QString dictionaryPointer = QStringLiteral("辞書ポインタ");
    const std::uint8_t dictionaryLow = fixedByte(kDictionaryPointerLow, dictionaryPointer);
    const std::uint8_t dictionaryHigh = fixedByte(kDictionaryPointerHigh, dictionaryPointer);
    const std::uint8_t dictionaryBank = fixedByte(kDictionaryPointerBank, dictionaryPointer);
    dictionaryBase_ = SnesAddressToOffset(dictionaryLow, dictionaryHigh, dictionaryBank);
    const QString tablePointer = QStringLiteral("ポインタ表のポインタ");
    const std::uint8_t tableLow = fixedByte(kTablePointerLow, tablePointer);
    const std::uint8_t tableHigh = fixedByte(kTablePointerHigh, tablePointer);
    const std::uint8_t tableBank = fixedByte(kTablePointerBank, tablePointer);
    scratch_.tableOffset = SnesAddressToOffset(tableLow, tableHigh, tableBank);
    scratch_.blockBank = fixedByte(kBlockBankOffset, QStringLiteral("ブロックのバンク"));

    const std::int64_t dictionary = static_cast<std::int64_t>(dictionaryBase_) + 2;
    std::vector<std::uint8_t> bytes(1, 0);
    bytes.reserve(16384);
    std::size_t completed = 0; // bytes of the blocks decoded completely
    try {
        for (int n = 0; n < kBlockCount; ++n) {
            scratch_.block = n;
            // bank: the one the offset's pointer named, to name a place before the image.
            auto read = [&](std::int64_t offset, std::uint8_t bank, const QString& what) {
                if (offset < 0 || offset >= size)
                    throw CodecError(OutsideImage(n, offset, bank, what), n);
                return data[offset];
            };
            const QString pointerText = QStringLiteral("ポインタ");
            const std::int64_t entry = static_cast<std::int64_t>(scratch_.tableOffset) + 2 * n;
            const std::uint8_t pointerLow = read(entry, tableBank, pointerText);
            const std::uint8_t pointerHigh = read(entry + 1, tableBank, pointerText);
            const auto blockBank = static_cast<std::uint8_t>(scratch_.blockBank);
            const std::int64_t block = SnesAddressToOffset(pointerLow, pointerHigh, blockBank);

            const QString sizeText = QStringLiteral("サイズ");
            const std::uint8_t sizeLow = read(block, blockBank, sizeText);
            const std::uint8_t sizeHigh = read(block + 1, blockBank, sizeText);
            try {
                scratch_.blockSize = BytesToValue(sizeLow, sizeHigh, 0);
            } catch (const std::overflow_error&) {
                throw CodecError(QStringLiteral("ブロック %1 のサイズ（位置 %2）の上位バイト 0x%3 が 0x80 以上で、読めません。")
                                     .arg(n + 1)
                                     .arg(HexOffset(block))
                                     .arg(sizeHigh, 2, 16, QLatin1Char('0')),
                                 n);
            }
            scratch_.blockStart = static_cast<std::int64_t>(bytes.size()) - 1;

            const QString streamText = QStringLiteral("ブロックのデータ");
            const QString dictionaryText = QStringLiteral("辞書");
            std::int64_t position = block + 2;
            const std::size_t first = bytes.size();
            const auto blockSize = static_cast<std::size_t>(scratch_.blockSize);
            bool finished = false;
            while (!finished) {
                const std::uint8_t flags = read(position++, blockBank, streamText);
                for (int bit = 7; bit >= 0; --bit) {
                    if (flags & (1u << bit)) {
                        bytes.push_back(read(position++, blockBank, streamText));
                    } else {
                        const std::uint8_t x = read(position++, blockBank, streamText);
                        const std::uint8_t y = read(position++, blockBank, streamText);
                        const int length = (x >> 4) + kMinReference;
                        const std::int64_t from = dictionary + (x & 0x0F) * 256 + y;
                        // A run near the dictionary's end goes on into the bytes after it.
                        if (from < 0 || from + length > size)
                            throw CodecError(OutsideImage(n, from < 0 ? from : std::max(from, size), dictionaryBank, dictionaryText), n);
                        bytes.insert(bytes.end(), data + from, data + from + length);
                    }
                    // Tested after each whole item: a long reference may overshoot the size and is kept.
                    if (bytes.size() - first >= blockSize) {
                        finished = true;
                        break;
                    }
                }
            }
            scratch_.readPosition = position;
            completed = bytes.size() - 1;
            scratch_.outputCount = static_cast<std::int64_t>(completed);
        }
    } catch (const CodecError&) {
        Publish(output, bytes, completed);
        throw;
    }
    Publish(output, bytes, completed);
}

namespace {

// Positions of the dictionary by their first four bytes, each chain in ascending
// order, so that the first longest match found is the lowest one: the same choice as
// trying every candidate length from 18 down against the whole dictionary.
class DictionaryIndex {
public:
    explicit DictionaryIndex(const std::array<std::uint8_t, kDictionarySize>& dictionary) : dictionary_(dictionary)
    {
        head_.fill(-1);
        for (int p = kDictionarySize - kMinEncodedReference; p >= 0; --p) {
            const unsigned h = Hash(Key(dictionary_.data() + p));
            next_[p] = head_[h];
            head_[h] = static_cast<std::int16_t>(p);
        }
    }

    struct Match {
        int length = 0;
        int position = 0;
    };

    // The longest prefix of bytes[0..count) (count <= 18) inside the dictionary, lowest position first.
    Match Longest(const std::uint8_t* bytes, int count) const
    {
        Match best;
        if (count < kMinEncodedReference)
            return best;
        const std::uint32_t key = Key(bytes);
        for (int p = head_[Hash(key)]; p >= 0; p = next_[p]) {
            const std::uint8_t* at = dictionary_.data() + p;
            if (Key(at) != key)
                continue;
            const int limit = std::min(count, kDictionarySize - p);
            int length = kMinEncodedReference;
            while (length < limit && at[length] == bytes[length])
                ++length;
            if (length > best.length) {
                best = {length, p};
                if (length == count)
                    break;
            }
        }
        return best;
    }

private:
    static std::uint32_t Key(const std::uint8_t* p)
    {
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    static unsigned Hash(std::uint32_t key) { return (key * 2654435761u) >> (32 - kHashBits); }

    static constexpr int kHashBits = 13;
    const std::array<std::uint8_t, kDictionarySize>& dictionary_;
    std::array<std::int16_t, 1 << kHashBits> head_;
    std::array<std::int16_t, kDictionarySize> next_{};
};

struct BlockSpan {
    int first = 0; // stream elements first..last, the terminating 0 included
    int last = 0;
};

} // namespace

void BattleCodec::EncodeBattleBlocks(const StreamArray& stream, QByteArray& image)
{
    ResetCodecState();

    const std::int64_t dictionaryFirst = static_cast<std::int64_t>(dictionaryBase_) + 2;
    const std::int64_t dictionaryLast = dictionaryFirst + kDictionarySize - 1;
    if (dictionaryFirst < 0 || dictionaryLast >= image.size())
        throw CodecError(QStringLiteral("辞書（%1 から %2）がイメージの外にあります。")
                             .arg(HexOffset(dictionaryFirst), HexOffset(dictionaryLast)));

    // The dictionary as it reads once the bank bytes are written, as the next decode will see it.
    std::array<std::uint8_t, kDictionarySize> dictionary;
    std::copy_n(reinterpret_cast<const std::uint8_t*>(image.constData()) + dictionaryFirst, kDictionarySize,
                dictionary.begin());
    for (std::int32_t at : kBankByteOffsets)
        if (at >= dictionaryFirst && at <= dictionaryLast)
            dictionary[at - dictionaryFirst] = kRegionBank;

    // The stream, then its blocks, exactly as the record counter walks them.
    const int upper = static_cast<int>(stream.size()) - 1;
    std::vector<std::uint8_t> bytes(stream);
    if (bytes.empty())
        bytes.push_back(0);
    std::vector<BlockSpan> blocks;
    blocks.reserve(kBlockCount);
    const int records = BattleRecordCount(upper);
    scratch_.blockNumber = 1;
    scratch_.blockFirst = 1;
    // A 0 where a block's first record begins: an empty block, or a record that begins
    // with 0, which the loader would take for a separator. (Further on in a block such
    // a 0 is a separator to the loader and to this walk alike.)
    auto checkBlockStart = [&](int block) {
        if (scratch_.blockFirst <= upper && bytes[scratch_.blockFirst] == 0)
            throw CodecError(QStringLiteral("ブロック %1 の最初のレコードが 0 で始まっています（空のブロックか、0 で始まるレコード）。"
                                            "0 で始まるレコードは書けません。")
                                 .arg(block + 1),
                             block);
    };
    if (records > 0)
        checkBlockStart(0);
    for (int k = 1; k <= records; ++k) {
        scratch_.recordIndex = k;
        const int block = static_cast<int>(blocks.size());
        const std::int64_t end = static_cast<std::int64_t>(kRecordSize) * k + scratch_.blockNumber;
        if (end > upper)
            throw CodecError(QStringLiteral("ブロック %1 のレコードの途中でデータが終わっています（レコード %2）。").arg(block + 1).arg(k),
                             block);
        if (bytes[end] != 0)
            continue;
        if (block == kBlockCount)
            throw CodecError(QStringLiteral("ブロック %1 があります。ブロックは 1 から 314 の 314 個でなければなりません"
                                            "（0 で始まるレコードも区切りと見なされます）。")
                                 .arg(block + 1),
                             block);
        blocks.push_back({scratch_.blockFirst, static_cast<int>(end)});
        ++scratch_.blockNumber;
        scratch_.blockFirst = kRecordSize * k + scratch_.blockNumber;
        if (k < records)
            checkBlockStart(block + 1);
    }
    if (blocks.size() != kBlockCount)
        throw CodecError(QStringLiteral("ブロック %1 から後がありません。ブロックは 314 個必要ですが、%2 個しかありません。").arg(blocks.size() + 1).arg(blocks.size()),
                         static_cast<int>(blocks.size()));
    if (scratch_.blockFirst < upper)
        throw CodecError(QStringLiteral("ブロック 314 の後に、どのブロックにも入らないデータが %1 バイトあります。")
                             .arg(upper - scratch_.blockFirst),
                         kBlockCount - 1);

    // Encode into scratch buffers first; the image is written only when all of it fits.
    const DictionaryIndex index(dictionary);
    std::vector<std::uint8_t> region;
    region.reserve(kRegionLastWritten + 1 + 2 * kRecordSize);
    std::array<std::int32_t, kBlockCount> table{};
    for (int n = 0; n < kBlockCount; ++n) {
        scratch_.block = n;
        const BlockSpan span = blocks[n];
        const int length = span.last - span.first + 1;
        if (length > 0x7FFF)
            throw CodecError(QStringLiteral("ブロック %1 の大きさ %2 バイトは、書ける上限の 32767 バイトを超えています。").arg(n + 1).arg(length), n);
        scratch_.blockSize = length;
        scratch_.blockStart = static_cast<std::int64_t>(region.size());
        table[n] = static_cast<std::int32_t>(region.size());
        region.push_back(static_cast<std::uint8_t>(length & 0xFF));
        region.push_back(static_cast<std::uint8_t>(length >> 8));

        const std::uint8_t* next = bytes.data() + span.first;
        int remaining = length;
        while (remaining > 0) {
            const std::size_t flagAt = region.size();
            region.push_back(0);
            std::uint8_t flags = 0;
            for (int item = 0; item < 8 && remaining > 0; ++item) {
                const DictionaryIndex::Match match = index.Longest(next, std::min(kMaxReference, remaining));
                if (match.length >= kMinEncodedReference) {
                    region.push_back(static_cast<std::uint8_t>(((match.length - kMinReference) << 4) | (match.position >> 8)));
                    region.push_back(static_cast<std::uint8_t>(match.position & 0xFF));
                    next += match.length;
                    remaining -= match.length;
                } else {
                    flags |= static_cast<std::uint8_t>(0x80u >> item);
                    region.push_back(*next++);
                    --remaining;
                }
            }
            region[flagAt] = flags;
        }
        scratch_.outputCount = static_cast<std::int64_t>(region.size());
        if (region.size() > static_cast<std::size_t>(kRegionLastWritten) + 1)
            throw CodecError(QStringLiteral("ブロック %1 が領域に収まりません（領域オフセット %2 から %3 まで。書けるのは 0x7FFE まで）。")
                                 .arg(n + 1)
                                 .arg(HexOffset(table[n]), HexOffset(static_cast<std::int64_t>(region.size()) - 1)),
                             n);
    }
    region.resize(static_cast<std::size_t>(kRegionLastWritten) + 1, 0);

    std::array<std::uint8_t, 2 * kBlockCount> pointers;
    for (int n = 0; n < kBlockCount; ++n) {
        pointers[2 * n] = static_cast<std::uint8_t>(table[n] & 0xFF);
        pointers[2 * n + 1] = static_cast<std::uint8_t>((table[n] >> 8) + 0x80);
    }

    // A dictionary that shares bytes with the table or the region would change under the
    // blocks just made for it, and they would decode to something else.
    auto keepsDictionary = [&](std::int64_t at, const std::uint8_t* written, std::int64_t count) {
        const std::int64_t from = std::max(at, dictionaryFirst);
        const std::int64_t to = std::min(at + count - 1, dictionaryLast);
        for (std::int64_t i = from; i <= to; ++i)
            if (written[i - at] != dictionary[i - dictionaryFirst])
                return false;
        return true;
    };
    if (!keepsDictionary(kPointerTableOffset, pointers.data(), static_cast<std::int64_t>(pointers.size()))
        || !keepsDictionary(kRegionOffset, region.data(), static_cast<std::int64_t>(region.size())))
        throw CodecError(QStringLiteral("辞書（%1 から %2）がポインタ表かブロックの領域と重なっていて、書くと辞書が変わってしまいます。")
                             .arg(HexOffset(dictionaryFirst), HexOffset(dictionaryLast)));

    // A shorter image grows to what the writes reach, with zeros in between.
    const qsizetype reached = static_cast<qsizetype>(kRegionOffset) + kRegionLastWritten + 1;
    if (image.size() < reached)
        image.append(QByteArray(reached - image.size(), '\0'));
    auto* out = reinterpret_cast<std::uint8_t*>(image.data());
    for (std::int32_t at : kBankByteOffsets)
        out[at] = kRegionBank;
    std::copy(pointers.begin(), pointers.end(), out + kPointerTableOffset);
    std::copy(region.begin(), region.end(), out + kRegionOffset);
}

} // namespace zor
