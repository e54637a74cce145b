// Builds a battle table from the input and saves and loads it: the encoder may refuse with CodecError, leaving the
// image untouched, the save may refuse a record that begins with 0, or the records and block starts come back exactly.
//
// Reads past the input's end give 0, so every input is a table; the empty input is 314 blocks of one record each.
//   dictionary  2 bytes length L (little-endian, at most 4096), then L bytes, repeated to fill 4096 (all 0 when L is 0);
//   templates   1 byte count T (0 counts as 1), then T templates: a kind byte, then for an even kind the record's 25
//               bytes, for an odd one 2 bytes naming the dictionary position they are copied from (wrapping);
//   blocks      1 byte count C, then the record counts of blocks 0..C-1: v below 0xF0 is v, a larger v 256 × (v - 0xEF);
//               later blocks repeat the last count (one record when C is 0); records take the templates in turn, at
//               most kMaxRecords in all;
//   patches     the rest, 5 bytes each: kind, then words a and b (little-endian). By kind % 3: 0: record 1 + a % N
//               begins with 0; 1: GroupStarts(1 + a % 313) = b; 2: GroupStarts(1 + a % 312) and the next swap places.
// A template beginning with 0 begins with 1 instead, so only a patch makes a record the loader takes for a block's end.

#include "core/codec/BattleCodec.h"
#include "core/codec/SnesAddress.h"
#include "core/document/BattleRecords.h"
#include "core/document/DocumentState.h"
#include "core/output/Save.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

using namespace zor;

constexpr int kMaxRecords = 6000; // past the region's reach, yet quick to encode
// The dictionary (0xD9002..0xDA001) holds the bank byte 0xD99C4: blocks must match it as it reads after the encoder's write.
constexpr std::int32_t kTableDictionaryBase = 0xD9000;

struct InputReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    std::uint8_t byte() { return at < size ? data[at++] : (++at, 0); }
    int word()
    {
        const int low = byte();
        return low | (byte() << 8);
    }
    bool done() const { return at >= size; }
};

// The table into doc, as the loader leaves it, and the dictionary into dictionary.
void TableFromInput(const std::uint8_t* data, std::size_t size, DocumentState& doc, QByteArray& dictionary)
{
    InputReader in{data, size};
    const int length = std::min(in.word(), kDictionarySize);
    for (int i = 0; i < length; ++i)
        dictionary[i] = static_cast<char>(in.byte());
    for (int i = length; length > 0 && i < kDictionarySize; ++i)
        dictionary[i] = dictionary[i - length];

    using Record = std::array<std::uint8_t, kRecordSize>;
    std::vector<Record> templates(std::max<int>(in.byte(), 1));
    for (Record& record : templates) {
        if (in.byte() % 2 == 0) {
            for (std::uint8_t& b : record)
                b = in.byte();
        } else {
            const int from = in.word();
            for (int j = 0; j < kRecordSize; ++j)
                record[j] = static_cast<std::uint8_t>(dictionary[(from + j) % kDictionarySize]);
        }
        record[0] = std::max<std::uint8_t>(record[0], 1);
    }

    std::array<int, kBlockCount> counts;
    counts.fill(1);
    const int given = in.byte();
    for (int g = 0; g < given; ++g) {
        const int v = in.byte();
        std::fill(counts.begin() + g, counts.end(), v < 0xF0 ? v : 256 * (v - 0xEF));
    }
    BattleRecords records;
    int total = 0;
    for (int g = 0; g < kBlockCount; ++g) {
        counts[g] = std::min(counts[g], kMaxRecords - total);
        if (g > 0)
            records.groupStarts(g) = total + 1;
        total += counts[g];
    }
    records.count = total;
    records.params.redim(kRecordSize + 1, total + 1);
    for (int r = 1; r <= total; ++r)
        for (int j = 1; j <= kRecordSize; ++j)
            records.params(j, r) = templates[(r - 1) % templates.size()][j - 1];

    while (!in.done()) {
        const int kind = in.byte() % 3;
        const int a = in.word();
        const int b = in.word();
        if (kind == 0 && total > 0)
            records.params(1, 1 + a % total) = 0;
        else if (kind == 1)
            records.groupStarts(1 + a % (kBlockCount - 1)) = b;
        else if (kind == 2)
            std::swap(records.groupStarts(1 + a % (kBlockCount - 2)), records.groupStarts(2 + a % (kBlockCount - 2)));
    }
    TableLoad::Battle(doc, std::move(records));
}

// The zeroed 4 MB image with the dictionary pointer at kTableDictionaryBase and the table pointer at the pointer table.
QByteArray BlankImage()
{
    QByteArray image(kEncodedImageSize, '\0');
    for (const auto& [low, high, bank, offset] : {std::array{kDictionaryPointerLow, kDictionaryPointerHigh, kDictionaryPointerBank, kTableDictionaryBase},
                                                  std::array{kTablePointerLow, kTablePointerHigh, kTablePointerBank, kPointerTableOffset}}) {
        const SnesAddress address = *OffsetToSnesAddress(offset);
        image[low] = static_cast<char>(address.low);
        image[high] = static_cast<char>(address.high);
        image[bank] = static_cast<char>(address.bank);
    }
    return image;
}

// Encodes the table as the save does into the blank image with its dictionary, reads it back as the loader: false if wrong.
bool RoundTripHolds(const DocumentState& doc, const QByteArray& dictionary)
{
    // Kept between calls and never shared, so writes copy nothing: a fresh 4 MB each run took most of the fuzzer's time.
    static QByteArray blank = BlankImage();
    static QByteArray image(kEncodedImageSize, '\0');
    std::copy(dictionary.begin(), dictionary.end(), blank.data() + kTableDictionaryBase + 2);
    image.resize(blank.size());
    std::copy(blank.cbegin(), blank.cend(), image.data());

    BattleCodec encoder;
    encoder.SetDictionaryBase(kTableDictionaryBase);
    try {
        encoder.EncodeBattleBlocks(BuildBattleStream(doc), image);
    } catch (const CodecError&) {
        return image == blank; // a refusal writes nothing
    }
    // In the stream a record's leading 0 looks like a block's end; the save checks the records themselves before encoding.
    if (FirstRecordStartingWithZero(doc) != 0)
        return true;
    StreamArray bytes;
    try {
        BattleCodec().DecodeBattleBlocks(bytes, image);
        const BattleRecords back = SplitBattleStream(NdArray<std::uint8_t, 1>::FromElements(std::move(bytes)));
        return back.count == doc.BattleCount() && back.params.Elements() == doc.BattleParams().Elements()
               && back.groupStarts.Elements() == doc.GroupStarts().Elements();
    } catch (const CodecError&) {
        return false; // what the encoder wrote doesn't read back
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DocumentState doc;
    QByteArray dictionary(kDictionarySize, '\0');
    TableFromInput(data, size, doc, dictionary);
    if (!RoundTripHolds(doc, dictionary))
        std::abort();
    return 0;
}
