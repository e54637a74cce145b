#include "core/document/CellBytes.h"
#include "core/edit/Clipboard.h"
#include "core/edit/Journal.h"
#include "core/selection/SelectionValues.h"
#include "core/selection/TextClipboard.h"
#include "core/view/Conversions.h"

#include "tests/support/HandTables.h"
#include "tests/support/PutByte.h"
#include "tests/support/TypedTables.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::PutByte;

// One data set of 5 IDs (sections hexadecimal, unsigned, signed; bytes ID × 10 + section), 3 battle records; all writable.
DocumentState SmallDocument()
{
    DocumentState doc;
    DataSet set = test::MakeDataSet(QString(), QStringList(5, QString()), {{{}, 0x100}, {{}, 0x200}, {{}, 0x300}});
    for (int q = 1; q <= 3; ++q)
        set.SectionSettings(SettingNotation, q) = std::array{NotationHex, NotationUnsigned, NotationSigned}[q - 1];
    test::SetDataSets(doc, {std::move(set)});
    test::FillIdBytes(doc, 1, [](int q, int id) { return id * 10 + q; });
    test::SetBattleRecords(doc, 3, [](int, int r) { return r; });
    doc.History.StartWithBaseline(doc);
    return doc;
}

constexpr GridSize kGrid{6, 4};
constexpr TableRef kTable{TabIdSection, 1};

int Byte(const DocumentState& doc, int col, int row) { return *CellByte(doc, TabIdSection, 1, col, row); }

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

TEST(TextPaste, ValuesClippedAtTheEdgeAsOneStep)
{
    DocumentState doc = SmallDocument();
    // Tabs, CRLF and a final break: two rows of three, pasted at row 5, column 2 of a 5 × 3 table.
    const Result<ClipboardWrite> done = PasteText(doc, kTable, {5, 2, 5, 2}, kGrid, u"0x10\t-1\t9\r\n7\t8\t9\r\n"_s, {});
    ASSERT_TRUE(done);
    EXPECT_EQ(std::pair(done->write.result, done->write.records), std::pair(CommitResult::Changed, 2));
    EXPECT_EQ(std::tuple(Byte(doc, 2, 5), Byte(doc, 3, 5), Byte(doc, 2, 4)), std::tuple(0x10, 0xFF, 32));
    EXPECT_EQ(done->last, kTable.at(3, 5));
    UndoStep(doc);
    EXPECT_FALSE(doc.History->Modified());

    // Commas when there is no tab, a quoted field, a shorter row that leaves its cell alone.
    ASSERT_EQ(PasteText(doc, kTable, {1, 1, 1, 1}, kGrid, u"\"1\",2,3\n4"_s, {})->write.result, CommitResult::Changed);
    EXPECT_EQ(std::tuple(Byte(doc, 1, 1), Byte(doc, 3, 1), Byte(doc, 1, 2), Byte(doc, 2, 2)), std::tuple(1, 3, 4, 12));
    EXPECT_EQ(doc.History->NewestStepSize(JournalSide::Undo), 4);

    // One value that can't be read refuses the whole paste, named by row, column and text.
    const std::vector<std::uint8_t> bytes = doc.IdBytes(1).Elements();
    const Result<ClipboardWrite> refused = PasteText(doc, kTable, {1, 1, 1, 1}, kGrid, u"1\t2\n3\tFF\n"_s, {});
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().kind, Failure::Kind::BadText);
    EXPECT_TRUE(refused.failure().message().startsWith(u"行 2、列 2 の「FF」は値として読めません。"_s)) << refused.failure().message().toStdString();
    EXPECT_EQ(doc.IdBytes(1).Elements(), bytes);
}

TEST(TextPaste, OneValueFillsASelectionAndTheGridsTextReadsBack)
{
    DocumentState doc = SmallDocument();
    ASSERT_EQ(PasteText(doc, kTable, {4, 3, 2, 2}, kGrid, u"-2\n"_s, {})->write.result, CommitResult::Changed);
    EXPECT_EQ(doc.History->NewestStepSize(JournalSide::Undo), 6);
    EXPECT_EQ(std::tuple(Byte(doc, 2, 2), Byte(doc, 3, 4), Byte(doc, 1, 2), Byte(doc, 2, 5)), std::tuple(0xFE, 0xFE, 11, 42));

    // Copied as the grid shows it, in each section's notation, and pasted back one row down.
    const QString text = SelectionText(doc, kTable, {1, 1, 2, 3});
    EXPECT_EQ(text, u"0x01\t2\t3\n0x0B\t254\t-2\n"_s);
    ASSERT_EQ(PasteText(doc, kTable, {2, 1, 2, 1}, kGrid, text, {})->write.result, CommitResult::Changed);
    EXPECT_EQ(SelectionText(doc, kTable, {2, 1, 3, 3}), text);
}

