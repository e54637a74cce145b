// The seed corpus of the decoder's fuzz target, made by our builder and encoder. The
// files in fuzz/corpus must equal what this makes; ZOR_WRITE_FUZZ_CORPUS=1 rewrites them.

#include "core/codec/BattleCodec.h"
#include "tests/codec/fuzz/FuzzImage.h"
#include "tests/support/RomBuilder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>

namespace zor {
namespace {

using test::BlockAssembler;
using test::RomBuilder;

// Small images: dictionary at offset 2, pointer table at 0x1002, blocks from 0x1280,
// all in bank $80, so the fuzz input stays a few kilobytes.
constexpr std::int32_t kTable = 0x1002;
constexpr std::int32_t kBlocks = 0x1280;

struct Seed {
    QByteArray input;
    int failingBlock = -2; // -2: decodes; otherwise the block CodecError names
    NdArray<std::uint8_t, 1> stream{1};
};

RomBuilder SmallImage(const QByteArray& dictionary)
{
    RomBuilder rom(fuzz::kMinImageSize, false);
    rom.dictionaryAt(0).tableAt(kTable).blockBank(0x80).dictionary(dictionary);
    return rom;
}

// Region bytes and the region offsets of the blocks, moved to kBlocks.
QByteArray Relocated(const QByteArray& dictionary, const QByteArray& region, const std::vector<int>& offsets)
{
    RomBuilder rom = SmallImage(dictionary);
    rom.bytes(kBlocks, region);
    for (int n = 0; n < kBlockCount; ++n) {
        const int address = 0x8000 + kBlocks + offsets[n];
        rom.blockPointer(n, static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8));
    }
    return fuzz::InputFromImage(rom.image());
}

Seed Encoded(unsigned seed, int maxRecords)
{
    std::mt19937 random(seed);
    const std::vector<std::uint8_t> alphabet{1, 2, 3, 0x40, 0x41, 0x80, 0xFF};
    const QByteArray dictionary = test::RandomDictionary(random, alphabet);
    Seed out;
    out.stream = test::StreamOf(test::RandomBlocks(random, maxRecords, alphabet));
    RomBuilder rom;
    rom.dictionary(dictionary).encode(out.stream);
    std::vector<int> offsets;
    for (int n = 0; n < kBlockCount; ++n)
        offsets.push_back(static_cast<std::uint8_t>(rom.image()[kPointerTableOffset + 2 * n])
                          | ((static_cast<std::uint8_t>(rom.image()[kPointerTableOffset + 2 * n + 1]) - 0x80) << 8));
    QByteArray region = rom.image().mid(kRegionOffset, kRegionLastWritten + 1);
    while (region.endsWith('\0'))
        region.chop(1);
    out.input = Relocated(dictionary, region, offsets);
    return out;
}

Seed Assembled(const std::vector<QByteArray>& blocks, int failingBlock = -2, const QByteArray& dictionary = QByteArray(64, '\x21'))
{
    RomBuilder rom = SmallImage(dictionary);
    std::int32_t at = kBlocks;
    for (int n = 0; n < kBlockCount; ++n) {
        const QByteArray& block = blocks[std::min<std::size_t>(static_cast<std::size_t>(n), blocks.size() - 1)];
        rom.block(n, at, block);
        if (static_cast<std::size_t>(n) < blocks.size())
            at += static_cast<std::int32_t>(block.size());
    }
    Seed out;
    out.input = fuzz::InputFromImage(rom.image());
    out.failingBlock = failingBlock;
    return out;
}

QByteArray LiteralRecordBlock(int n)
{
    QByteArray record(kRecordSize, static_cast<char>(1 + n % 200));
    record.append('\0');
    return BlockAssembler(26).literals(record).bytes();
}

std::map<QString, Seed> MakeSeeds()
{
    std::map<QString, Seed> seeds;
    seeds[QStringLiteral("encoded-one-record")] = Encoded(1, 1);
    seeds[QStringLiteral("encoded-three-records")] = Encoded(2, 3);

    std::vector<QByteArray> literal;
    for (int n = 0; n < kBlockCount; ++n)
        literal.push_back(LiteralRecordBlock(n));
    seeds[QStringLiteral("literal-records")] = Assembled(literal);

    // Every block the same: size 0, a reference past the dictionary's end, an overshoot.
    seeds[QStringLiteral("shared-edge-block")] = Assembled({BlockAssembler(0).reference(3, 4095).reference(18, 0).bytes(),
                                                            BlockAssembler(5).reference(18, 4000).literal(7).bytes()});

    Seed negative = Assembled(literal, 100);
    negative.input[static_cast<qsizetype>(fuzz::kFixedPlaces.size()) + kTable + 200] = 0x34;
    negative.input[static_cast<qsizetype>(fuzz::kFixedPlaces.size()) + kTable + 201] = 0x12;
    seeds[QStringLiteral("negative-pointer")] = negative;

    std::vector<QByteArray> oversize = literal;
    oversize[7] = BlockAssembler(0x8000).literal(1).bytes();
    seeds[QStringLiteral("size-overflow")] = Assembled(oversize, 7);

    Seed outside = Assembled({BlockAssembler(3).reference(3, 0).bytes()}, 0);
    outside.input[2] = static_cast<char>(0xFF); // dictionary bank $FF: far past the image
    seeds[QStringLiteral("dictionary-outside")] = outside;
    return seeds;
}

TEST(FuzzCorpus, SeedsDecodeAsMadeAndMatchTheCommittedFiles)
{
    const QDir corpus(QStringLiteral(ZOR_FUZZ_CORPUS));
    const bool write = std::getenv("ZOR_WRITE_FUZZ_CORPUS") != nullptr;
    if (write) {
        ASSERT_TRUE(corpus.mkpath(QStringLiteral(".")));
    }
    for (const auto& [name, seed] : MakeSeeds()) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_LT(seed.input.size(), 16384);
        const QByteArray image = fuzz::ImageFromInput(reinterpret_cast<const std::uint8_t*>(seed.input.constData()),
                                                      static_cast<std::size_t>(seed.input.size()));
        BattleCodec codec;
        NdArray<std::uint8_t, 1> stream(1);
        try {
            test::DecodeStream(codec, stream, image);
            EXPECT_EQ(seed.failingBlock, -2);
            if (seed.stream.upper() > 1) {
                EXPECT_EQ(test::StreamBytes(stream), test::StreamBytes(seed.stream));
            }
        } catch (const CodecError& e) {
            EXPECT_EQ(e.block(), seed.failingBlock) << e.what();
        }

        QFile file(corpus.filePath(name));
        if (write) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(file.write(seed.input), seed.input.size());
        } else {
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "missing; run with ZOR_WRITE_FUZZ_CORPUS=1";
            EXPECT_TRUE(file.readAll() == seed.input) << "out of date; run with ZOR_WRITE_FUZZ_CORPUS=1";
        }
    }
}

} // namespace
} // namespace zor
