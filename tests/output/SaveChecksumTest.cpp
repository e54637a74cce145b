#include "core/document/ReadImage.h"
#include "core/edit/Journal.h"
#include "core/output/Save.h"
#include "core/output/HeaderChecksum.h"
#include "tests/patch/PatchPairs.h"
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
    void load(const QByteArray& image, const QStringList& options)
    {
        home.writeBytes(u"game.rom"_s, image);
        home.writeMode(u"mode"_s, u"表.idn a|b\n 表.sna 1000|S|"_s, options);
        LoadDocument(doc, home.file(u"game.rom"_s), image, home.path());
    }

    void editFirstCell(const QString& text)
    {
        (void)CommitCellText(doc, {TabIdSection, 1, 1, 1}, text, {});
    }

    test::ProgramFolder home;
    const QByteArray original = test::NoisyImage(0x10000, 11);
    DocumentState doc;
};

TEST_F(SaveWithChecksum, FixChecksumWritesTheHeaderChecksumWithTheChanges)
{
    ASSERT_FALSE(ComputeHeaderChecksum(original)->matches());
    load(original, {u"FixChecksum=1"_s});
    // Unmodified, Save As is an exact copy.
    ASSERT_TRUE(test::Succeeded(SaveDocumentAs(doc, home.file(u"same.rom"_s))));
    EXPECT_TRUE(home.readBytes(u"same.rom"_s) == original);

    editFirstCell(u"0x5A"_s);
    ASSERT_TRUE(test::Succeeded(SaveDocument(doc)));
    const QByteArray saved = home.readBytes(u"same.rom"_s);
    EXPECT_TRUE(ComputeHeaderChecksum(saved)->matches());
    EXPECT_EQ(saved[0x1000], 0x5A);
    for (const qsizetype at : test::Differences(original, saved))
        EXPECT_TRUE(at == 0x1000 || (at >= kComplementOffset && at < kChecksumOffset + 2)) << at;
    EXPECT_TRUE(home.readBytes(u"same.rom.bak"_s) == original);

    // Save As with changes fixes it as well.
    editFirstCell(u"0x33"_s);
    ASSERT_TRUE(test::Succeeded(SaveDocumentAs(doc, home.file(u"copy.rom"_s))));
    const QByteArray copy = home.readBytes(u"copy.rom"_s);
    EXPECT_EQ(copy[0x1000], 0x33);
    EXPECT_TRUE(ComputeHeaderChecksum(copy)->matches());
}

// Without the key, or with it off, or in an image without a header, only the changes are written.
TEST_F(SaveWithChecksum, OtherwiseOnlyTheChangesAreWritten)
{
    for (const auto& [image, options] : {std::pair{original, QStringList()}, {original, QStringList{u"FixChecksum=0"_s}},
                                         {original.left(0x2000), QStringList{u"FixChecksum=1"_s}}}) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        load(image, options);
        editFirstCell(u"0x5A"_s);
        ASSERT_TRUE(test::Succeeded(SaveDocument(doc)));
        EXPECT_EQ(test::Differences(image, home.readBytes(u"game.rom"_s)), std::vector<qsizetype>{0x1000});
    }
}

} // namespace
} // namespace zor
