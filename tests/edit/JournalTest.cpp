#include "core/edit/EditHistory.h"
#include "core/document/CellBytes.h"
#include "core/edit/CellChange.h"
#include "core/edit/CellWrites.h"
#include "core/edit/Clipboard.h"
#include "core/edit/Journal.h"
#include "core/view/CellInput.h"
#include "tests/support/HandTables.h"
#include "tests/support/PutByte.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// Two data sets of 4 IDs × 3 sections, 2 entries, 5 battle records, every byte distinct; hexadecimal everywhere.
DocumentState SmallDocument()
{
    DocumentState doc;
    // Sections 0x1000 bytes apart, step 1: every cell lies inside an image.
    const std::vector<test::SectionSpec> sections{{{}, 0x1000}, {{}, 0x2000}, {{}, 0x3000}};
    const QStringList ids(4, QString());
    test::SetDataSets(doc, {test::MakeDataSet({}, ids, sections), test::MakeDataSet({}, ids, sections)});
    for (int k = 1; k <= 2; ++k)
        test::FillIdBytes(doc, k, [k](int q, int n) { return k * 100 + q * 10 + n; });
    test::SetIndividual(doc, {{NotationHex, 7}, {NotationHex, 8}});
    doc.IndividualAddresses.redim(3);
    doc.IndividualAddressUnusable.redim(3);
    doc.IndividualNames.redim(3);
    test::SetBattleRecords(doc, 5, [](int c, int r) { return r + c; });
    doc.History.StartWithBaseline(doc);
    return doc;
}

std::uint8_t Byte(const DocumentState& doc, int tab, int dataSet, int col, int row) { return *CellByte(doc, tab, dataSet, col, row); }

// A commit's outcome; nullopt when it was refused.
std::optional<CommitResult> Commit(DocumentState& doc, int tab, int dataSet, int col, int row, const QString& text)
{
    const Result<WriteResult> written = CommitCellText(doc, {tab, dataSet, col, row}, text, {row, col});
    return written ? std::optional(written->result) : std::nullopt;
}

template <typename T>
QString Refusal(const Result<T>& result) { return result ? QString() : result.failure().message(); }

TEST(Journal, CommitJournalsOnlyWhatChanges)
{
    DocumentState doc = SmallDocument();
    // The cell holds 112 (0x70): the same byte in other words is no change.
    for (const QString& same : {u"112"_s, u"0x70"_s, u"112.4"_s, u"+112"_s}) {
        EXPECT_EQ(Commit(doc, TabIdSection, 1, 1, 3, same), CommitResult::Unchanged) << same.toStdString();
        EXPECT_EQ(doc.History->UndoCount(), 0);
        EXPECT_FALSE(doc.History->Modified());
    }
    ASSERT_EQ(Commit(doc, TabIdSection, 1, 1, 3, u"5"_s), CommitResult::Changed);
    ASSERT_EQ(doc.History->UndoCount(), 1);
    const JournalRecord& r = doc.History->Steps(JournalSide::Undo).back().cells.at(0);
    EXPECT_EQ(std::tuple(r.Tab, r.DataSet, r.Col, r.Row, r.Value, r.TopRow), std::tuple(TabIdSection, 1, 1, 3, 112, 3));
    EXPECT_TRUE(doc.History->Modified());
    // With a record left, a commit that changes nothing keeps Modified.
    EXPECT_EQ(Commit(doc, TabIdSection, 1, 1, 3, u"0x05"_s), CommitResult::Unchanged);
    EXPECT_TRUE(doc.History->Modified());

    // Texts the editor reads give their byte on every tab; one it can't read, or past a byte, changes nothing.
    struct Case { QString text; std::optional<std::uint8_t> byte; };
    const Case cases[] = {{u""_s, 0},         {u"-0"_s, 0},         {u"0x1"_s, 1},    {u"256"_s, {}},   {u"255.5"_s, {}},
                          {u"abc"_s, {}},     {u"-129"_s, {}},      {u" 12"_s, 12},   {u"１２"_s, 12}, {u"254.5"_s, 254},
                          {u"FF"_s, {}},      {u"-1"_s, 255}};
    for (const Case& c : cases) {
        for (int tab : {TabIdSection, TabIndividual, TabBattle}) {
            const int dataSet = tab == TabIdSection ? 2 : 0;
            const int col = tab == TabIndividual ? 1 : 2;
            Commit(doc, tab, dataSet, col, 2, u"99"_s);
            const int records = doc.History->UndoCount();
            const std::optional<CommitResult> result = Commit(doc, tab, dataSet, col, 2, c.text);
            EXPECT_EQ(Byte(doc, tab, dataSet, col, 2), c.byte.value_or(99)) << c.text.toStdString() << " on tab " << tab;
            EXPECT_EQ(result.has_value(), c.byte.has_value()) << c.text.toStdString();
            if (!c.byte) {
                EXPECT_EQ(doc.History->UndoCount(), records);
            }
        }
    }
    // On 個別データ the row is the entry.
    Commit(doc, TabIndividual, 0, 1, 1, u"0x20"_s);
    EXPECT_EQ(doc.IndividualBytes()(1), 0x20);
    EXPECT_EQ(doc.IndividualBytes()(2), 255); // the last case, -1
}