TEST(TextPaste, EachFieldIsReadByTheCellItLandsOn)
{
    DocumentState doc = SmallDocument();
    // Bare digits are hexadecimal only in the hexadecimal section, and only when asked for.
    const QString text = u"10\t10\t-1\n"_s;
    ASSERT_TRUE(PasteText(doc, kTable, {1, 1, 1, 1}, kGrid, text, {}));
    EXPECT_EQ(std::tuple(Byte(doc, 1, 1), Byte(doc, 2, 1), Byte(doc, 3, 1)), std::tuple(10, 10, 0xFF));
    ASSERT_TRUE(PasteText(doc, kTable, {1, 1, 1, 1}, kGrid, text, {}, LargeStep::Refuse, BareDigits::Hexadecimal));
    EXPECT_EQ(std::tuple(Byte(doc, 1, 1), Byte(doc, 2, 1), Byte(doc, 3, 1)), std::tuple(0x10, 10, 0xFF));
    // The unsigned section refuses "FF" and names its own forms; what lands on no cell is not read.
    const Result<ClipboardWrite> refused = PasteText(doc, kTable, {2, 1, 2, 1}, kGrid, u"FF\tFF"_s, {}, LargeStep::Refuse, BareDigits::Hexadecimal);
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.failure().message().contains(u"行 1、列 2 の「FF」は値として読めません。使える形: "_s + EditorTextForms(1)));
    EXPECT_TRUE(PasteText(doc, kTable, {2, 3, 2, 3}, kGrid, u"5\tabc"_s, {}));

    // A section whose value is an ID of the data set reads its names: a filled name is its first ID in every cell.
    doc.DataSets(1).SectionTypes.redim(4);
    doc.DataSets(1).SectionTypes(2).NamesDataSet = 1;
    doc.DataSets(1).IdNames(3) = doc.DataSets(1).IdNames(5) = u"剣"_s;
    const Result<ClipboardWrite> named = PasteText(doc, kTable, {3, 2, 1, 2}, kGrid, u"剣"_s, {});
    ASSERT_TRUE(named);
    EXPECT_EQ(std::tuple(Byte(doc, 2, 1), Byte(doc, 2, 2), Byte(doc, 2, 3)), std::tuple(2, 2, 2));
    EXPECT_FALSE(PasteText(doc, kTable, {1, 1, 1, 1}, kGrid, u"剣"_s, {}));
}

TEST(TextPaste, OnlyWhatLandsIsKept)
{
    // 140 KB: one line of 50,001 fields, then 20,000 lines of one, a rectangle of a billion cells.
    const QString text = QStringList(50001, u"1"_s).join(u'\t') + u"\n"_s + u"2\n"_s.repeated(20000);
    const ClipboardFields read = ReadClipboardFields(text, 4, 3);
    EXPECT_EQ(std::tuple(read.rows, read.cols, read.starts.size(), read.rowStarts.size()), std::tuple(20001, 50001, 7u, 5u));

    // Pasted at row 2 of the 5 × 3 table: three values of the first line, one of each line below.
    DocumentState doc = SmallDocument();
    const Result<WriteResult> pasted = PasteText(doc, kTable, {2, 1, 2, 1}, kGrid, text, {})->write;
    ASSERT_EQ(pasted->result, CommitResult::Changed);
    EXPECT_EQ(pasted->records, 6);
    EXPECT_EQ(std::tuple(Byte(doc, 3, 2), Byte(doc, 1, 5), Byte(doc, 2, 5)), std::tuple(1, 2, 42));
}

using TypedCopy = test::TypedTables;

TEST_F(TypedCopy, NamesAndBitsCellsCopyTheirNumberNotTheirNames)
{
    // 価格, 種別 (防具), 属性 (火・氷), 差 signed, 重さ, 大 unsigned; battle field 3 and the byte inside it.
    EXPECT_EQ(SelectionText(doc, {TabIdSection, kItems}, {1, 1, 1, 6}), u"0x1234\t0x01\t0x05\t-1\t0xFF\t4294967295\n"_s);
    EXPECT_EQ(SelectionText(doc, {TabBattle, 0}, {1, 3, 1, 4}), u"0x00FF\t0x00\n"_s);
}

} // namespace
} // namespace zor
