#include "core/codec/BattleCodec.h"
#include "core/codec/SnesAddress.h"
#include "tests/support/RomBuilder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>
#include <tuple>

namespace zor {
namespace {

TEST(SnesAddress, BackFromAnOffset)
{
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

TEST(SnesAddress, BytesToValue)
{
    EXPECT_EQ((std::vector<std::int32_t>{BytesToValue(0xFF, 0x7F, 0), BytesToValue(0x34, 0x12, 0), BytesToValue(0x00, 0x00, 0),
                                         BytesToValue(0x01, 0x02, 0x03), BytesToValue(0xFF, 0x7F, 0xFF)}),
              (std::vector<std::int32_t>{32767, 0x1234, 0, 0x030201, 0xFF7FFF}));
    EXPECT_THROW(BytesToValue(0x00, 0x80, 0), std::overflow_error);
    EXPECT_THROW(BytesToValue(0xFF, 0xFF, 0x01), std::overflow_error);
}

using test::BlockAssembler;
using test::ReferenceBytes;
using test::RomBuilder;

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

std::vector<std::uint8_t> DictionaryRun(const QByteArray& d, int position, int length)
{
    return std::vector<std::uint8_t>(d.begin() + position, d.begin() + position + length);
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

// Flag bits, literals and references in general are the round trip's and the comparison
// with the straightforward encoder's; here what the encoder never writes.
TEST_F(BlockDecoder, ReferencesCopyFromTheDictionaryAndRunPastItsEnd)
{
    rom.bytes(RomBuilder::kDictionaryBase + 2 + kDictionarySize, B({0xAB, 0xCD, 0xEF}));
    rom.blocks(WithFiller({
        BlockAssembler(3).raw(B({0x00, 0x00, 0x00})).bytes(),
        BlockAssembler(18).raw(B({0x00, 0xF0, 0x00})).bytes(),
        BlockAssembler(3).raw(B({0x00, 0x0F, 0xFF})).bytes(),
        // The same reference twice gives the same bytes: output is never a source.
        BlockAssembler(6).reference(3, 500).reference(3, 500).bytes(),
    }));
    Decoded d = Decode(rom.image());
    EXPECT_EQ(Slice(d.output, 1, 3), DictionaryRun(dictionary, 0, 3));
    EXPECT_EQ(Slice(d.output, 4, 21), DictionaryRun(dictionary, 0, 18));
    EXPECT_EQ(Slice(d.output, 22, 24), (std::vector<std::uint8_t>{static_cast<std::uint8_t>(dictionary[4095]), 0xAB, 0xCD}));
    EXPECT_EQ(Slice(d.output, 25, 27), DictionaryRun(dictionary, 500, 3));
    EXPECT_EQ(Slice(d.output, 28, 30), DictionaryRun(dictionary, 500, 3));
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
    EXPECT_EQ(Slice(d.output, 1, 18), DictionaryRun(dictionary, 40, 18));
    EXPECT_EQ(Slice(d.output, 19, 23), DictionaryRun(dictionary, 2, 5));
    EXPECT_EQ(Slice(d.output, 24, 28), DictionaryRun(dictionary, 2, 5));
    EXPECT_EQ(d.output(29), 0x77);
    const int total = 28 + (kBlockCount - 4) + 3;
    ASSERT_EQ(d.output.upper(), total + 1);
    EXPECT_EQ(Slice(d.output, total - 2, total), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(d.output(total + 1), 0);
}

// Each case names the block and the first offset that cannot be read; the output
// keeps the blocks decoded before (one byte each here).
TEST_F(BlockDecoder, ReadsOutsideTheImageNameBlockAndOffset)
{
    const std::vector<QByteArray> good = WithFiller({});
    auto expectFailure = [&](RomBuilder& image, int block, const QString& offset, int blocksBefore) {
        BattleCodec codec;
        NdArray<std::uint8_t, 1> output(1);
        try {
            test::DecodeStream(codec, output, image.image());
            ADD_FAILURE() << "no error";
        } catch (const CodecError& e) {
            EXPECT_EQ(e.block(), block) << e.what();
            if (block >= 0) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("ブロック %1 ").arg(block + 1))) << e.what(); // counted from 1
            }
            EXPECT_TRUE(e.message().contains(offset)) << e.what() << " lacks " << offset.toStdString();
            EXPECT_FALSE(e.message().contains(u"-0x")) << e.what(); // a place before the image is a SNES address
        }
        EXPECT_EQ(output.upper(), blocksBefore + 1);
    };

    {   // Block 12's pointer leads past the image's end.
        RomBuilder image;
        image.dictionary(dictionary).blocks(good).blockPointer(12, 0x00, 0x90);
        image.image().truncate(0x3F9000);
        expectFailure(image, 12, QStringLiteral("0x3F9000"), 12);
    }
    {   // A pointer before bank $80's start.
        RomBuilder image;
        image.blockBank(0x80).blockPointer(0, 0x34, 0x12);
        expectFailure(image, 0, QStringLiteral("読み込み位置 $80:1234 がイメージの外です（サイズ）"), 0);
    }
    {   // A pointer table in a bank before the image's: its entries lie before it.
        RomBuilder image;
        image.tablePointer(0x00, 0x00, 0x00);
        expectFailure(image, 0, QStringLiteral("読み込み位置 $00:0000 がイメージの外です（ポインタ）"), 0);
    }
    {   // A reference that runs past the image's end.
        const std::int32_t size = RomBuilder::kDictionaryBase + 2 + kDictionarySize + 1;
        RomBuilder image(size);
        std::vector<QByteArray> blocks = good;
        blocks[3] = BlockAssembler(3).raw(B({0x00, 0x0F, 0xFF})).bytes();
        image.dictionary(dictionary).tableAt(0x80000).blockBank(0x92).blocks(blocks, 0x90000);
        expectFailure(image, 3, HexOffset(size), 3);
        image.image().append('\0'); // one byte more, and it ends with the reference: read whole
        EXPECT_NO_THROW(Decode(image.image()));
    }
    {   // A dictionary before the image's start.
        RomBuilder image;
        image.dictionaryPointer(0x00, 0x00, 0x80).blocks(WithFiller({BlockAssembler(3).reference(3, 0).bytes()}));
        expectFailure(image, 0, QStringLiteral("$80:0002"), 0);
    }
    {   // A size of 0x8000 is an overflow, not 32768.
        RomBuilder image;
        std::vector<QByteArray> blocks = good;
        blocks[200] = BlockAssembler(0x8000).literal(1).bytes();
        image.dictionary(dictionary).blocks(blocks);
        std::int32_t at = RomBuilder::kBlockArea;
        for (int n = 0; n < 200; ++n)
            at += static_cast<std::int32_t>(blocks[n].size());
        expectFailure(image, 200, HexOffset(at), 200);
    }
    {   // The pointer table lies outside: nothing decoded.
        RomBuilder image;
        image.tablePointer(0xFF, 0xFF, 0xFF);
        image.image().truncate(0x3FFFFF);
        expectFailure(image, 0, QStringLiteral("0x3FFFFF"), 0);
    }
    {   // Too small to hold the fixed pointers.
        RomBuilder image(0x15A93, false);
        expectFailure(image, -1, QStringLiteral("0x15A93"), 0);
    }
}

} // namespace
} // namespace zor
