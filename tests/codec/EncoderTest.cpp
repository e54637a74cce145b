#include "core/codec/BattleCodec.h"
#include "tests/codec/ReferenceEncoder.h"
#include "tests/support/RomBuilder.h"

#include <gtest/gtest.h>

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

    QByteArray Encode(const std::vector<Block>& blocks)
    {
        RomBuilder rom;
        rom.dictionary(dictionary).encode(StreamOf(blocks));
        return rom.image();
    }

    static std::vector<std::uint8_t> Region(const QByteArray& image, int from, int count)
    {
        return std::vector<std::uint8_t>(image.begin() + kRegionOffset + from, image.begin() + kRegionOffset + from + count);
    }

    std::mt19937 random{20240611};
    QByteArray dictionary;
};

TEST_F(BlockEncoder, LongestMatchAtTheLowestPosition)
{
    Record record = LowRecord();
    Plant(700, record.data(), 18);
    Plant(100, record.data(), 18);
    Plant(50, record.data(), 12); // lower, but shorter: loses
    const QByteArray image = Encode(Blocks({{record}}));

    std::vector<std::uint8_t> expected{26, 0, 0x7F, 0xF0, 0x64};
    expected.insert(expected.end(), record.begin() + 18, record.end());
    expected.insert(expected.end(), {0x80, 0x00});
    EXPECT_EQ(Region(image, 0, static_cast<int>(expected.size())), expected);
}

TEST_F(BlockEncoder, NoMatchGivesFourFlagGroupsAndTheFirstBlockAtTheRegionStart)
{
    const Record record = LowRecord();
    const QByteArray image = Encode(Blocks({{record}}));
    std::vector<std::uint8_t> expected{26, 0};
    for (int group = 0; group < 3; ++group) {
        expected.push_back(0xFF);
        expected.insert(expected.end(), record.begin() + 8 * group, record.begin() + 8 * group + 8);
    }
    expected.insert(expected.end(), {0xC0, record[24], 0});
    EXPECT_EQ(Region(image, 0, 32), expected);
    // Table entries: block 0 at region offset 0, block 1 after 2 + 30 bytes.
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + kPointerTableOffset, image.begin() + kPointerTableOffset + 4),
              (std::vector<std::uint8_t>{0x00, 0x80, 0x20, 0x80}));
}

TEST_F(BlockEncoder, AThreeByteTailStaysLiteral)
{
    Record record = LowRecord();
    Plant(300, record.data(), 18);                   // reference of 18
    Plant(900, record.data() + 18, 5);               // reference of 5: bytes 19..23
    const std::uint8_t tail[] = {record[23], record[24], 0};
    Plant(1500, tail, 3);                            // the tail occurs, but is never searched
    const QByteArray image = Encode(Blocks({{record}}));

    const std::vector<std::uint8_t> expected{26, 0, 0x38, 0xF1, 0x2C, 0x23, 0x84, record[23], record[24], 0};
    EXPECT_EQ(Region(image, 0, 10), expected);
}

TEST_F(BlockEncoder, NoEmptyFlagGroupAfterAnEighthItem)
{
    // 10 + 10 + 6 literals = 26 bytes in exactly 8 items.
    Record record = LowRecord();
    Plant(1000, record.data(), 10);
    Plant(2000, record.data() + 10, 10);
    const QByteArray image = Encode(Blocks({{record}}));

    const std::vector<std::uint8_t> expected{26, 0, 0x3F, 0x73, 0xE8, 0x77, 0xD0, record[20], record[21], record[22], record[23], record[24], 0,
                                             26, 0}; // block 1's size right after
    EXPECT_EQ(Region(image, 0, 15), expected);
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

// On every refusal the image is left exactly as it was, and the message names the block.
class EncoderRefusal : public BlockEncoder {
protected:
    void ExpectRefused(const NdArray<std::uint8_t, 1>& stream, int block, qsizetype imageSize = kEncodedImageSize,
                       std::int32_t dictionaryBase = RomBuilder::kDictionaryBase)
    {
        RomBuilder rom(imageSize);
        rom.dictionary(dictionary);
        const QByteArray before = rom.image();
        BattleCodec codec;
        codec.SetDictionaryBase(dictionaryBase);
        try {
            test::EncodeStream(codec, stream, rom.image());
            ADD_FAILURE() << "not refused";
        } catch (const CodecError& e) {
            EXPECT_EQ(e.block(), block) << e.what();
            if (block >= 0) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("ブロック %1 ").arg(block + 1))) << e.what(); // counted from 1
            }
        }
        EXPECT_TRUE(rom.image() == before) << "the image was written";
    }
};

TEST_F(EncoderRefusal, WrongBlockCounts)
{
    std::vector<Block> blocks = Blocks();
    blocks.pop_back();
    ExpectRefused(StreamOf(blocks), 313);
    blocks.push_back({LowRecord()});
    blocks.push_back({LowRecord()});
    ExpectRefused(StreamOf(blocks), 314);
    ExpectRefused(NdArray<std::uint8_t, 1>(1), 0);
}

TEST_F(EncoderRefusal, RecordsThatBeginWithZero)
{
    std::vector<Block> blocks = Blocks();
    blocks[7][0][0] = 0;
    ExpectRefused(StreamOf(blocks), 7);
    blocks = Blocks();
    blocks[0][0][0] = 0;
    ExpectRefused(StreamOf(blocks), 0);
    // An empty block: two zeros in a row.
    blocks = Blocks();
    blocks[20].clear();
    ExpectRefused(StreamOf(blocks), 20);
}

TEST_F(EncoderRefusal, StreamsThatDoNotEndWithTheLastBlock)
{
    const NdArray<std::uint8_t, 1> whole = StreamOf(Blocks());
    NdArray<std::uint8_t, 1> cut = whole;
    cut.redimPreserve(whole.upper() - 10); // the last record is cut short
    ExpectRefused(cut, 313);
    NdArray<std::uint8_t, 1> longer = whole;
    longer.redimPreserve(whole.upper() + 5); // bytes that belong to no block
    ExpectRefused(longer, 313);
}

// Records of one byte value compress to 18-byte references, so only the size stops them.
TEST_F(EncoderRefusal, BlockOf32768BytesOrMore)
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

TEST_F(EncoderRefusal, ImageAndDictionaryPlaces)
{
    const NdArray<std::uint8_t, 1> stream = StreamOf(Blocks());
    ExpectRefused(stream, -1, kEncodedImageSize, kEncodedImageSize - kDictionarySize - 1);
    ExpectRefused(stream, -1, kEncodedImageSize, -3);
    // A dictionary inside the region would change under the blocks made for it.
    ExpectRefused(stream, -1, kEncodedImageSize, kRegionOffset + 0x100);
}

// Blocks of literals only: one record takes 32 bytes, two 60, and 808 records 22729;
// a first record that starts with a 6-byte run takes 27, with a 7-byte run 26.
// So the region ends exactly at 0x7FFE with the 7-byte run and one byte later with the 6-byte one.
TEST_F(EncoderRefusal, TheRegionEndsAt0x7FFE)
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