// A table 表 of 3 IDs whose sections are a hexadecimal byte, an unsigned byte, an ID of 種別, a byte of
// flags and a hexadecimal 16-bit number; 種別 names "剣" twice and an ID "2".
DocumentState TypedDocument()
{
    DocumentState doc;
    const QStringList kinds{u"なし"_s, u"剣"_s, u"盾"_s, u"剣"_s, u"ＡＢＣ"_s, u"2"_s};
    test::SetDataSets(doc, {test::MakeDataSet(u"表"_s, QStringList(3, QString()), std::vector<test::SectionSpec>(5, {{}, 0x1000, 2})),
                            test::MakeDataSet(u"種別"_s, kinds, {{}})});
    DataSet& table = doc.DataSets(1);
    table.SectionSettings(SettingNotation, 2) = NotationUnsigned;
    table.SectionTypes.redim(6);
    table.SectionTypes(3).NamesDataSet = 2;
    table.SectionTypes(4).Bits = QStringList{u"装備可"_s, QString(), u"呪い"_s};
    table.SectionTypes(5).Size = 2;
    doc.History.StartWithBaseline(doc);
    return doc;
}

TEST(Journal, ACellReadsItsTextByItsTypeAndNotation)
{
    using Value = std::optional<std::uint32_t>;
    struct Case {
        int section;
        QString text;
        Value off, on; // with bare digits decimal, and hexadecimal in hexadecimal columns
    };
    const Case cases[] = {
        {1, u"10"_s, 10, 0x10},     {1, u"FF"_s, {}, 0xFF},   {1, u"100"_s, 100, {}},    {1, u"0x7"_s, 7, 7},
        {2, u"10"_s, 10, 10},       {2, u"FF"_s, {}, {}},     {2, u"-1"_s, 0xFF, 0xFF},  {3, u"盾"_s, 2, 2},
        {3, u"剣"_s, 1, 1},         {3, u"ABC"_s, 4, 4},      {3, u"2"_s, 2, 2},         {3, u"槍"_s, {}, {}},
        {3, u"1F"_s, {}, 0x1F},     {4, u"5"_s, 5, 5},        {4, u"呪い"_s, {}, {}},    {5, u"1234"_s, 1234, 0x1234},
        {5, u"12345"_s, 12345, {}}, {5, u"65536"_s, {}, {}},  {5, u"-1"_s, 0xFFFF, 0xFFFF}};
    DocumentState doc = TypedDocument();
    for (const Case& c : cases) {
        const CellRef cell{TabIdSection, 1, c.section, 2};
        EXPECT_EQ(ReadingOf(doc, cell, BareDigits::Decimal).read(c.text), c.off) << c.section << " " << c.text.toStdString();
        EXPECT_EQ(ReadingOf(doc, cell, BareDigits::Hexadecimal).read(c.text), c.on) << c.section << " " << c.text.toStdString();
        if (c.section == 5)
            continue; // a table made by hand keeps one byte a section
        // The commit reads the same, and stores the value or refuses the text.
        const Result<WriteResult> written = CommitCellText(doc, cell, c.text, {}, BareDigits::Hexadecimal);
        EXPECT_EQ(written.ok(), c.on.has_value()) << c.section << " " << c.text.toStdString();
        EXPECT_EQ(CellValueOf(doc, cell), c.on ? *c.on : 0x10 * c.section + 1) << c.text.toStdString();
        test::PutByte(doc, cell, static_cast<std::uint8_t>(0x10 * c.section + 1));
    }
    // A refusal names the forms of the cell's size, its hexadecimal example, its bare digits and its names.
    const auto forms = [&](int section, BareDigits bare) { return ReadingOf(doc, {TabIdSection, 1, section, 1}, bare).forms(); };
    EXPECT_EQ(forms(2, BareDigits::Hexadecimal), EditorTextForms(1));
    EXPECT_EQ(forms(1, BareDigits::Decimal), EditorTextForms(1, true));
    EXPECT_EQ(forms(5, BareDigits::Hexadecimal), EditorTextForms(2, true) + u"、0x を付けない16進数（4桁まで）"_s);
    EXPECT_EQ(forms(3, BareDigits::Decimal), EditorTextForms(1, true) + u"、「種別」の名前"_s);
}

