// Cells wider than a byte, read from an image, written, journalled and saved: byte order,
// the image's edges, overlapping cells and battle fields over several bytes.

#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/CellWrites.h"
#include "core/edit/EditHistory.h"
#include "core/edit/Journal.h"
#include "core/output/Save.h"
#include "core/view/Grid.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/RomBuilder.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

class TypedCells : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 価格 16-bit, 符号 32-bit signed, 三 24-bit; 末尾 16-bit running past the image's end,
        // 前 16-bit stepping back over its start, 上限 16-bit across the 64 MiB limit, 下位 the
        // byte that 価格 of ID 0 shares. Battle field 3 is 16-bit, so byte 4 lies inside it.
        const QString end = QString::number(rom.image().size() - 3, 16);
        home.writeMode(u"mode"_s, uR"(
            品物.idn   薬|剣|盾
            品物.sna   1000|価格|1100|符号|1200|三|)"_s + end + uR"(|末尾|3|前|3FFFFFF|上限|1001|下位|
            品物.ini   [Step]|Section1=2|Section2=4|Section3=3|Section4=2|Section5=-2|Section6=2|Section7=2|[Size]|Section1=2|Section2=4|Section3=3|Section4=2|Section5=2|Section6=2|[Notation]|Section2=-10|
            敵パラメータ.ini  [Size]|Section3=2|
        )"_s);
        for (int i = 0; i < 0x10; ++i) {
            rom.image()[0x1000 + i] = static_cast<char>(0x10 + i);
            rom.image()[0x1100 + i] = static_cast<char>(0xF0 + i);
            rom.image()[0x1200 + i] = static_cast<char>(0x40 + i);
        }
        rom.image()[rom.image().size() - 1] = 0x77;
        test::Record record(kBattleRecordSize, 0x11);
        record[2] = 0x34;
        record[3] = 0x12;
        rom.encode(test::StreamOf(std::vector<test::Block>(kBlockCount, test::Block{record})));
        LoadDocument(doc, home.file(u"game.rom"_s), rom.image(), home.path());
    }

    std::uint32_t value(int section, int id) { return CellValueOf(doc, {TabIdSection, 1, section, id + 1}).value_or(0xDEAD); }

    test::ProgramFolder home;
    test::RomBuilder rom;
    DocumentState doc;
};

TEST_F(TypedCells, ReadLowestByteFirstAndMissingBytesAsZero)
{
    EXPECT_EQ(std::tuple(value(1, 0), value(1, 2), value(2, 1), value(3, 1)),
              std::tuple(0x1110u, 0x1514u, 0xF7F6F5F4u, 0x454443u));
    EXPECT_EQ(std::tuple(FormatCellValue(doc, {TabIdSection, 1, 1, 1}, value(1, 0)), FormatCellValue(doc, {TabIdSection, 1, 2, 1}, value(2, 0))),
              std::tuple(u"0x1110"_s, QString::number(std::int32_t(0xF3F2F1F0))));
    // 末尾: ID 0 is the image's last byte but two and ... ; ID 1 runs past the end by one byte.
    EXPECT_EQ(std::tuple(value(4, 1), value(4, 2)), std::tuple(0x0077u, 0u));
    QStringList outside;
    for (const Problem& p : doc.Problems.items())
        if (p.message.contains(u"末尾"_s))
            outside << p.message;
    ASSERT_EQ(outside.size(), 1);
    EXPECT_TRUE(outside[0].contains(u"3 個のバイトがイメージの外"_s)) << outside[0].toStdString();
    // Battle field 3 is 0x1234; byte 4 is its high byte, a byte of its own.
    EXPECT_EQ(std::tuple(CellValueOf(doc, {TabBattle, 0, 3, 1}), CellValueOf(doc, {TabBattle, 0, 4, 1}), CellText(doc, TabBattle, 0, 1, 4)),
              std::tuple(std::optional(0x1234u), std::optional(0x12u), u"0x12"_s));
}

