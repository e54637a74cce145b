#include "core/codec/BattleCodec.h"
#include "tests/codec/ReferenceEncoder.h"
#include "tests/support/RomBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <random>

namespace zor {
namespace {

using test::RomBuilder;
using test::StreamBytes;
using test::StreamOf;

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

        const test::ReferenceEncoding reference =
            test::ReferenceEncode(std::vector<std::uint8_t>(dictionary.begin(), dictionary.end()), StreamBytes(stream));
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

        RomBuilder rom;
        rom.dictionary(dictionary);
        BattleCodec codec;
        codec.SetDictionaryBase(rom.dictionaryBase());
        codec.EncodeBattleBlocks(stream.Elements(), rom.image());
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
    BattleCodec codec;
    NdArray<std::uint8_t, 1> decoded(1);
    test::DecodeStream(codec, decoded, rom.image());
    EXPECT_EQ(StreamBytes(decoded), StreamBytes(stream));
}

} // namespace
} // namespace zor
