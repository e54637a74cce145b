#include "core/document/BattleRecords.h"
#include "core/document/NdArray.h"

#include "tests/support/HandTables.h"
#include "tests/support/RomBuilder.h"

#include <QString>

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace zor {
namespace {

using test::Block;
using test::Record;
using test::StreamOf;

TEST(NdArray, AccessOutsideTheBoundsAndImpossibleBoundsThrow)
{
    NdArray<int, 2> a(3, 4);
    a(3, 4) = 7;
    EXPECT_EQ(a(3, 4), 7);
    for (const auto& [i, j] : {std::pair{4, 0}, {0, 5}, {-1, 0}})
        EXPECT_THROW(a(i, j), std::out_of_range) << i << " " << j;
    EXPECT_TRUE(a.contains(0, 0) && !a.contains(0, 5));

    NdArray<int, 1> unallocated;
    EXPECT_TRUE(unallocated.empty());
    EXPECT_THROW(unallocated(0), std::out_of_range);
    EXPECT_THROW(unallocated.redim(-2), std::length_error);
    EXPECT_THROW((NdArray<int, 3>(70000, 70000, 70000)), std::length_error);
    unallocated.redim(-1);
    EXPECT_TRUE(unallocated.empty());
}

TEST(NdArray, RedimZeroesAndRedimPreserveKeepsWhatFits)
{
    NdArray<int, 3> a(2, 2, 2);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 2; ++j)
            for (int k = 0; k <= 2; ++k)
                a(i, j, k) = 100 * i + 10 * j + k;

    a.redimPreserve(3, 1, 4);
    EXPECT_EQ(std::tuple(a.upper(0), a.upper(1), a.upper(2)), std::tuple(3, 1, 4));
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 1; ++j)
            for (int k = 0; k <= 2; ++k)
                EXPECT_EQ(a(i, j, k), 100 * i + 10 * j + k);
    EXPECT_EQ(std::tuple(a(3, 1, 4), a(2, 1, 3)), std::tuple(0, 0));

    a.redim(1, 1, 1);
    EXPECT_EQ(a(1, 1, 1), 0);

    NdArray<QString, 1> names(1);
    names(1) = QStringLiteral("x");
    names.redimPreserve(5);
    EXPECT_EQ(names(1), QStringLiteral("x"));
    EXPECT_TRUE(names(5).isEmpty());
}

Record Numbered(int n)
{
    Record r(kRecordSize);
    for (int j = 0; j < kRecordSize; ++j)
        r[j] = static_cast<std::uint8_t>(1 + (n * 7 + j) % 250);
    return r;
}

TEST(BattleRecords, ThousandRecordsInBlocksOf314)
{
    std::vector<Block> blocks(kBlockCount);
    int n = 0;
    std::vector<int> firsts;
    for (int b = 0; b < kBlockCount; ++b) {
        firsts.push_back(n + 1);
        const int count = b < 1000 - 3 * kBlockCount ? 4 : 3; // 58 blocks of 4, 256 of 3
        for (int r = 0; r < count; ++r)
            blocks[b].push_back(Numbered(++n));
    }
    ASSERT_EQ(n, 1000);
    const NdArray<std::uint8_t, 1> stream = StreamOf(blocks);
    ASSERT_EQ(stream.upper(), 25315);

    const BattleRecords records = SplitBattleStream(stream);
    EXPECT_EQ(std::tuple(records.count, records.separators, records.params.upper(0), records.params.upper(1)), std::tuple(1000, 313, 26, 1001));
    for (int g = 1; g <= 313; ++g)
        EXPECT_EQ(records.groupStarts(g), firsts[g]) << g;
    EXPECT_EQ(records.groupStarts(314), 0);
    for (int i : {1, 2, 500, 1000})
        for (int j = 1; j <= kRecordSize; ++j)
            ASSERT_EQ(records.params(j, i), Numbered(i)[j - 1]) << i << " " << j;
    EXPECT_EQ(std::tuple(GroupRecords(records, 0).first, GroupRecords(records, 0).last, GroupRecords(records, 313).first,
                         GroupRecords(records, 313).last),
              std::tuple(1, 4, firsts[313], 1000));
}

