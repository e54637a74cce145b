// The seed corpus of the save's round-trip fuzz target. The files in
// fuzz/roundtrip-corpus must equal what this makes; ZOR_WRITE_FUZZ_CORPUS=1 rewrites them.

#include "tests/codec/fuzz/FuzzTable.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace zor {
namespace {

void AppendWord(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

// Writes an input in the form TableFromInput reads.
struct TableInput {
    QByteArray dictionary;
    QByteArray templates;
    int templateCount = 0;
    QByteArray counts;
    QByteArray patches;

    TableInput& literalRecord(int first, int step)
    {
        templates.append('\0');
        for (int j = 0; j < kRecordSize; ++j)
            templates.append(static_cast<char>(first + j * step));
        ++templateCount;
        return *this;
    }
    TableInput& dictionaryRecord(int position)
    {
        templates.append('\1');
        AppendWord(templates, position);
        ++templateCount;
        return *this;
    }
    TableInput& patch(int kind, int a, int b)
    {
        patches.append(static_cast<char>(kind));
        AppendWord(patches, a);
        AppendWord(patches, b);
        return *this;
    }
    QByteArray bytes() const
    {
        QByteArray out;
        AppendWord(out, static_cast<int>(dictionary.size()));
        out.append(dictionary);
        out.append(static_cast<char>(templateCount));
        out.append(templates);
        out.append(static_cast<char>(counts.size()));
        out.append(counts);
        out.append(patches);
        return out;
    }
};

struct Seed {
    TableInput input;
    int records = 0;
    int refusedBlock = -2; // -2: the round trip holds; otherwise the block CodecError names
};

QByteArray Counts(std::initializer_list<int> counts)
{
    QByteArray out;
    for (int c : counts)
        out.append(static_cast<char>(c));
    return out;
}

std::map<QString, Seed> MakeSeeds()
{
    TableInput ones;
    ones.literalRecord(0x31, 7);

    // Runs of 1 to 10 equal bytes, so that references of every length match.
    TableInput runs;
    for (int i = 0; runs.dictionary.size() < 600; ++i)
        runs.dictionary.append(QByteArray(1 + i % 10, static_cast<char>(1 + i % 23)));
    // From the start, across the end (wrapping), across the bank byte (position 2498), and literal.
    runs.dictionaryRecord(0).dictionaryRecord(4085).dictionaryRecord(2490).literalRecord(0x40, 1);
    runs.counts = Counts({1, 2, 3, 5, 4, 7, 1, 1, 9, 1});

    std::map<QString, Seed> seeds;
    seeds[QStringLiteral("one-record-blocks")] = {ones, 314};
    seeds[QStringLiteral("dictionary-runs")] = {runs, 34 + 304};

    Seed zeroAtStart{ones, 314, 5};
    zeroAtStart.input.patch(0, 5, 0); // record 6, block 5's first
    seeds[QStringLiteral("zero-at-block-start")] = zeroAtStart;

    Seed zeroInLast{ones, 628, kBlockCount}; // read as a 315th block
    zeroInLast.input.counts = Counts({2});
    zeroInLast.input.patch(0, 627, 0);
    seeds[QStringLiteral("zero-in-last-block")] = zeroInLast;

    Seed empty{ones, 313, 3}; // blocks 2 and 3 start at the same record: one 0, and the rest are lost
    empty.input.counts = Counts({1, 1, 0, 1});
    seeds[QStringLiteral("empty-block")] = empty;

    Seed overlong{runs, 1536 + 313, 7};
    overlong.input.counts = Counts({1, 1, 1, 1, 1, 1, 1, 0xF5, 1});
    seeds[QStringLiteral("overlong-block")] = overlong;

    Seed overflow{ones, 3 * 512 + 311, 2}; // about 14 KB of literals per 512-record block
    overflow.input.counts = Counts({0xF1, 0xF1, 0xF1, 1});
    seeds[QStringLiteral("region-overflow")] = overflow;

    // Literal blocks that fill the region to its last byte, 0x7FFE, exactly.
    Seed full{ones, 3 * 239 + 71 + 4 * 7 + 306};
    full.input.counts = Counts({239, 239, 239, 71, 7, 7, 7, 7, 1});
    seeds[QStringLiteral("region-full")] = full;

    Seed swapped{ones, 314, 11};
    swapped.input.patch(2, 9, 0); // blocks 10 and 11
    seeds[QStringLiteral("starts-swapped")] = swapped;

    Seed pastEnd{ones, 314, 313};
    pastEnd.input.patch(1, 312, 315);
    seeds[QStringLiteral("last-start-past-end")] = pastEnd;
    return seeds;
}

TEST(RoundTripCorpus, SeedsRoundTripAsMadeAndMatchTheCommittedFiles)
{
    const QDir corpus(QStringLiteral(ZOR_ROUNDTRIP_CORPUS));
    const bool write = std::getenv("ZOR_WRITE_FUZZ_CORPUS") != nullptr;
    if (write) {
        ASSERT_TRUE(corpus.mkpath(QStringLiteral(".")));
    }
    for (const auto& [name, seed] : MakeSeeds()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray input = seed.input.bytes();
        const fuzz::FuzzTable table =
            fuzz::TableFromInput(reinterpret_cast<const std::uint8_t*>(input.constData()), static_cast<std::size_t>(input.size()));
        EXPECT_EQ(table.doc.BattleCount, seed.records);
        const fuzz::RoundTripOutcome outcome = fuzz::RoundTrip(table);
        if (seed.refusedBlock == -2) {
            EXPECT_EQ(outcome.result, fuzz::RoundTripResult::Held);
        } else {
            EXPECT_EQ(outcome.result, fuzz::RoundTripResult::Refused);
            EXPECT_EQ(outcome.block, seed.refusedBlock);
        }

        QFile file(corpus.filePath(name));
        if (write) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(file.write(input), input.size());
        } else {
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "missing; run with ZOR_WRITE_FUZZ_CORPUS=1";
            EXPECT_TRUE(file.readAll() == input) << "out of date; run with ZOR_WRITE_FUZZ_CORPUS=1";
        }
    }
}

} // namespace
} // namespace zor
