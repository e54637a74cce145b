#include "core/document/ReadImage.h"
#include "core/edit/Journal.h"
#include "core/output/Save.h"
#include "core/patch/HeaderChecksum.h"
#include "tests/patch/PatchBytes.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/RomBuilder.h"
#include "tests/support/Succeeded.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// One data set with one section at 0x1000 in a 64 KiB image whose stored checksum is wrong.
class SaveWithChecksum : public ::testing::Test {
protected:
    void SetUp() override
    {
        original = test::NoisyImage(0x10000, 11);
        home.writeBytes(u"game.rom"_s, original);
        home.writeTable(u"mode"_s, u"表"_s, 2, 1, u"1000"_s);
        home.writeTabTables(u"mode"_s);
    }

    void load(const QStringList& extraOptions)
    {
        home.writeLines(u"ZOR.ini"_s, QStringList{u"[Option]"_s, u"Mode=mode"_s} + extraOptions);
        ProblemLog log(home.path());
        LoadDocument(doc, home.file(u"game.rom"_s), home.readBytes(u"game.rom"_s), home.path(), codec, log);
    }

    void editFirstCell()
    {
        doc.CurrentDataSet = 1;
        doc.CurrentCol = 1;
        doc.CurrentRow = 1;
        CommitCellText(doc, TabIdSection, u"0x5A"_s, {});
    }

    test::ProgramFolder home;
    QByteArray original;
    DocumentState doc;
    BattleCodec codec;
};

TEST_F(SaveWithChecksum, FixChecksumWritesTheHeaderChecksumWithTheChanges)
{
    ASSERT_FALSE(ComputeHeaderChecksum(original)->matches());
    load({u"FixChecksum=1"_s});
    editFirstCell();
    ASSERT_TRUE(test::Succeeded(SaveDocument(doc, codec)));
    const QByteArray saved = home.readBytes(u"game.rom"_s);
    EXPECT_TRUE(ComputeHeaderChecksum(saved)->matches());
    EXPECT_EQ(saved[0x1000], 0x5A);
    for (const qsizetype at : test::Differences(original, saved))
        EXPECT_TRUE(at == 0x1000 || (at >= kComplementOffset && at < kChecksumOffset + 2)) << at;
    EXPECT_TRUE(home.readBytes(u"game.rom.bak"_s) == original);

    // Save As with changes fixes it as well.
    editFirstCell();
    CommitCellText(doc, TabIdSection, u"0x33"_s, {});
    ASSERT_TRUE(test::Succeeded(SaveDocumentAs(doc, codec, home.file(u"copy.rom"_s))));
    const QByteArray copy = home.readBytes(u"copy.rom"_s);
    EXPECT_EQ(copy[0x1000], 0x33);
    EXPECT_TRUE(ComputeHeaderChecksum(copy)->matches());
}

TEST_F(SaveWithChecksum, WithoutTheKeyOnlyTheChangesAreWritten)
{
    for (const QString& option : {QString(), u"FixChecksum=0"_s}) {
        home.writeBytes(u"game.rom"_s, original);
        load(option.isEmpty() ? QStringList() : QStringList{option});
        editFirstCell();
        ASSERT_TRUE(test::Succeeded(SaveDocument(doc, codec)));
        EXPECT_EQ(test::Differences(original, home.readBytes(u"game.rom"_s)), std::vector<qsizetype>{0x1000});
    }
}

TEST_F(SaveWithChecksum, SaveAsOfAnUnmodifiedImageIsAnExactCopy)
{
    load({u"FixChecksum=1"_s});
    ASSERT_FALSE(doc.History->Modified());
    ASSERT_TRUE(test::Succeeded(SaveDocumentAs(doc, codec, home.file(u"copy.rom"_s))));
    EXPECT_TRUE(home.readBytes(u"copy.rom"_s) == original);
}

TEST_F(SaveWithChecksum, AnImageWithoutAHeaderIsSavedWithoutOne)
{
    const QByteArray small = original.left(0x2000);
    home.writeBytes(u"game.rom"_s, small);
    load({u"FixChecksum=1"_s});
    editFirstCell();
    ASSERT_TRUE(test::Succeeded(SaveDocument(doc, codec)));
    EXPECT_EQ(test::Differences(small, home.readBytes(u"game.rom"_s)), std::vector<qsizetype>{0x1000});
}

} // namespace
} // namespace zor
