#include "core/codec/BattleCodec.h"
#include "tests/codec/ReferenceEncoder.h"
#include "tests/support/RomBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace zor {
namespace {

using test::Block;
using test::Record;
using test::RomBuilder;
using test::StreamOf;

// Dictionary bytes are 0x80..0xFF and record bytes 0x01..0x7F, so nothing matches
// except the runs a test plants.
class BlockEncoder : public ::testing::Test {
protected:
    void SetUp() override
    {
        dictionary.resize(kDictionarySize);
        for (char& c : dictionary)
            c = static_cast<char>(0x80 + random() % 128);
    }

    Record LowRecord()
    {
        Record r(kRecordSize);
        for (std::uint8_t& b : r)
            b = static_cast<std::uint8_t>(1 + random() % 127);
        return r;
    }

    // 314 one-record blocks, the first ones given.
    std::vector<Block> Blocks(std::vector<Block> first = {})
    {
        while (first.size() < kBlockCount)
            first.push_back({LowRecord()});
        return first;
    }

    void Plant(int position, const std::uint8_t* bytes, int length)
    {
        for (int i = 0; i < length; ++i)
            dictionary[position + i] = static_cast<char>(bytes[i]);
    }

    // On every refusal the image is left exactly as it was, and the message names the block.
    void ExpectRefused(const NdArray<std::uint8_t, 1>& stream, int block, std::int32_t dictionaryBase = RomBuilder::kDictionaryBase)
    {
        RomBuilder rom;
        rom.dictionary(dictionary);
        const QByteArray before = rom.image();
        BattleCodec codec;
        codec.SetDictionaryBase(dictionaryBase);
        try {
            codec.EncodeBattleBlocks(stream.Elements(), rom.image());
            ADD_FAILURE() << "not refused";
        } catch (const CodecError& e) {
            EXPECT_EQ(e.block(), block) << e.what();
            if (block >= 0) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("ブロック %1 ").arg(block + 1))) << e.what(); // counted from 1
            }
        }
        EXPECT_TRUE(rom.image() == before) << "the image was written";
    }

    std::mt19937 random{20240611};
    QByteArray dictionary;
};

TEST_F(BlockEncoder, NoEmptyFlagGroupAfterAnEighthItem)
{
    // 10 + 10 + 6 literals = 26 bytes in exactly 8 items.
    Record record = LowRecord();
    Plant(1000, record.data(), 10);
    Plant(2000, record.data() + 10, 10);
    RomBuilder rom;
    rom.dictionary(dictionary).encode(StreamOf(Blocks({{record}})));
    const QByteArray& image = rom.image();

    const std::vector<std::uint8_t> expected{26, 0, 0x3F, 0x73, 0xE8, 0x77, 0xD0, record[20], record[21], record[22], record[23], record[24], 0,
                                             26, 0}; // block 1's size right after
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + kRegionOffset, image.begin() + kRegionOffset + 15), expected);
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + kPointerTableOffset + 2, image.begin() + kPointerTableOffset + 4),
              (std::vector<std::uint8_t>{13, 0x80}));
}

TEST_F(BlockEncoder, WritesBankBytesTableAndZeroFillOnly)
{
    RomBuilder rom;
    rom.dictionary(dictionary);
    rom.bytes(kRegionOffset, QByteArray(0x8000, '\xAA'));
    rom.bytes(kPointerTableOffset + 2 * kBlockCount, QByteArray(4, '\xAA'));
    const QByteArray before = rom.image();
    const std::vector<Block> blocks = Blocks();
    rom.encode(StreamOf(blocks));
    const QByteArray& after = rom.image();

    const test::ReferenceEncoding reference = test::ReferenceEncode(
        std::vector<std::uint8_t>(dictionary.begin(), dictionary.end()), test::StreamBytes(StreamOf(blocks)));
    ASSERT_EQ(reference.used, 314u * 32);
    for (std::int32_t at : kBankByteOffsets)
        EXPECT_EQ(static_cast<std::uint8_t>(after[at]), 0xFF) << at;
    for (std::size_t o = reference.used; o <= kRegionLastWritten; ++o)
        ASSERT_EQ(after[kRegionOffset + static_cast<qsizetype>(o)], 0) << o;
    EXPECT_EQ(static_cast<std::uint8_t>(after[0x3FFFFF]), 0xAA);

    // Nothing else changed: not the table's neighbours, not the pointers, not the dictionary.
    int changedOutside = 0;
    for (qsizetype i = 0; i < after.size(); ++i) {
        const bool written = (i >= kRegionOffset && i <= kRegionOffset + kRegionLastWritten)
                             || (i >= kPointerTableOffset && i < kPointerTableOffset + 2 * kBlockCount)
                             || std::find(kBankByteOffsets.begin(), kBankByteOffsets.end(), i) != kBankByteOffsets.end();
        if (!written && after[i] != before[i])
            ++changedOutside;
    }
    EXPECT_EQ(changedOutside, 0);
}

