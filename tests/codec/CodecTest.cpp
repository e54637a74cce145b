#include "core/codec/BattleCodec.h"
#include "core/codec/SnesAddress.h"

#include "tests/codec/ReferenceEncoder.h"
#include "tests/support/RomBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <numeric>
#include <random>
#include <stdexcept>
#include <tuple>

namespace zor {
namespace {

using namespace test;

TEST(SnesAddress, BytesToValueAndBackFromAnOffset)
{
    EXPECT_EQ((std::vector<std::int32_t>{BytesToValue(0xFF, 0x7F, 0), BytesToValue(0x34, 0x12, 0), BytesToValue(0x00, 0x00, 0),
                                         BytesToValue(0x01, 0x02, 0x03), BytesToValue(0xFF, 0x7F, 0xFF)}),
              (std::vector<std::int32_t>{32767, 0x1234, 0, 0x030201, 0xFF7FFF}));
    EXPECT_THROW(BytesToValue(0x00, 0x80, 0), std::overflow_error);
    EXPECT_THROW(BytesToValue(0xFF, 0xFF, 0x01), std::overflow_error);
    for (std::int32_t offset : {0, 1, 0x7FFF, 0x8000, 0x15A92, 0x1E8000, 0x2A0002, 0x3F8000, 0x3FFFFF}) {
        const std::optional<SnesAddress> a = OffsetToSnesAddress(offset);
        ASSERT_TRUE(a.has_value()) << offset;
        EXPECT_GE(a->high, 0x80);
        EXPECT_EQ(SnesAddressToOffset(a->low, a->high, a->bank), offset);
    }
    const SnesAddress table = OffsetToSnesAddress(0x1E8000).value();
    EXPECT_EQ(std::tuple(table.bank, table.high, table.low), std::tuple(0xBD, 0x80, 0x00));
    EXPECT_FALSE(OffsetToSnesAddress(-1) || OffsetToSnesAddress(0x400000));
    // Addresses below $8000 or before bank $80 lie before the image.
    EXPECT_EQ(std::pair(SnesAddressToOffset(0x34, 0x12, 0x80), SnesAddressToOffset(0x00, 0x80, 0x00)), std::pair(-28108, -4194304));
}

QByteArray B(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

// Byte p is 1 + p % 251, so a run shows where it was copied from.
QByteArray CountingDictionary()
{
    QByteArray d(kDictionarySize, '\0');
    for (int p = 0; p < kDictionarySize; ++p)
        d[p] = static_cast<char>(1 + p % 251);
    return d;
}

std::vector<std::uint8_t> Slice(const NdArray<std::uint8_t, 1>& a, int from, int to)
{
    std::vector<std::uint8_t> out;
    for (int i = from; i <= to; ++i)
        out.push_back(a(i));
    return out;
}

std::vector<std::uint8_t> Bytes(const QByteArray& image, qsizetype from, qsizetype count)
{
    return std::vector<std::uint8_t>(image.begin() + from, image.begin() + from + count);
}

// All 314 blocks: the given first ones, then blocks of one literal 0x77 (size 1).
std::vector<QByteArray> WithFiller(std::vector<QByteArray> first)
{
    while (first.size() < kBlockCount)
        first.push_back(BlockAssembler(1).literal(0x77).bytes());
    return first;
}

struct Decoded {
    NdArray<std::uint8_t, 1> output{1};
    BattleCodec codec;
};

Decoded Decode(const QByteArray& image)
{
    Decoded d;
    test::DecodeStream(d.codec, d.output, image);
    return d;
}

class BlockDecoder : public ::testing::Test {
protected:
    RomBuilder rom;
    QByteArray dictionary = CountingDictionary();
    void SetUp() override { rom.dictionary(dictionary); }
};

// Flags, literals and references in general are the round trip's and the reference encoder's; here what ours never writes.
TEST_F(BlockDecoder, ReferencesCopyFromTheDictionaryAndRunPastItsEnd)
{
    rom.bytes(RomBuilder::kDictionaryBase + 2 + kDictionarySize, B({0xAB, 0xCD, 0xEF}));
    // The same reference twice gives the same bytes: output is never a source.
    rom.blocks(WithFiller({BlockAssembler(3).raw(B({0x00, 0x0F, 0xFF})).bytes(),
                           BlockAssembler(6).reference(3, 500).reference(3, 500).bytes()}));
    Decoded d = Decode(rom.image());
    EXPECT_EQ(Slice(d.output, 1, 3), (std::vector<std::uint8_t>{static_cast<std::uint8_t>(dictionary[4095]), 0xAB, 0xCD}));
    EXPECT_EQ(std::pair(Slice(d.output, 4, 6), Slice(d.output, 7, 9)), std::pair(Bytes(dictionary, 500, 3), Bytes(dictionary, 500, 3)));
    EXPECT_EQ(d.codec.DictionaryBase(), RomBuilder::kDictionaryBase);
    d.codec.ResetCodecState();
    EXPECT_EQ(d.codec.DictionaryBase(), RomBuilder::kDictionaryBase);
}

TEST_F(BlockDecoder, SizeTestFollowsEachWholeItem)
{
    RomBuilder small(kRegionOffset + 0x800);
    small.dictionary(dictionary);
    const QByteArray last = BlockAssembler(3).raw(B({0xE7, 0x01, 0x02, 0x03})).bytes(); // bits 4..0 unread
    const std::vector<QByteArray> blocks = WithFiller({
        BlockAssembler(5).raw(B({0x7F})).raw(ReferenceBytes(18, 40)).raw(B({0x55, 0x55})).bytes(), // kept whole
        BlockAssembler(0).raw(B({0x00})).raw(ReferenceBytes(5, 2)).bytes(), // size 0 still decodes one item
        BlockAssembler(1).raw(B({0x00})).raw(ReferenceBytes(5, 2)).bytes(),
    });
    small.blocks(std::vector<QByteArray>(blocks.begin(), blocks.end() - 1));
    // At the image's very end: one byte more read would fail.
    small.block(kBlockCount - 1, static_cast<std::int32_t>(small.image().size() - last.size()), last);

    const Decoded d = Decode(small.image());
    EXPECT_EQ(Slice(d.output, 1, 18), Bytes(dictionary, 40, 18));
    EXPECT_EQ(std::pair(Slice(d.output, 19, 23), Slice(d.output, 24, 28)), std::pair(Bytes(dictionary, 2, 5), Bytes(dictionary, 2, 5)));
    EXPECT_EQ(d.output(29), 0x77);
    const int total = 28 + (kBlockCount - 4) + 3;
    ASSERT_EQ(d.output.upper(), total + 1);
    EXPECT_EQ(Slice(d.output, total - 2, total), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(d.output(total + 1), 0);
}

// Each case names the block and the first offset not readable; the output keeps the blocks before (one byte each here).
TEST_F(BlockDecoder, ReadsOutsideTheImageNameBlockAndOffset)
{
    const std::vector<QByteArray> good = WithFiller({});
    auto expectFailure = [&](const QByteArray& image, int block, const QString& offset, int blocksBefore) {
        BattleCodec codec;
        NdArray<std::uint8_t, 1> output(1);
        try {
            test::DecodeStream(codec, output, image);
            ADD_FAILURE() << "no error";
        } catch (const CodecError& e) {
            EXPECT_EQ(e.block(), block) << e.what();
            EXPECT_TRUE(block < 0 || e.message().contains(QStringLiteral("ブロック %1 ").arg(block + 1))) << e.what(); // counted from 1
            EXPECT_TRUE(e.message().contains(offset)) << e.what() << " lacks " << offset.toStdString();
            EXPECT_FALSE(e.message().contains(u"-0x")) << e.what(); // a place before the image is a SNES address
        }
        EXPECT_EQ(output.upper(), blocksBefore + 1);
    };

    // Block 12's pointer leads past the image's end.
    expectFailure(RomBuilder().dictionary(dictionary).blocks(good).blockPointer(12, 0x00, 0x90).image().left(0x3F9000), 12,
                  QStringLiteral("0x3F9000"), 12);
    // A pointer before bank $80's start.
    expectFailure(RomBuilder().blockBank(0x80).blockPointer(0, 0x34, 0x12).image(), 0,
                  QStringLiteral("読み込み位置 $80:1234 がイメージの外です（サイズ）"), 0);
    // A pointer table in a bank before the image's: its entries lie before it.
    expectFailure(RomBuilder().tablePointer(0x00, 0x00, 0x00).image(), 0,
                  QStringLiteral("読み込み位置 $00:0000 がイメージの外です（ポインタ）"), 0);
    // A reference that runs past the image's end.
    const std::int32_t size = RomBuilder::kDictionaryBase + 2 + kDictionarySize + 1;
    RomBuilder image(size);
    std::vector<QByteArray> blocks = good;
    blocks[3] = BlockAssembler(3).raw(B({0x00, 0x0F, 0xFF})).bytes();
    image.dictionary(dictionary).tableAt(0x80000).blockBank(0x92).blocks(blocks, 0x90000);
    expectFailure(image.image(), 3, HexOffset(size), 3);
    image.image().append('\0'); // one byte more, and it ends with the reference: read whole
    EXPECT_NO_THROW(Decode(image.image()));
    // A dictionary before the image's start.
    blocks = WithFiller({BlockAssembler(3).reference(3, 0).bytes()});
    expectFailure(RomBuilder().dictionaryPointer(0x00, 0x00, 0x80).blocks(blocks).image(), 0, QStringLiteral("$80:0002"), 0);

    // A size of 0x8000 is an overflow, not 32768.
    blocks = good;
    blocks[200] = BlockAssembler(0x8000).literal(1).bytes();
    expectFailure(RomBuilder().dictionary(dictionary).blocks(blocks).image(), 200,
                  HexOffset(RomBuilder::kBlockArea + 200 * good[0].size()), 200);
    // The pointer table lies outside: nothing decoded.
    expectFailure(RomBuilder().tablePointer(0xFF, 0xFF, 0xFF).image().left(0x3FFFFF), 0, QStringLiteral("0x3FFFFF"), 0);
    // Too small to hold the fixed pointers.
    expectFailure(RomBuilder(0x15A93, false).image(), -1, QStringLiteral("0x15A93"), 0);
}

test::ReferenceEncoding Reference(const QByteArray& dictionary, const NdArray<std::uint8_t, 1>& stream)
{
    return test::ReferenceEncode(std::vector<std::uint8_t>(dictionary.begin(), dictionary.end()), StreamBytes(stream));
}

// Dictionary bytes are 0x80..0xFF and record bytes 0x01..0x7F, so only the runs a test plants match.
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

    std::vector<Block> Blocks(std::vector<Block> first = {})
    {
        while (first.size() < kBlockCount)
            first.push_back({LowRecord()});
        return first;
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
            EXPECT_TRUE(block < 0 || e.message().contains(QStringLiteral("ブロック %1 ").arg(block + 1))) << e.what(); // counted from 1
        }
        EXPECT_TRUE(rom.image() == before) << "the image was written";
    }

    std::mt19937 random{20240611};
    QByteArray dictionary;
};

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
        {"313 blocks", with([](std::vector<Block>& b) { b.pop_back(); }), 313}, {"no blocks", NdArray<std::uint8_t, 1>(1), 0},
        {"315 blocks", with([&](std::vector<Block>& b) { b.push_back({LowRecord()}); }), 314},