TEST(Journal, AChosenValueIsOneStepAndTheListsNameEachIdAndBit)
{
    DocumentState doc = TypedDocument();
    const CellRef kind{TabIdSection, 1, 3, 1}, flags{TabIdSection, 1, 4, 1};
    // The second of two IDs named 剣, chosen from the list, is the one stored.
    ASSERT_EQ(CommitCellValue(doc, kind, 3, {1, 3})->result, CommitResult::Changed);
    EXPECT_EQ(std::pair(CellValueOf(doc, kind), doc.History->NewestStepSize(JournalSide::Undo)), std::pair(std::optional(3u), 1));
    EXPECT_EQ(CommitCellValue(doc, flags, 0b101, {})->result, CommitResult::Changed);
    EXPECT_FALSE(CommitCellValue(doc, flags, 0x100, {})); // past the cell's size
    EXPECT_EQ(std::pair(CellValueOf(doc, flags), doc.History->UndoCount()), std::pair(std::optional(5u), 2));
    UndoStep(doc);
    EXPECT_EQ(CellValueOf(doc, flags), 0x40u);

    QStringList labels;
    for (const NameChoice& choice : NameChoices(doc, kind))
        labels << choice.label;
    EXPECT_EQ(labels, (QStringList{u"0x00 なし"_s, u"0x01 剣"_s, u"0x02 盾"_s, u"0x03 剣"_s, u"0x04 ＡＢＣ"_s, u"0x05 2"_s}));
    EXPECT_EQ(NameChoices(doc, kind)[4].key, u"ABC"_s);
    EXPECT_EQ(BitLabels(doc, flags), (QStringList{u"装備可"_s, u"bit 1"_s, u"呪い"_s, u"bit 3"_s, u"bit 4"_s, u"bit 5"_s, u"bit 6"_s, u"bit 7"_s}));
    EXPECT_TRUE(NameChoices(doc, flags).empty() && BitLabels(doc, kind).empty());
}

