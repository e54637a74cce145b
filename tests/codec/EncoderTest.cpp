#include "core/codec/BattleCodec.h"
#include "tests/codec/ReferenceEncoder.h"
#include "tests/support/RomBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <numeric>
#include <random>

namespace zor {
namespace {

using test::Block;
using test::Record;
using test::RomBuilder;
using test::StreamBytes;
using test::StreamOf;

// The stream an image decodes to.
std::vector<std::uint8_t> Decoded(const QByteArray& image)
{
    BattleCodec codec;
    NdArray<std::uint8_t, 1> decoded(1);
    test::DecodeStream(codec, decoded, image);
    return StreamBytes(decoded);
}

test::ReferenceEncoding Reference(const QByteArray& dictionary, const NdArray<std::uint8_t, 1>& stream)
{
    return test::ReferenceEncode(std::vector<std::uint8_t>(dictionary.begin(), dictionary.end()), StreamBytes(stream));
}

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

    const test::ReferenceEncoding reference = Reference(dictionary, StreamOf(blocks));
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
    EXPECT_EQ(Decoded(rom.image()), StreamBytes(StreamOf(blocks)));

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
    const test::ReferenceEncoding reference = Reference(dictionary, StreamOf(fits));
    ASSERT_EQ(reference.used, 0x7FFFu);
    RomBuilder rom;
    rom.dictionary(dictionary).encode(StreamOf(fits));
    // The last flag group holds only the last block's 0.
    EXPECT_EQ(static_cast<std::uint8_t>(rom.image()[kRegionOffset + kRegionLastWritten - 2]), fits[313].back()[24]);
    EXPECT_EQ(static_cast<std::uint8_t>(rom.image()[kRegionOffset + kRegionLastWritten - 1]), 0x80);
    EXPECT_EQ(Decoded(rom.image()), StreamBytes(StreamOf(fits)));

    ExpectRefused(StreamOf(blocksWithRun(6)), 313);
}

std::vector<std::uint8_t> Alphabet(std::mt19937& random, int size)
{
    std::vector<std::uint8_t> all(256);
    std::iota(all.begin(), all.end(), 0);
    std::shuffle(all.begin(), all.end(), random);
    all.resize(static_cast<std::size_t>(size));
    return all;
}

std::vector<std::uint8_t> Bytes(const QByteArray& image, qsizetype from, qsizetype count)
{
    return std::vector<std::uint8_t>(image.begin() + from, image.begin() + from + count);
}

// Small alphabets give matches of every length, large ones mostly literals.
TEST(RandomStreams, GreedyChoiceEqualsTheStraightforwardEncoder)
{
    std::mt19937 random(7);
    for (int alphabetSize : {2, 3, 6, 40}) {
        SCOPED_TRACE(alphabetSize);
        const std::vector<std::uint8_t> alphabet = Alphabet(random, alphabetSize);
        const QByteArray dictionary = test::RandomDictionary(random, alphabet);
        const NdArray<std::uint8_t, 1> stream = StreamOf(test::RandomBlocks(random, 2, alphabet));

        const test::ReferenceEncoding reference = Reference(dictionary, stream);
        ASSERT_TRUE(reference.fits);
        RomBuilder rom;
        rom.dictionary(dictionary).encode(stream);
        EXPECT_EQ(Bytes(rom.image(), kPointerTableOffset, 2 * kBlockCount), reference.pointers);
        EXPECT_EQ(Bytes(rom.image(), kRegionOffset, kRegionLastWritten + 1), reference.region);
    }
}

unsigned Seed()
{
    if (const char* text = std::getenv("ZOR_TEST_SEED"))
        return static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    return std::random_device{}();
}

// Set ZOR_TEST_SEED to the seed a failure prints to run it again.
TEST(RandomStreams, EncodeThenDecodeGivesTheStreamBack)
{
    const unsigned seed = Seed();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    for (int round = 0; round < 6; ++round) {
        const std::vector<std::uint8_t> alphabet = Alphabet(random, 2 + static_cast<int>(random() % 60));
        const QByteArray dictionary = test::RandomDictionary(random, alphabet);
        const NdArray<std::uint8_t, 1> stream = StreamOf(test::RandomBlocks(random, 3, alphabet));

        // Every other image ends before the region's end, and grows to what the writes reach.
        const bool whole = round % 2 == 1;
        RomBuilder rom(whole ? kEncodedImageSize : 0x300001 + random() % 0xFFFFF);
        rom.dictionary(dictionary);
        BattleCodec codec;
        codec.SetDictionaryBase(rom.dictionaryBase());
        codec.EncodeBattleBlocks(stream.Elements(), rom.image());
        EXPECT_EQ(rom.image().size(), whole ? kEncodedImageSize : 0x3FFFFF);
        NdArray<std::uint8_t, 1> decoded(1);
        test::DecodeStream(codec, decoded, rom.image());
        ASSERT_EQ(StreamBytes(decoded), StreamBytes(stream)) << "round " << round;
        EXPECT_EQ(codec.DictionaryBase(), rom.dictionaryBase());
    }
}

// A dictionary over one of the bank bytes is compressed against the byte the encoder
// writes there, so the saved image still decodes to the stream.
TEST(RandomStreams, DictionaryOverABankByte)
{
    std::mt19937 random(11);
    const std::vector<std::uint8_t> alphabet = Alphabet(random, 4);
    const std::int32_t bankByte = kBankByteOffsets[1];
    RomBuilder rom;
    rom.dictionaryAt(bankByte - 2 - 1000);
    QByteArray dictionary = test::RandomDictionary(random, alphabet);
    dictionary[1000] = 0;
    rom.dictionary(dictionary);
    std::vector<test::Block> blocks = test::RandomBlocks(random, 1, alphabet);
    // A record with the 18 bytes around the bank byte as they read before the save: a
    // reference to them would decode with the 0xFF that the save writes over the 0.
    std::copy(dictionary.begin() + 992, dictionary.begin() + 1010, blocks[5][0].begin() + 4);
    blocks[5][0][0] = 1;
    const NdArray<std::uint8_t, 1> stream = StreamOf(blocks);

    rom.encode(stream);
    ASSERT_EQ(static_cast<std::uint8_t>(rom.image()[bankByte]), 0xFF);
    EXPECT_EQ(Decoded(rom.image()), StreamBytes(stream));
}

} // namespace
} // namespace zor