TEST_F(TypedCells, ACellIsReadOnlyWhenAnyOfItsBytesIs)
{
    const auto reason = [&](int tab, int col, int row) { return ReadOnlyReason(doc, tab, tab == TabIdSection ? 1 : 0, col, row).value_or(QString()); };
    EXPECT_EQ(std::tuple(reason(TabIdSection, 4, 2), reason(TabIdSection, 5, 2)), std::tuple(QString(), QString()));
    EXPECT_TRUE(reason(TabIdSection, 5, 3).contains(u"先頭より前"_s));   // bytes -1 and 0
    EXPECT_TRUE(reason(TabIdSection, 6, 1).contains(u"0x4000000"_s));    // 0x3FFFFFF and 0x4000000
    EXPECT_TRUE(reason(TabBattle, 4, 1).contains(u"バイト 3 から始まる 2 バイト"_s));
    EXPECT_EQ(reason(TabBattle, 3, 1), QString());
}

TEST_F(TypedCells, ACommitWritesEveryByteAsOneRecordAndTheSaveWritesThemAll)
{
    const CellRef price{TabIdSection, 1, 1, 2};
    ASSERT_EQ(CommitCellText(doc, price, u"0xABCD"_s, {})->result, CommitResult::Changed);
    ASSERT_EQ(CommitCellText(doc, {TabIdSection, 1, 2, 1}, u"-2"_s, {})->result, CommitResult::Changed);
    EXPECT_EQ(std::tuple(value(1, 1), value(2, 0), doc.History->UndoCount(), doc.History->ChangedCellCount()),
              std::tuple(0xABCDu, 0xFFFFFFFEu, 2, 2));
    EXPECT_EQ(CommitCellText(doc, price, u"65536"_s, {}).failure().kind, Failure::Kind::BadText);
    const CellWrite tooWide{{TabIdSection, 1, 7, 1}, 0x100};
    EXPECT_TRUE(WriteCells(doc, {&tooWide, 1}, {}, UnchangedCells::Skipped).failure().detail.contains(u"下位"_s));

    const QByteArray saved = *BuildSavedImage(doc, doc.Image);
    EXPECT_EQ(saved.mid(0x1002, 2), QByteArray("\xCD\xAB", 2));
    EXPECT_EQ(saved.mid(0x1100, 4), QByteArray("\xFE\xFF\xFF\xFF", 4));
    UndoStep(doc);
    UndoStep(doc);
    EXPECT_EQ(std::tuple(value(1, 1), value(2, 0), doc.History->Modified()), std::tuple(0x1312u, 0xF3F2F1F0u, false));
}

TEST_F(TypedCells, OverlappingChangedCellsMustAgreeOnEveryByte)
{
    // 下位 of ID 0 is the high byte of 価格 of ID 0.
    ASSERT_TRUE(CommitCellText(doc, {TabIdSection, 1, 1, 1}, u"0x9911"_s, {}));
    ASSERT_TRUE(CommitCellText(doc, {TabIdSection, 1, 7, 1}, u"0x99"_s, {}));
    const Result<QByteArray> agreed = BuildSavedImage(doc, doc.Image);
    EXPECT_TRUE(agreed) << (agreed ? std::string() : agreed.failure().message().toStdString());
    ASSERT_TRUE(CommitCellText(doc, {TabIdSection, 1, 7, 1}, u"0x98"_s, {}));
    const Failure refused = BuildSavedImage(doc, doc.Image).failure();
    EXPECT_TRUE(refused.detail.contains(u"「価格」"_s) && refused.detail.contains(u"「下位」"_s) && refused.detail.contains(u"0x1001"_s))
        << refused.detail.toStdString();
}

TEST_F(TypedCells, ABattleFieldChangesAsOneCell)
{
    ASSERT_TRUE(CommitCellText(doc, {TabBattle, 0, 3, 2}, u"0x5678"_s, {}));
    EXPECT_EQ(std::tuple(doc.BattleParams(3, 2), doc.BattleParams(4, 2), doc.History->ChangedCellCount()), std::tuple(0x78, 0x56, 1));
    EXPECT_EQ(std::tuple(CellChanged(doc, TabBattle, 0, 3, 2), CellChanged(doc, TabBattle, 0, 4, 2)), std::tuple(true, false));
    EXPECT_EQ(CommitCellText(doc, {TabBattle, 0, 4, 2}, u"1"_s, {}).failure().kind, Failure::Kind::Refused);
}

} // namespace
} // namespace zor