TEST(Journal, UndoAndRedoStepsAcrossTabsAndDataSets)
{
    DocumentState doc = SmallDocument();
    Commit(doc, TabIdSection, 2, 3, 4, u"1"_s); // 233 → 1
    CellClipboard clip;
    CopyCells(clip, doc, {TabBattle, 0}, {1, 1, 2, 3}); // 3 columns × 2 rows from record 1
    const Result<ClipboardWrite> pasted = PasteCells(clip, doc, {TabBattle, 0}, 4, 10, {6, 26}, {4, 9});
    ASSERT_EQ(pasted->write.result, CommitResult::Changed);
    // Record 1, section 1 and record 2, section 3 land on (10, 4) and (12, 5), the last cell written.
    EXPECT_EQ(std::tuple(doc.BattleParams(10, 4), doc.BattleParams(12, 5), pasted->last), std::tuple(2, 5, CellRef{TabBattle, 0, 12, 5}));
    ASSERT_EQ(doc.History->UndoCount(), 7);
    EXPECT_EQ(doc.History->NewestStepSize(JournalSide::Undo), 6);

    StepResult step = UndoStep(doc);
    ASSERT_EQ(step.kind, StepResult::Taken);
    EXPECT_EQ(std::tuple(doc.BattleParams(10, 4), doc.BattleParams(12, 5)), std::tuple(14, 17));
    EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->RedoCount(), doc.History->NewestStepSize(JournalSide::Redo)), std::tuple(1, 6, 6));
    EXPECT_EQ(doc.History->Steps(JournalSide::Redo).back().cells.back().Value, 2); // what the undo replaced, redone first
    // The step's first cell, where the view goes back to.
    EXPECT_EQ(std::tuple(step.oldest.Row, step.oldest.Col, step.oldest.TopRow), std::tuple(4, 10, 4));
    EXPECT_TRUE(doc.History->Modified());

    // A step in a data set that is not shown still finds its byte.
    step = UndoStep(doc);
    EXPECT_EQ(std::tuple(doc.IdBytes(2)(3, 3), step.oldest.DataSet, doc.History->UndoCount(), doc.History->Modified()), std::tuple(233, 2, 0, false));
    EXPECT_EQ(UndoStep(doc).kind, StepResult::Nothing);

    // Redo puts both back in order and marks the document again; it never clears Modified.
    EXPECT_EQ(RedoStep(doc).kind, StepResult::Taken);
    EXPECT_EQ(std::tuple(doc.IdBytes(2)(3, 3), doc.History->Modified()), std::tuple(1, true));
    EXPECT_EQ(RedoStep(doc).kind, StepResult::Taken);
    EXPECT_EQ(std::tuple(doc.BattleParams(12, 5), doc.History->NewestStepSize(JournalSide::Undo)), std::tuple(5, 6));
    EXPECT_EQ(RedoStep(doc).kind, StepResult::Nothing);
}

TEST(Journal, ARedoAfterANewerEditReappliesTheOldValue)
{
    DocumentState doc = SmallDocument();
    Commit(doc, TabIdSection, 1, 1, 1, u"50"_s);
    UndoStep(doc);
    Commit(doc, TabIdSection, 1, 2, 1, u"60"_s); // a newer edit elsewhere keeps the redo journal
    EXPECT_EQ(doc.History->RedoCount(), 1);
    RedoStep(doc);
    EXPECT_EQ(std::tuple(doc.IdBytes(1)(1, 0), doc.IdBytes(1)(2, 0), doc.History->UndoCount()), std::tuple(50, 60, 2));
}

TEST(Clipboard, BlocksAreNormalisedClippedAndJournalled)
{
    DocumentState doc = SmallDocument();
    const TableRef one{TabIdSection, 1};
    CellClipboard clip;
    CopyCells(clip, doc, one, {3, 3, 2, 1}); // dragged from bottom-right to top-left
    const CellClipboard reversed = clip;
    EXPECT_EQ(CopyCells(clip, doc, one, {2, 1, 3, 3}), one.at(3, 3)); // the cursor ends on the block's last cell
    EXPECT_EQ(std::tuple(clip.cols(), clip.rows()), std::tuple(3, 2));
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(clip.at(j, i), reversed.at(j, i));
    EXPECT_EQ(std::tuple(clip.at(1, 1), clip.at(3, 2), doc.History->UndoCount()), std::tuple(111, 132, 0));

    // A 3 × 3 block on the second-to-last row writes two of its rows: 6 cells, one step.
    CopyCells(clip, doc, one, {1, 1, 3, 3});
    Result<ClipboardWrite> pasted = PasteCells(clip, doc, one, 3, 1, {5, 4}, {});
    ASSERT_EQ(pasted->write.result, CommitResult::Changed);
    EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->NewestStepSize(JournalSide::Undo)), std::tuple(6, 6));
    EXPECT_EQ(std::tuple(doc.IdBytes(1)(3, 3), pasted->last), std::tuple(131, one.at(3, 4)));
    // On the last cell, past the last row and column: only that cell.
    pasted = PasteCells(clip, doc, one, 4, 3, {5, 4}, {});
    ASSERT_EQ(pasted->write.result, CommitResult::Changed);
    EXPECT_EQ(std::tuple(doc.History->NewestStepSize(JournalSide::Undo), pasted->last), std::tuple(1, one.at(3, 4)));

    // A cut journals every cell, zero or not, and one undo brings all back.
    DocumentState cut = SmallDocument();
    test::PutByte(cut, {TabIdSection, 2, 1, 1}, 0);
    const Result<ClipboardWrite> taken = CutCells(clip, cut, {TabIdSection, 2}, {1, 1, 2, 2}, {});
    ASSERT_EQ(taken->write.result, CommitResult::Changed);
    EXPECT_EQ(taken->last, (CellRef{TabIdSection, 2, 2, 2}));
    EXPECT_EQ(std::tuple(cut.History->UndoCount(), cut.History->NewestStepSize(JournalSide::Undo), cut.History->Modified()), std::tuple(4, 4, true));
    EXPECT_EQ(std::tuple(cut.IdBytes(2)(2, 1), clip.at(2, 2)), std::tuple(0, 221));
    UndoStep(cut);
    EXPECT_EQ(std::tuple(cut.IdBytes(2)(2, 1), cut.History->UndoCount()), std::tuple(221, 0));

    DocumentState empty = SmallDocument();
    EXPECT_EQ(PasteCells(CellClipboard(), empty, {TabBattle, 0}, 1, 1, {6, 26}, {})->write.result, CommitResult::Unchanged);
    EXPECT_EQ(empty.History->UndoCount(), 0);
}

