#include "core/edit/Journal.h"
#include "core/selection/TextClipboard.h"

#include "tests/selection/SmallTable.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Byte;
using test::kGrid;
using test::kTable;
using test::SmallDocument;

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

TEST(TextPaste, OnlyWhatLandsIsKept)
{
    // 140 KB: one line of 50,001 fields, then 20,000 lines of one, a rectangle of a billion cells.
    const QString text = QStringList(50001, u"1"_s).join(u'\t') + u"\n"_s + u"2\n"_s.repeated(20000);
    const ClipboardValues read = *ReadClipboardValues(text, 4, 3);
    EXPECT_EQ(std::tuple(read.rows, read.cols, read.values.size(), read.rowStarts.size()), std::tuple(20001, 50001, 6u, 5u));

    // Pasted at row 2 of the 5 × 3 table: three values of the first line, one of each line below.
    DocumentState doc = SmallDocument();
    const Result<WriteResult> pasted = PasteText(doc, kTable, {2, 1, 2, 1}, kGrid, text, {})->write;
    ASSERT_EQ(pasted->result, CommitResult::Changed);
    EXPECT_EQ(pasted->records, 6);
    EXPECT_EQ(std::tuple(Byte(doc, 3, 2), Byte(doc, 1, 5), Byte(doc, 2, 5)), std::tuple(1, 2, 42));
}

} // namespace
} // namespace zor