// The loader's reading, not the stream's intent: a record beginning with 0 is a separator, and the rest shifts a byte.
TEST(BattleRecords, ARecordThatBeginsWithZeroReadsAsASeparatorAndCountsRoundToTheNearest)
{
    std::vector<Block> blocks(kBlockCount, Block{Numbered(0)});
    blocks[0] = {Numbered(1), Numbered(2)};
    blocks[0][1][0] = 0;
    const BattleRecords records = SplitBattleStream(StreamOf(blocks));
    // Block 0's separator is the last byte of record 2.
    EXPECT_EQ(std::tuple(records.groupStarts(1), records.params(1, 2), records.params(25, 2)), std::tuple(2, Numbered(2)[1], 0));
    for (const auto& [upper, count] : {std::pair{314 + 25 * 4, 4}, {314 + 25 * 4 + 12, 4}, {314 + 25 * 4 + 13, 5}, {314 - 12, 0},
                                       {314 - 13, -1}, {1, -13}})
        EXPECT_EQ(BattleRecordCount(upper), count) << upper;
}

TEST(BattleRecords, MalformedStreamsFailClearlyAndLeaveAnEmptyTable)
{
    DocumentState doc;
    doc.BattleStream = StreamOf(std::vector<Block>(kBlockCount, Block{Numbered(3)}));
    ReadBattleRecords(doc);
    ASSERT_EQ(doc.BattleCount(), kBlockCount);
    EXPECT_EQ(doc.GroupStarts(313), 314);

    auto expectError = [&](const NdArray<std::uint8_t, 1>& stream) {
        DocumentState changed = doc;
        changed.BattleStream = stream;
        EXPECT_THROW(ReadBattleRecords(changed), CodecError);
        // Nothing of the table that was there before: no record, no block start.
        EXPECT_EQ(std::tuple(changed.BattleCount(), changed.BattleParams().upper(1), changed.GroupStarts(313)), std::tuple(0, 1, 0));
    };
    expectError(NdArray<std::uint8_t, 1>(1)); // an empty decode
    expectError(NdArray<std::uint8_t, 1>(300));
    // Rounded up to one record more than the bytes hold.
    NdArray<std::uint8_t, 1> cut = doc.BattleStream;
    cut.redimPreserve(cut.upper() - 12);
    expectError(cut);
    // 400 blocks of one record each: more separators than GroupStarts holds.
    expectError(StreamOf(std::vector<Block>(400, Block{Numbered(4)})));
    // 316 of them still fit: 315 separators.
    doc.BattleStream = StreamOf(std::vector<Block>(316, Block{Numbered(4)}));
    EXPECT_NO_THROW(ReadBattleRecords(doc));
    // Without the last block's 0 and the spare element, the last record ends with the last byte: whole.
    doc.BattleStream.redimPreserve(doc.BattleStream.upper() - 2);
    ASSERT_NO_THROW(ReadBattleRecords(doc));
    EXPECT_EQ(std::tuple(doc.BattleCount(), doc.BattleParams(25, 316)), std::tuple(316, Numbered(4)[24]));
}

// The sizes counted in one pass agree with each record's block, whatever the starts hold.
TEST(BattleRecords, BlockSizesAgreeWithEachRecordsBlock)
{
    std::mt19937 random(5);
    for (int round = 0; round < 50; ++round) {
        std::vector<int> starts(static_cast<std::size_t>(random() % (kBlockCount + 1)));
        const int count = static_cast<int>(random() % 40);
        for (int& start : starts)
            start = static_cast<int>(random() % (count + 3));
        DocumentState doc;
        test::SetBattleRecords(doc, count, [](int, int) { return 1; }, starts);
        std::vector<int> counted(kBlockCount + 2, 0);
        for (int r = 1; r <= count; ++r)
            ++counted[static_cast<std::size_t>(BattleBlockOf(doc, r))];
        EXPECT_EQ(BattleBlockSizes(doc), counted) << round;
    }
}

} // namespace
} // namespace zor