// An image shorter than the region's end grows to what the writes reach, and decodes.
TEST_F(BlockEncoder, ShorterImagesGrowToTheRegionsEnd)
{
    const std::vector<Block> blocks = Blocks();
    for (const qsizetype size : {qsizetype{0x300001}, qsizetype{0x3FFFFF}}) {
        RomBuilder rom(size);
        rom.dictionary(dictionary).encode(StreamOf(blocks));
        EXPECT_EQ(rom.image().size(), 0x3FFFFF) << size;
        BattleCodec codec;
        NdArray<std::uint8_t, 1> decoded(1);
        test::DecodeStream(codec, decoded, rom.image());
        EXPECT_EQ(test::StreamBytes(decoded), test::StreamBytes(StreamOf(blocks))) << size;
    }
}

TEST_F(BlockEncoder, StreamsNotOf314BlocksOfRecordsAndMisplacedDictionariesAreRefused)
{
    const auto with = [&](const std::function<void(std::vector<Block>&)>& change) {
        std::vector<Block> blocks = Blocks();
        change(blocks);
        return StreamOf(blocks);
    };
    const NdArray<std::uint8_t, 1> whole = StreamOf(Blocks());
    NdArray<std::uint8_t, 1> cut = whole;
    cut.redimPreserve(whole.upper() - 10);
    NdArray<std::uint8_t, 1> longer = whole;
    longer.redimPreserve(whole.upper() + 5);
    struct Case {
        const char* name;
        NdArray<std::uint8_t, 1> stream;
        int block;
        std::int32_t dictionaryBase = RomBuilder::kDictionaryBase;
    };
    const std::vector<Case> cases{
        {"313 blocks", with([](std::vector<Block>& b) { b.pop_back(); }), 313},
        {"315 blocks", with([&](std::vector<Block>& b) { b.push_back({LowRecord()}); }), 314},
        {"no blocks", NdArray<std::uint8_t, 1>(1), 0},
        {"a record beginning with 0", with([](std::vector<Block>& b) { b[7][0][0] = 0; }), 7},
        {"the first record beginning with 0", with([](std::vector<Block>& b) { b[0][0][0] = 0; }), 0},
        {"an empty block: two zeros in a row", with([](std::vector<Block>& b) { b[20].clear(); }), 20},
        {"the last record cut short", cut, 313},
        {"bytes of no block", longer, 313},
        {"a dictionary past the image", whole, -1, kEncodedImageSize - kDictionarySize - 1},
        {"a dictionary before it", whole, -1, -3},
        // It would change under the blocks made for it.
        {"a dictionary inside the region", whole, -1, kRegionOffset + 0x100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(c.stream, c.block, c.dictionaryBase);
    }
}

// Records of one byte value compress to 18-byte references, so only the size stops them.
TEST_F(BlockEncoder, BlockOf32768BytesOrMoreIsRefused)
{
    const Record same(kRecordSize, 0x41);
    Plant(40, same.data(), 18);
    std::vector<Block> blocks = Blocks();
    blocks[50].assign(1310, same); // 32751 bytes
    RomBuilder rom;
    rom.dictionary(dictionary).encode(StreamOf(blocks));
    BattleCodec codec;
    NdArray<std::uint8_t, 1> decoded(1);
    test::DecodeStream(codec, decoded, rom.image());
    EXPECT_EQ(test::StreamBytes(decoded), test::StreamBytes(StreamOf(blocks)));

    blocks[50].push_back(same);    // 32776 bytes
    ExpectRefused(StreamOf(blocks), 50);
}

// Blocks of literals only: one record takes 32 bytes, two 60, and 808 records 22729;
// a first record that starts with a 6-byte run takes 27, with a 7-byte run 26.
// So the region ends exactly at 0x7FFE with the 7-byte run and one byte later with the 6-byte one.
TEST_F(BlockEncoder, TheRegionEndsAt0x7FFE)
{
    auto blocksWithRun = [&](int run) {
        std::vector<Block> blocks = Blocks();
        Plant(3000, blocks[0][0].data(), run);
        dictionary[3000 + run] = '\x80';
        blocks[1].push_back(LowRecord());
        blocks[313].clear();
        for (int r = 0; r < 808; ++r)
            blocks[313].push_back(LowRecord());
        return blocks;
    };
    const std::vector<Block> fits = blocksWithRun(7);
    const test::ReferenceEncoding reference = test::ReferenceEncode(
        std::vector<std::uint8_t>(dictionary.begin(), dictionary.end()), test::StreamBytes(StreamOf(fits)));
    ASSERT_EQ(reference.used, 0x7FFFu);
    RomBuilder rom;
    rom.dictionary(dictionary).encode(StreamOf(fits));
    // The last flag group holds only the last block's 0.
    EXPECT_EQ(static_cast<std::uint8_t>(rom.image()[kRegionOffset + kRegionLastWritten - 2]), fits[313].back()[24]);
    EXPECT_EQ(static_cast<std::uint8_t>(rom.image()[kRegionOffset + kRegionLastWritten - 1]), 0x80);
    BattleCodec codec;
    NdArray<std::uint8_t, 1> decoded(1);
    test::DecodeStream(codec, decoded, rom.image());
    EXPECT_EQ(test::StreamBytes(decoded), test::StreamBytes(StreamOf(fits)));

    ExpectRefused(StreamOf(blocksWithRun(6)), 313);
}

} // namespace
} // namespace zor