        {"a record beginning with 0", with([](std::vector<Block>& b) { b[7][0][0] = 0; }), 7},
        {"the first record beginning with 0", with([](std::vector<Block>& b) { b[0][0][0] = 0; }), 0},
        {"an empty block: two zeros in a row", with([](std::vector<Block>& b) { b[20].clear(); }), 20},
        {"the last record cut short", cut, 313}, {"bytes of no block", longer, 313},
        {"a dictionary past the image", whole, -1, kEncodedImageSize - kDictionarySize - 1}, {"a dictionary before it", whole, -1, -3},
        // It would change under the blocks made for it.
        {"a dictionary inside the region", whole, -1, kRegionOffset + 0x100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(c.stream, c.block, c.dictionaryBase);
    }
}

// Records of one byte value compress to 18-byte references, so only the size stops them.
TEST_F(BlockEncoder, BlockOf32768BytesOrMoreIsRefused)
{
    const Record same(kRecordSize, 0x41);
    std::copy(same.begin(), same.begin() + 18, dictionary.begin() + 40);
    std::vector<Block> blocks = Blocks();
    blocks[50].assign(1310, same); // 32751 bytes
    RomBuilder rom;
    rom.dictionary(dictionary).encode(StreamOf(blocks));
    EXPECT_EQ(StreamBytes(Decode(rom.image()).output), StreamBytes(StreamOf(blocks)));

    blocks[50].push_back(same);    // 32776 bytes
    ExpectRefused(StreamOf(blocks), 50);
}

// In literals one record takes 32 bytes, two 60, 808 records 22729; a first record starting with a 6-byte run takes 27,
// with a 7-byte run 26. So the region ends exactly at 0x7FFE with the 7-byte run and one byte later with the 6-byte one.
TEST_F(BlockEncoder, TheRegionEndsAt0x7FFE)
{
    auto blocksWithRun = [&](int run) {
        std::vector<Block> blocks = Blocks();
        std::copy(blocks[0][0].begin(), blocks[0][0].begin() + run, dictionary.begin() + 3000);
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
    EXPECT_EQ(Bytes(rom.image(), kRegionOffset + kRegionLastWritten - 2, 2), (std::vector<std::uint8_t>{fits[313].back()[24], 0x80}));
    EXPECT_EQ(StreamBytes(Decode(rom.image()).output), StreamBytes(StreamOf(fits)));

    ExpectRefused(StreamOf(blocksWithRun(6)), 313);
}

// 314 blocks of 1..maxRecords records, each beginning with 1..255, its other bytes from alphabet.
std::vector<Block> RandomBlocks(std::mt19937& random, int maxRecords, const std::vector<std::uint8_t>& alphabet)
{
    std::vector<Block> blocks(kBlockCount);
    for (Block& block : blocks) {
        const int count = 1 + static_cast<int>(random() % static_cast<unsigned>(maxRecords));
        for (int r = 0; r < count; ++r) {
            Record& record = block.emplace_back(kRecordSize);
            record[0] = static_cast<std::uint8_t>(1 + random() % 255);
            for (int j = 1; j < kRecordSize; ++j)
                record[j] = alphabet[random() % alphabet.size()];
        }
    }
    return blocks;
}

// A dictionary with structure: repeated runs and runs of the alphabet, so references of every length occur.
QByteArray RandomDictionary(std::mt19937& random, const std::vector<std::uint8_t>& alphabet)
{
    QByteArray dictionary;
    while (dictionary.size() < kDictionarySize) {
        const int run = 1 + static_cast<int>(random() % 24);
        if (dictionary.size() > 64 && random() % 2 == 0) {
            // Repeat an earlier run, so equal runs sit at several positions.
            const int from = static_cast<int>(random() % static_cast<unsigned>(dictionary.size() - run));
            dictionary.append(dictionary.mid(from, run));
        } else {
            for (int i = 0; i < run; ++i)
                dictionary.append(static_cast<char>(alphabet[random() % alphabet.size()]));
        }
    }
    dictionary.truncate(kDictionarySize);
    return dictionary;
}

std::vector<std::uint8_t> Alphabet(std::mt19937& random, int size)
{
    std::vector<std::uint8_t> all(256);
    std::iota(all.begin(), all.end(), 0);
    std::shuffle(all.begin(), all.end(), random);
    all.resize(static_cast<std::size_t>(size));
    return all;
}

// Small alphabets give matches of every length, large ones mostly literals.
TEST(RandomStreams, GreedyChoiceEqualsTheStraightforwardEncoder)
{
    std::mt19937 random(7);
    for (int alphabetSize : {2, 3, 6, 40}) {
        SCOPED_TRACE(alphabetSize);
        const std::vector<std::uint8_t> alphabet = Alphabet(random, alphabetSize);
        const QByteArray dictionary = RandomDictionary(random, alphabet);
        const NdArray<std::uint8_t, 1> stream = StreamOf(RandomBlocks(random, 2, alphabet));

        const test::ReferenceEncoding reference = Reference(dictionary, stream);
        ASSERT_TRUE(reference.fits);
        // Bytes that are not 0 where the zero fill must go and around the table.
        RomBuilder rom;
        rom.dictionary(dictionary).bytes(kRegionOffset, QByteArray(0x8000, '\xAA'));
        rom.bytes(kPointerTableOffset + 2 * kBlockCount, QByteArray(4, '\xAA'));
        const QByteArray before = rom.image();
        rom.encode(stream);
        EXPECT_EQ(Bytes(rom.image(), kPointerTableOffset, 2 * kBlockCount), reference.pointers);
        EXPECT_EQ(Bytes(rom.image(), kRegionOffset, kRegionLastWritten + 1), reference.region);
        // Nothing else changes but the bank bytes, to 0xFF.
        for (std::int32_t at : kBankByteOffsets)
            EXPECT_EQ(static_cast<std::uint8_t>(rom.image()[at]), 0xFF) << at;
        for (const qsizetype at : test::Differences(before, rom.image()))
            EXPECT_TRUE((at >= kRegionOffset && at <= kRegionOffset + kRegionLastWritten)
                        || (at >= kPointerTableOffset && at < kPointerTableOffset + 2 * kBlockCount)
                        || std::find(kBankByteOffsets.begin(), kBankByteOffsets.end(), at) != kBankByteOffsets.end())
                << at;
    }
}

// Set ZOR_TEST_SEED to the seed a failure prints to run it again.
TEST(RandomStreams, EncodeThenDecodeGivesTheStreamBack)
{
    const char* given = std::getenv("ZOR_TEST_SEED");
    const unsigned seed = given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    for (int round = 0; round < 6; ++round) {
        const std::vector<std::uint8_t> alphabet = Alphabet(random, 2 + static_cast<int>(random() % 60));
        const QByteArray dictionary = RandomDictionary(random, alphabet);
        const NdArray<std::uint8_t, 1> stream = StreamOf(RandomBlocks(random, 3, alphabet));

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

// A dictionary over a bank byte is matched against the byte the encoder writes there, so the image still decodes.
TEST(RandomStreams, DictionaryOverABankByte)
{
    std::mt19937 random(11);
    const std::vector<std::uint8_t> alphabet = Alphabet(random, 4);
    const std::int32_t bankByte = kBankByteOffsets[1];
    RomBuilder rom;
    rom.dictionaryAt(bankByte - 2 - 1000);
    QByteArray dictionary = RandomDictionary(random, alphabet);
    dictionary[1000] = 0;
    rom.dictionary(dictionary);
    std::vector<test::Block> blocks = RandomBlocks(random, 1, alphabet);
    // The 18 bytes around the bank byte as read before the save: a reference to them would decode with the save's 0xFF.
    std::copy(dictionary.begin() + 992, dictionary.begin() + 1010, blocks[5][0].begin() + 4);
    blocks[5][0][0] = 1;
    const NdArray<std::uint8_t, 1> stream = StreamOf(blocks);

    rom.encode(stream);
    ASSERT_EQ(static_cast<std::uint8_t>(rom.image()[bankByte]), 0xFF);
    EXPECT_EQ(StreamBytes(Decode(rom.image()).output), StreamBytes(stream));
}

} // namespace
} // namespace zor
