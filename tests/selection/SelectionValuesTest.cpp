#include "core/selection/SelectionValues.h"
#include "core/view/Conversions.h"

#include "tests/selection/SmallTable.h"
#include "tests/support/PutByte.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Byte;
using test::PutByte;
using test::kGrid;
using test::kTable;
using test::SmallDocument;

TEST(SelectionValues, RoundingHalvesAwayFromZeroAndHolding)
{
    DocumentState doc = SmallDocument();
    const CellSelection idZero{1, 2, 1, 3}; // an unsigned and a signed section
    // 50 % of 5 and of -5: +2.5 and -2.5.
    PutByte(doc, {TabIdSection, 1, 2, 1}, 5);
    PutByte(doc, {TabIdSection, 1, 3, 1}, static_cast<std::uint8_t>(-5));
    ASSERT_EQ(ScaleSelection(doc, kTable, idZero, u"50"_s, {})->write.result, CommitResult::Changed);
    EXPECT_EQ(std::pair(Byte(doc, 2, 1), ByteToSigned(Byte(doc, 3, 1))), std::pair(3, -3));
    // 3 - 10.5 = -7.5 is held at 0 in the unsigned section; -3 - 10.5 = -13.5 rounds to -14.
    const Result<ValuesWritten> subtracted = AddToSelection(doc, kTable, idZero, u"-10.5"_s, {});
    EXPECT_EQ(subtracted->held, 1);
    EXPECT_EQ(std::pair(Byte(doc, 2, 1), ByteToSigned(Byte(doc, 3, 1))), std::pair(0, -14));
    // Held at each section's range: 0x7F in signed, 0xFF in unsigned; a result of exactly 0xFF is no hold.
    PutByte(doc, {TabIdSection, 1, 1, 5}, 128);
    const Result<ValuesWritten> grown = AddToSelection(doc, kTable, {5, 1, 5, 3}, u"0x7F"_s, {});
    EXPECT_EQ(grown->held, 1);
    EXPECT_EQ(std::tuple(Byte(doc, 1, 5), Byte(doc, 2, 5), Byte(doc, 3, 5)), std::tuple(255, 42 + 127, 127));
    const Result<ValuesWritten> scaled = ScaleSelection(doc, kTable, {5, 1, 5, 2}, u"１２.５"_s, {});
    EXPECT_EQ(std::tuple(Byte(doc, 1, 5), Byte(doc, 2, 5)), std::tuple(32, 21)); // 255 × 0.125 = 31.875, 169 × 0.125 = 21.125
    EXPECT_EQ(scaled->held, 0);

    for (const QString& bad : {u"0x"_s, u"1e2"_s, u"--1"_s, u"0x123456789"_s, u"."_s, u"1.2345678"_s}) {
        EXPECT_EQ(AddToSelection(doc, kTable, idZero, bad, {}).failure().kind, Failure::Kind::BadText) << bad.toStdString();
        EXPECT_EQ(ScaleSelection(doc, kTable, idZero, bad, {}).failure().kind, Failure::Kind::BadText) << bad.toStdString();
    }
}

TEST(SelectionValues, SeriesInEachSectionsSense)
{
    DocumentState doc = SmallDocument();
    for (int q = 2; q <= 3; ++q) {
        PutByte(doc, {TabIdSection, 1, q, 1}, static_cast<std::uint8_t>(-10));
        PutByte(doc, {TabIdSection, 1, q, 5}, 10);
    }
    ASSERT_EQ(FillSeries(doc, kTable, {5, 3, 1, 2}, {})->write.result, CommitResult::Changed);
    std::vector<int> unsignedSeries, signedSeries;
    for (int row = 1; row <= 5; ++row) {
        unsignedSeries.push_back(Byte(doc, 2, row));
        signedSeries.push_back(ByteToSigned(Byte(doc, 3, row)));
    }
    EXPECT_EQ(unsignedSeries, (std::vector<int>{246, 187, 128, 69, 10}));
    EXPECT_EQ(signedSeries, (std::vector<int>{-10, -5, 0, 5, 10}));
    EXPECT_EQ(doc.History->NewestStepSize(JournalSide::Undo), 6); // the ends keep their bytes
    // Once more: nothing changes, and no step is made.
    EXPECT_EQ(FillSeries(doc, kTable, {1, 2, 5, 3}, {})->write.result, CommitResult::Unchanged);
    EXPECT_EQ(doc.History->UndoCount(), 6);
}

TEST(SelectionValues, RefusedWhole)
{
    DocumentState doc = SmallDocument();
    ASSERT_EQ(SetSelectionValue(doc, {TabBattle, 0}, {1, 1, 3, 2}, u"0x00"_s, {}).failure().kind, Failure::Kind::Refused);
    EXPECT_EQ(doc.BattleParams(2, 1), 1);
    EXPECT_EQ(SetSelectionValue(doc, {TabBattle, 0}, {1, 2, 3, 2}, u"0"_s, {})->write.result, CommitResult::Changed);
    EXPECT_EQ(SetSelectionValue(doc, kTable, {1, 1, 2, 2}, u"300"_s, {}).failure().kind, Failure::Kind::BadText);

    doc.DataSets(1).SectionAddresses(3) = -0x1000;
    const Result<ValuesWritten> readOnly = AddToSelection(doc, kTable, {1, 2, 1, 3}, u"1"_s, {});
    EXPECT_EQ(readOnly.failure().kind, Failure::Kind::Refused);
    EXPECT_EQ(Byte(doc, 2, 1), 2);

    EditHistory small(3);
    small.TakeBaseline(doc);
    *doc.History = small;
    const Result<ValuesWritten> large = AddToSelection(doc, kTable, {1, 1, 2, 2}, u"1"_s, {});
    EXPECT_EQ(std::pair(large->write.result, large->write.records), std::pair(CommitResult::TooLargeToUndo, 4));
    EXPECT_EQ(Byte(doc, 1, 1), 1);
    EXPECT_EQ(AddToSelection(doc, kTable, {1, 1, 2, 2}, u"1"_s, {}, LargeStep::Take)->write.result, CommitResult::Changed);
    EXPECT_EQ(Byte(doc, 1, 1), 2);
}

} // namespace
} // namespace zor