TEST(Clipboard, AReadOnlyCellRefusesTheWholeChange)
{
    DocumentState doc = SmallDocument();
    doc.DataSets(1).SectionSettings(SettingStep, 2) = -0x1000; // ID 3 of section 2 lies at -0x1000
    doc.DataSets(1).SectionNames(2) = u"HP"_s;
    const std::vector<std::uint8_t> bytes = doc.IdBytes(1).Elements();

    QString reason = Refusal(CommitCellText(doc, {TabIdSection, 1, 2, 4}, u"1"_s, {}));
    EXPECT_TRUE(reason.contains(u"ID 3"_s) && reason.contains(u"「HP」"_s) && reason.contains(u"先頭より前"_s))
        << reason.toStdString();

    const TableRef one{TabIdSection, 1};
    CellClipboard clip;
    CopyCells(clip, doc, one, {1, 1, 1, 1});
    reason = Refusal(CutCells(clip, doc, one, {4, 3, 3, 1}, {}));
    EXPECT_TRUE(reason.contains(u"ID 3"_s)) << reason.toStdString();
    EXPECT_EQ(clip.cols(), 1); // the clipboard too is as it was

    // The clipped block decides: on a grid of 4 rows a 2 × 2 paste at row 3 keeps away from row 4.
    CopyCells(clip, doc, one, {1, 1, 2, 2});
    reason = Refusal(PasteCells(clip, doc, one, 3, 1, {5, 4}, {}));
    EXPECT_TRUE(reason.contains(u"ID 3"_s)) << reason.toStdString();
    EXPECT_EQ(doc.IdBytes(1).Elements(), bytes);
    EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->Modified()), std::tuple(0, false));
    EXPECT_EQ(PasteCells(clip, doc, one, 3, 1, {4, 4}, {})->write.result, CommitResult::Changed);
    EXPECT_EQ(doc.History->UndoCount(), 2);

    // Every battle cell can be written.
    EXPECT_EQ(CutCells(clip, doc, {TabBattle, 0}, {1, 1, 5, 25}, {})->write.result, CommitResult::Changed);
}

TEST(CellWrites, SkippedUnchangedCellsAcrossTablesMakeOneStepThatUndoesWhole)
{
    DocumentState doc = SmallDocument();
    // Data set 2 ID 1 section 3 holds 231 already: no record, but it still counts for the read-only check.
    const std::vector<CellWrite> writes{{{TabIdSection, 2, 3, 2}, 231}, {{TabBattle, 0, 4, 5}, 1}, {{TabIndividual, 0, 1, 2}, 9},
                                        {{TabIdSection, 1, 1, 9}, 5}}; // the last lies outside its table
    const Result<WriteResult> written = WriteCells(doc, writes, std::nullopt, UnchangedCells::Skipped);
    ASSERT_EQ(written->result, CommitResult::Changed);
    EXPECT_EQ(std::tuple(written->records, doc.History->NewestStepSize(JournalSide::Undo)), std::tuple(2, 2));
    // Each record names its own cell and, without a view given, brings it back at the top left.
    const JournalRecord& battle = doc.History->Steps(JournalSide::Undo).back().cells.at(0);
    EXPECT_EQ(std::tuple(battle.Tab, battle.DataSet, battle.Col, battle.Row, battle.TopRow, battle.LeftCol, battle.Value),
              std::tuple(int{TabBattle}, 0, 4, 5, 5, 4, std::uint8_t{9}));
    EXPECT_EQ(UndoStep(doc).oldest.Tab, TabBattle);
    EXPECT_EQ(std::tuple(doc.History->Modified(), doc.IndividualBytes()(2)), std::tuple(false, 8));

    // Writes that change nothing make no step; a read-only cell refuses even a write that keeps its byte.
    EXPECT_EQ(WriteCells(doc, std::span(writes).first(1), ScrollPosition{}, UnchangedCells::Skipped)->result, CommitResult::Unchanged);
    EXPECT_EQ(doc.History->UndoCount(), 0);
    doc.DataSets(2).SectionAddressUnusable(3) = 1;
    const QString refused = Refusal(WriteCells(doc, writes, ScrollPosition{}, UnchangedCells::Skipped));
    EXPECT_TRUE(refused.contains(u"オフセットを読めない"_s)) << refused.toStdString();
    EXPECT_EQ(std::tuple(doc.BattleParams(4, 5), doc.History->UndoCount()), std::tuple(9, 0));
}

// Whole oldest steps go past the limit; no edit is refused for room.
TEST(EditHistory, KeepsTheNewestStepsAndAsksBeforeOneTooLargeToUndo)
{
    DocumentState doc = SmallDocument();
    EditHistory limited(5);
    limited.TakeBaseline(doc);
    *doc.History = limited;
    for (int c = 1; c <= 3; ++c)
        Commit(doc, TabBattle, 0, c, 1, u"0"_s);
    CellClipboard clip;
    ASSERT_EQ(CutCells(clip, doc, {TabBattle, 0}, {2, 1, 2, 3}, {})->write.result, CommitResult::Changed); // 3 more: the oldest step goes
    EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->Steps(JournalSide::Undo).size()), std::tuple(5, 3u));
    while (UndoStep(doc).kind == StepResult::Taken) {
    }
    EXPECT_EQ(std::tuple(doc.BattleParams(1, 1), doc.BattleParams(2, 1), doc.BattleParams(3, 1)),
              std::tuple(std::uint8_t{0}, std::uint8_t{3}, std::uint8_t{4})); // the first commit stays
    EXPECT_EQ(doc.History->RedoCount(), 5);

    // Five cells are exactly what it keeps: one step, and nothing older.
    std::vector<CellWrite> five;
    for (int c = 4; c <= 8; ++c)
        five.push_back({{TabBattle, 0, c, 2}, 0});
    ASSERT_EQ(WriteCells(doc, five, {}, UnchangedCells::Skipped)->result, CommitResult::Changed);
    EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->Steps(JournalSide::Undo).size()), std::tuple(5, 1u));
    ASSERT_EQ(UndoStep(doc).kind, StepResult::Taken);
    EXPECT_EQ(doc.BattleParams(4, 2), 6);

    // Six cells are more than the history keeps: nothing changes until the caller says to take them.
    std::vector<CellWrite> writes;
    for (int c = 4; c <= 9; ++c)
        writes.push_back({{TabBattle, 0, c, 3}, 0});
    const Result<WriteResult> asked = WriteCells(doc, writes, {}, UnchangedCells::Skipped);
    EXPECT_EQ(std::tuple(asked->result, asked->records), std::tuple(CommitResult::TooLargeToUndo, 6));
    const QString question = TooLargeToUndoQuestion(asked->records, doc.History->Limit());
    EXPECT_TRUE(question.contains(u"6 個"_s) && question.contains(u"5 個まで"_s)) << question.toStdString();
    EXPECT_EQ(doc.BattleParams(4, 3), 7);
    const Result<WriteResult> taken = WriteCells(doc, writes, {}, UnchangedCells::Skipped, LargeStep::Take);
    EXPECT_EQ(std::tuple(taken->result, doc.BattleParams(9, 3)), std::tuple(CommitResult::Changed, 0));
    // It can't be undone, nor anything before it.
    EXPECT_EQ(UndoStep(doc).kind, StepResult::Nothing);
    EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->RedoCount()), std::tuple(0, 5));
}

TEST(EditHistory, ChangedCellsComeInTableOrderAndAreCountedAsTheyChange)
{
    DocumentState doc = SmallDocument();
    EXPECT_TRUE(ChangedCells(doc).empty());
    // Made out of order: battle, data set 2, individual, data set 1 (a cut of two cells).
    Commit(doc, TabBattle, 0, 4, 2, u"0"_s);
    Commit(doc, TabIdSection, 2, 3, 1, u"0"_s);
    Commit(doc, TabIndividual, 0, 1, 2, u"0"_s);
    CellClipboard clip;
    ASSERT_EQ(CutCells(clip, doc, {TabIdSection, 1}, {2, 2, 2, 1}, {})->write.result, CommitResult::Changed);
    const std::vector<CellRef> order{{TabIdSection, 1, 2, 2}, {TabIdSection, 1, 1, 2}, {TabIdSection, 2, 3, 1},
                                     {TabIndividual, 0, 1, 2}, {TabBattle, 0, 4, 2}};
    EXPECT_EQ(ChangedCells(doc), (std::vector<CellRef>{order[1], order[0], order[2], order[3], order[4]}));
    EXPECT_EQ(ChangedCells(doc, 2), (std::vector<CellRef>{order[1], order[0]}));
    EXPECT_EQ(std::tuple(doc.History->ChangedCellCount(), doc.History->ChangedCellCount(TabIdSection, 1), doc.History->BaselineValue(doc, {TabIdSection, 1, 1, 2})),
              std::tuple(5, 2, 111));
    // A paste of the cut bytes puts them back: those marks go, the others stay.
    ASSERT_EQ(PasteCells(clip, doc, {TabIdSection, 1}, 2, 1, {5, 4}, {})->write.result, CommitResult::Changed);
    EXPECT_EQ(ChangedCells(doc), (std::vector<CellRef>{order[2], order[3], order[4]}));
    // Undo everything: nothing differs, though the journals are full of records.
    while (UndoStep(doc).kind == StepResult::Taken) {
    }
    EXPECT_EQ(std::tuple(doc.History->ChangedCellCount(), doc.History->Modified()), std::tuple(0, false));
    EXPECT_GT(doc.History->RedoCount(), 0);
}

// The one writer of cells applies a list whole or not at all, and journals nothing itself.
TEST(CellChange, AppliesAListWholeOrNotAtAll)
{
    DocumentState doc = SmallDocument();
    const CellRef id{TabIdSection, 1, 1, 1};
    const CellRef battle{TabBattle, 0, 2, 1};
    const CellContents idOld = *ContentsOf(doc, id);
    const CellContents battleOld = *ContentsOf(doc, battle);
    const CellContents seven{7};
    for (const std::vector<CellChange>& refused :
         {std::vector<CellChange>{{id, idOld, seven}, {battle, seven, seven}},   // the second's old is stale
          std::vector<CellChange>{{id, idOld, seven}, {id, idOld, CellContents{8}}}, // one cell twice
          std::vector<CellChange>{{id, idOld, seven}, {{TabBattle, 0, 26, 1}, {}, seven}}}) { // outside the table
        EXPECT_FALSE(ApplyCellChanges(doc, refused));
        EXPECT_EQ(ContentsOf(doc, id), idOld);
        EXPECT_FALSE(doc.History->Modified());
    }
    ASSERT_TRUE(ApplyCellChanges(doc, std::vector<CellChange>{{id, idOld, seven}, {battle, battleOld, seven}}));
    EXPECT_EQ(std::tuple(*ContentsOf(doc, id), *ContentsOf(doc, battle)), std::tuple(seven, seven));
    EXPECT_EQ(std::tuple(doc.History->ChangedCellCount(), doc.History->UndoCount()), std::tuple(2, 0));
}

} // namespace
} // namespace zor
