#include "core/document/BattleRecords.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/EditHistory.h"
#include "core/edit/Journal.h"
#include "core/output/HeaderChecksum.h"
#include "core/output/Rows.h"
#include "core/output/Save.h"
#include "core/view/TabView.h"

#include "tests/patch/PatchPairs.h"
#include "tests/support/HandTables.h"
#include "tests/support/ModeFolder.h"
#include "tests/support/PutByte.h"
#include "tests/support/RomBuilder.h"
#include "tests/support/Succeeded.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <random>
#include <tuple>
#include <vector>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Block;
using test::NoisyImage;
using test::ProgramFolder;
using test::Record;
using test::RomBuilder;

Record NumberedRecord(int n)
{
    Record record(kBattleRecordSize);
    for (int j = 0; j < kBattleRecordSize; ++j)
        record[j] = static_cast<std::uint8_t>(1 + (n * 7 + j) % 200);
    return record;
}

// One data set (sections of step 3 and 1), two entries and the battle captions; 314 blocks hold 316 records.
class Save : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.writeMode(u"mode"_s, u"表.idn a|b|c\n 表.sna 1000|x|2000|y|\n 表.ini [Step]|Section1=3|\n 個別データ.sna 3000|p|3004|q|"_s);
        blocks.assign(kBlockCount, Block{});
        for (int b = 0; b < kBlockCount; ++b)
            blocks[b].push_back(NumberedRecord(b));
        blocks[0].push_back(NumberedRecord(400));
        blocks[7].push_back(NumberedRecord(401));
        for (int i = 0; i < 0x40; ++i)
            rom.image()[0x1000 + i] = static_cast<char>(0x40 + i);
        rom.encode(test::StreamOf(blocks));
        original = rom.image();
        home.writeBytes(u"game.rom"_s, original);
        load();
    }

    void load()
    {
        LoadDocument(doc, home.file(u"game.rom"_s), home.readBytes(u"game.rom"_s), home.path());
        ASSERT_TRUE(doc.Problems.empty()) << doc.Problems.text().toStdString();
    }

    void edit(int tab, int set, int col, int row, const QString& text) { (void)CommitCellText(doc, {tab, set, col, row}, text, {}); }

    QByteArray onDisk() const { return home.readBytes(u"game.rom"_s); }
    bool bakExists() const { return QFile::exists(home.file(u"game.rom.bak"_s)); }

    ProgramFolder home;
    RomBuilder rom;
    std::vector<Block> blocks;
    QByteArray original;
    DocumentState doc;
    QString error; // the message of the last save or image built that failed

    bool Saved(const Result<void>& saved)
    {
        error = saved ? QString() : saved.failure().message();
        return saved.ok();
    }
    std::optional<QByteArray> Built(const Result<QByteArray>& image)
    {
        error = image ? QString() : image.failure().message();
        return image ? std::optional(*image) : std::nullopt;
    }
    void expectRefused(const char* what, const QString& inMessage)
    {
        error.clear();
        EXPECT_FALSE(Saved(SaveDocument(doc))) << what;
        EXPECT_TRUE(error.contains(inMessage)) << what << ": " << error.toStdString();
        EXPECT_TRUE(doc.History->Modified() && !bakExists()) << what;
    }
};

// An entry on a table cell's offset: both show the byte saved, and the next save doesn't write the old one back.
TEST_F(Save, CellsSharingAnOffsetShowWhatTheSaveWrote)
{
    test::WriteCompactFile(home.path(), u"mode/個別データ.sna"_s, u"1000|p|3004|q|"_s);
    load();
    edit(TabIdSection, 1, 1, 1, u"0x77"_s);
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_EQ(std::tuple(doc.IndividualBytes()(1), doc.History->Modified()), std::tuple(0x77, false));
    edit(TabIdSection, 1, 2, 1, u"0x01"_s);
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_EQ(onDisk()[0x1000], 0x77);
}

// A table ending at the image's last byte is written back in place, the size kept; an ID past it grows the image.
TEST_F(Save, ACellAtTheImagesLastByteIsReadWrittenAndReadBack)
{
    QByteArray image(0x2000, '\x11');
    image[0x1FFF] = 0x5A;
    home.writeBytes(u"game.rom"_s, image);
    home.writeMode(u"mode"_s, u"表.sna 1FFE|x|\n 表.ini\n 個別データ.sna 1FFF|p|"_s);
    const auto reload = [&] { LoadDocument(doc, home.file(u"game.rom"_s), onDisk(), home.path()); };
    reload();
    EXPECT_EQ(std::tuple(doc.IdBytes(1)(1, 1), doc.IndividualBytes()(1)), std::tuple(0x5A, 0x5A));
    edit(TabIndividual, 0, 1, 1, u"0x77"_s);
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_EQ(std::tuple(test::Differences(image, onDisk()), onDisk().size()), std::tuple(std::vector<qsizetype>{0x1FFF}, image.size()));
    reload();
    EXPECT_EQ(std::tuple(doc.IdBytes(1)(1, 1), doc.IndividualBytes()(1)), std::tuple(0x77, 0x77));
    edit(TabIdSection, 1, 1, 3, u"0x66"_s);
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_EQ(onDisk(), image.left(0x1FFF) + "\x77\x66");
}

TEST_F(Save, OnlyJournalledCellsReachTheImage)
{
    EXPECT_TRUE(Saved(SaveDocument(doc))); // unmodified: nothing at all
    EXPECT_FALSE(bakExists());

    edit(TabIdSection, 1, 1, 3, u"1"_s);    // 0x1006: offset 0x1000 + 2 × 3
    edit(TabIdSection, 1, 1, 3, u"2"_s);    // the same cell again: written with its current byte
    edit(TabIdSection, 1, 2, 2, u"0x77"_s); // 0x2001
    edit(TabIndividual, 0, 1, 2, u"9"_s);   // 0x3004
    edit(TabIdSection, 1, 2, 1, u"5"_s);
    ASSERT_EQ(UndoStep(doc).kind, StepResult::Taken); // an undone edit is not written
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    const QByteArray saved = onDisk();
    EXPECT_EQ(test::Differences(original, saved), (std::vector<qsizetype>{0x1006, 0x2001, 0x3004}));
    EXPECT_EQ(std::tuple(saved[0x1006], saved.size(), home.readBytes(u"game.rom.bak"_s) == original), std::tuple(2, original.size(), true));
    EXPECT_EQ(std::tuple(doc.History->Modified(), doc.History->UndoCount()), std::tuple(false, 4));
}

TEST_F(Save, ABattleEditReencodesEveryBlockExactly)
{
    edit(TabBattle, 0, 5, 2, u"0x99"_s); // record 2 is the second record of block 0
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    blocks[0][1][4] = 0x99;
    RomBuilder expected;
    expected.image() = original;
    expected.encode(test::StreamOf(blocks));
    EXPECT_TRUE(onDisk() == expected.image() && !doc.History->RecordCountChanged());
    load();
    EXPECT_EQ(std::tuple(doc.BattleParams(5, 2), doc.GroupStarts(1)), std::tuple(0x99, 3));
}

// A save writes nothing, or an image the next load reads every change back from; entries lie on the encoder's places too.
TEST_F(Save, ASaveReadsBackOrWritesNothing)
{
    const std::vector<std::int32_t> places{kPointerTableOffset, kPointerTableOffset + 2 * kBlockCount - 1, kRegionOffset + 3,
                                           kBlockBankOffset, kBankByteOffsets[1], kTablePointerLow, 0x7FD7, 0x7FDC, 0x7FDF,
                                           RomBuilder::kDictionaryBase + 2 + 100, 0x3000, 0x200000};
    std::mt19937 random(19);
    int saved = 0;
    int refused = 0;
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(round);
        QString sna;
        for (int e = 0; e < 3; ++e)
            sna += u"%1|e%2|"_s.arg(places[random() % places.size()] + static_cast<int>(random() % 2), 0, 16).arg(e);
        test::WriteCompactFile(home.path(), u"mode/個別データ.sna"_s, sna);
        test::WriteZorIni(home.path(), u"mode"_s, {u"FixChecksum=%1"_s.arg(random() % 2)});
        home.writeBytes(u"game.rom"_s, original);
        QFile::remove(home.file(u"game.rom.bak"_s));
        load();
        for (int e = 1; e <= 3; ++e)
            edit(TabIndividual, 0, 1, e, QString::number(random() % 256));
        if (random() % 2)
            edit(TabBattle, 0, 2 + static_cast<int>(random() % 24), 1 + static_cast<int>(random() % doc.BattleCount()),
                 QString::number(random() % 256));
        if (random() % 3 == 0) {
            ASSERT_TRUE(InsertBattleRow(doc, {}, TabBattle, 1 + static_cast<int>(random() % doc.BattleCount())).ok());
        }
        const DocumentState meant = doc;
        if (Saved(SaveDocument(doc))) {
            ++saved;
            load();
            // A cell the user didn't change may lie where the encoder or the checksum writes.
            for (int e = 1; e <= 3; ++e)
                if (CellChanged(meant, TabIndividual, 0, 1, e)) {
                    EXPECT_EQ(doc.IndividualBytes()(e), meant.IndividualBytes()(e)) << sna.toStdString();
                }
            EXPECT_EQ(doc.BattleParams().Elements(), meant.BattleParams().Elements());
            EXPECT_EQ(doc.GroupStarts().Elements(), meant.GroupStarts().Elements());
        } else {
            ++refused;
            EXPECT_TRUE(onDisk() == original) << error.toStdString();
            EXPECT_FALSE(bakExists());
        }
    }
    // Both outcomes were met, or the rounds tested less than they seem to.
    EXPECT_TRUE(saved > 0 && refused > 0) << saved << " saved, " << refused << " refused";
}

TEST_F(Save, SmallImagesGrowAsTheirWritesReach)
{
    edit(TabBattle, 0, 2, 1, u"3"_s);
    for (const qsizetype size : {kSmallImageSize, kSmallImageSize + 1, qsizetype{0x3FFFFF}}) {
        const std::optional<QByteArray> image = Built(BuildSavedImage(doc, original.left(size)));
        ASSERT_TRUE(image) << error.toStdString();
        // Grown to the encoder's 4 MiB, with the header's size byte to match; a larger image keeps both.
        const bool grown = size == kSmallImageSize;
        EXPECT_EQ(std::tuple(image->size(), (*image)[kHeaderSizeByte]),
                  std::tuple(grown ? kEncodedImageSize : 0x3FFFFF, grown ? '\x0D' : original[kHeaderSizeByte])) << size;
        NdArray<std::uint8_t, 1> stream;
        BattleCodec decoder;
        test::DecodeStream(decoder, stream, *image);
        EXPECT_EQ(stream.Elements(), BuildBattleStream(doc));
    }
}

TEST_F(Save, WhatCantBeSavedIsRefusedBeforeAnyWrite)
{
    // A record that begins with 0, at a block's start and in its middle.
    for (const int row : {1, 2}) {
        edit(TabBattle, 0, 1, row, u"0"_s);
        expectRefused("zero", u"%1 行目"_s.arg(row));
        UndoStep(doc);
    }
    EXPECT_TRUE(onDisk() == original);

    // Blocks that no longer fit the region.
    std::mt19937 random(7);
    DocumentState big = doc;
    std::vector<int> starts;
    for (int g = 1; g < kBlockCount; ++g)
        starts.push_back(1 + g * 4);
    test::SetBattleRecords(big, 1500, [&](int, int) { return 1 + random() % 255; }, starts);
    big.History.StartWithBaseline(big);
    test::PutByte(big, {TabBattle, 0, 2, 1}, big.BattleParams(2, 1) ^ 1); // so that the blocks are encoded
    EXPECT_FALSE(Built(BuildSavedImage(big, original)));
    EXPECT_TRUE(error.contains(u"収まりません"_s)) << error.toStdString();

    doc.BattleDecodeFailed = true;
    edit(TabBattle, 0, 2, 2, u"1"_s);
    expectRefused("undecoded", u"辞書"_s);
    doc.BattleDecodeFailed = false;
    UndoStep(doc);

    edit(TabIdSection, 1, 1, 1, u"1"_s);
    QFile::remove(home.file(u"game.rom"_s));
    expectRefused("deleted", u"ありません"_s);
    home.writeBytes(u"game.rom"_s, original.left(original.size() - 1));
    expectRefused("truncated", u"短く"_s);

    // A .bak that is a folder: nothing is written, the image included.
    home.writeBytes(u"game.rom"_s, original);
    ASSERT_TRUE(QDir(home.path()).mkdir(u"game.rom.bak"_s));
    EXPECT_FALSE(Saved(SaveDocument(doc)));
    EXPECT_TRUE(error.contains(u"game.rom.bak"_s) && onDisk() == original && doc.History->Modified()) << error.toStdString();
}

// Only a document changed under the editor holds such a cell; why each can't be written is the document tests'.
TEST_F(Save, AChangedReadOnlyCellIsRefusedNamingIt)
{
    doc.DataSets(1).SectionSettings(SettingStep, 2) = -0x1800; // ID 2 of section y lies at -0x1000
    test::PutByte(doc, {TabIdSection, 1, 2, 3}, *CellByte(doc, TabIdSection, 1, 2, 3) ^ 1);
    expectRefused("before", u"「表」の ID 2「c」、セクション「y」はオフセット -0x1000 がイメージの先頭より前"_s);
    EXPECT_TRUE(error.endsWith(u"何も書いていません。"_s) && onDisk() == original);
}

// Runs work in a child process: its exit code (0 when work returns true), or -signal.
template <typename Work>
int InChild(Work work)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(work() ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST_F(Save, AFullDiskLeavesTheFilesWhole)
{
    edit(TabBattle, 0, 3, 3, u"7"_s);
    const QByteArray oldBackup = "the backup of an earlier save";
    home.writeBytes(u"game.rom.bak"_s, oldBackup);
    // The disk fills up while writing a 4 MB image, and after the .bak copy of a 3 MB image that grows to 4 MB.
    const QByteArray small = original.left(kSmallImageSize);
    for (const rlim_t room : {rlim_t{0x100000}, rlim_t{0x380000}}) {
        const QByteArray before = room == 0x100000 ? original : small;
        home.writeBytes(u"game.rom"_s, before);
        doc.RomSizeAtRead = before.size();
        const int exit = InChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{room, room};
            setrlimit(RLIMIT_FSIZE, &limit);
            return !Saved(SaveDocument(doc)) && doc.History->Modified() && error.contains(u"ディスクの空きが足りません"_s);
        });
        EXPECT_EQ(exit, 0) << "room " << room;
        EXPECT_TRUE(onDisk() == before) << "room " << room;
        EXPECT_EQ(home.readBytes(u"game.rom.bak"_s), oldBackup) << "room " << room;
        EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), (QStringList{u"game.rom"_s, u"game.rom.bak"_s, u"ZOR.ini"_s}))
            << "room " << room; // no temporary file left behind
    }
}

// As root, permissions don't stop a write: the save runs in a child that has given up root.
TEST_F(Save, AReadOnlyFolderIsRefused)
{
    edit(TabIdSection, 1, 1, 1, u"1"_s);
    const QByteArray oldBackup = "the backup of an earlier save";
    home.writeBytes(u"game.rom.bak"_s, oldBackup);
    using P = QFileDevice;
    QFile::setPermissions(home.file(u"game.rom"_s), P::ReadOwner | P::WriteOwner | P::ReadOther | P::WriteOther);
    QFile::setPermissions(home.path(), P::ReadOwner | P::WriteOwner | P::ExeOwner | P::ReadOther | P::ExeOther);
    EXPECT_EQ(InChild([&] {
                  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                      return false;
                  return !Saved(SaveDocument(doc)) && error.contains(u"game.rom"_s) && error.contains(u"書き込みが許可されていません"_s);
              }),
              0);
    EXPECT_TRUE(onDisk() == original);
    EXPECT_EQ(home.readBytes(u"game.rom.bak"_s), oldBackup);
    QFile::setPermissions(home.path(), P::ReadOwner | P::WriteOwner | P::ExeOwner);
}

// Saved through a link to the file it names; a .bak that is a link is replaced, what it named kept.
TEST_F(Save, LinksAtTheImageAndAtItsBackup)
{
    ASSERT_TRUE(QDir(home.path()).mkdir(u"real"_s));
    ASSERT_TRUE(QFile::rename(home.file(u"game.rom"_s), home.file(u"real/game.rom"_s)));
    ASSERT_TRUE(QFile::link(home.file(u"real/game.rom"_s), home.file(u"game.rom"_s)));
    home.writeBytes(u"precious.bin"_s, "not a backup");
    ASSERT_TRUE(QFile::link(home.file(u"precious.bin"_s), home.file(u"game.rom.bak"_s)));
    load();
    edit(TabIdSection, 1, 2, 1, u"0x33"_s);
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_EQ(test::Differences(original, home.readBytes(u"real/game.rom"_s)), std::vector<qsizetype>{0x2000});
    EXPECT_EQ(QDir(home.file(u"real"_s)).entryList(QDir::Files | QDir::Hidden), QStringList{u"game.rom"_s});
    EXPECT_EQ(std::tuple(QFileInfo(home.file(u"game.rom"_s)).isSymLink(), QFileInfo(home.file(u"game.rom.bak"_s)).isSymLink(),
                         home.readBytes(u"game.rom.bak"_s) == original, home.readBytes(u"precious.bin"_s)),
              std::tuple(true, false, true, QByteArray("not a backup")));
}

TEST_F(Save, SaveAsCopiesThenBecomesTheOpenFile)
{
    const QString copy = home.file(u"copy.rom"_s);
    ASSERT_TRUE(Saved(SaveDocumentAs(doc, copy))) << error.toStdString();
    EXPECT_TRUE(home.readBytes(u"copy.rom"_s) == original && doc.RomPath == copy);

    edit(TabIdSection, 1, 2, 1, u"0x33"_s);
    const QString other = home.file(u"other.rom"_s);
    ASSERT_TRUE(Saved(SaveDocumentAs(doc, other))) << error.toStdString();
    EXPECT_EQ(test::Differences(original, home.readBytes(u"other.rom"_s)), std::vector<qsizetype>{0x2000});
    EXPECT_TRUE(home.readBytes(u"copy.rom"_s) == original); // the previous file stays as it was
    EXPECT_FALSE(QFile::exists(other + u".bak"_s) || doc.History->Modified());

    // Onto its own .bak: refused. Onto itself: a save without a copy.
    edit(TabIdSection, 1, 2, 2, u"0x44"_s);
    EXPECT_FALSE(Saved(SaveDocumentAs(doc, other + u".bak"_s)));
    EXPECT_TRUE(error.contains(u"バックアップ"_s) && doc.History->Modified());
    ASSERT_TRUE(Saved(SaveDocumentAs(doc, other))) << error.toStdString();
    EXPECT_TRUE(home.readBytes(u"other.rom"_s)[0x2001] == 0x44 && !QFile::exists(other + u".bak"_s));

    edit(TabIdSection, 1, 2, 3, u"0x55"_s);
    ASSERT_TRUE(QFile::link(other, home.file(u"alias.rom"_s)));
    ASSERT_TRUE(Saved(SaveDocumentAs(doc, home.file(u"alias.rom"_s)))) << error.toStdString();
    EXPECT_EQ(std::tuple(doc.RomPath, QFileInfo(home.file(u"alias.rom"_s)).isSymLink(), home.readBytes(u"other.rom"_s)[0x2002]),
              std::tuple(other, true, 0x55));

    edit(TabIdSection, 1, 1, 1, u"0x66"_s);
    EXPECT_FALSE(Saved(SaveDocumentAs(doc, home.file(u"copy.rom/inside.rom"_s))));
    EXPECT_TRUE(doc.RomPath == other && doc.History->Modified());
}

TEST_F(Save, TheBaselineDecidesWhatIsWrittenAndWhetherTheDocumentIsModified)
{
    const auto baseline = [&] { return doc.History->BaselineValue(doc, {TabIdSection, 1, 1, 1}); };
    const auto marks = [&] { return std::tuple(doc.History->Modified(), CellChanged(doc, TabIdSection, 1, 1, 1)); };
    edit(TabIdSection, 1, 1, 1, u"0x11"_s); // 0x1000

    QFile::remove(home.file(u"game.rom"_s));
    EXPECT_FALSE(Saved(SaveDocument(doc)));
    EXPECT_EQ(std::tuple(baseline(), marks()), std::tuple(std::uint8_t(original[0x1000]), std::tuple(true, true)));
    home.writeBytes(u"game.rom"_s, original);

    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_EQ(std::tuple(baseline(), marks()), std::tuple(std::uint8_t{0x11}, std::tuple(false, false)));

    // An undo after the save is a change against the file, and the next save writes it back.
    ASSERT_EQ(UndoStep(doc).kind, StepResult::Taken);
    EXPECT_EQ(marks(), std::tuple(true, true));
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_TRUE(onDisk() == original && !doc.History->Modified());
    // The journals still take the edit back and forth; back at the file's byte nothing is modified.
    ASSERT_EQ(RedoStep(doc).kind, StepResult::Taken);
    EXPECT_EQ(marks(), std::tuple(true, true));
    ASSERT_EQ(UndoStep(doc).kind, StepResult::Taken);
    EXPECT_TRUE(marks() == std::tuple(false, false) && ChangedCells(doc).empty());
}

TEST_F(Save, TwoChangedCellsAtOneOffsetMustAgree)
{
    // Entry q at 0x1003, where ID 1 ("b") of section x lies too.
    test::WriteCompactFile(home.path(), u"mode/個別データ.sna"_s, u"3000|p|1003|q|"_s);
    load();
    edit(TabIdSection, 1, 1, 2, u"5"_s);
    edit(TabIndividual, 0, 1, 2, u"6"_s);
    EXPECT_FALSE(Saved(SaveDocument(doc)));
    EXPECT_TRUE(error.contains(u"「表」の ID 1「b」、セクション「x」"_s) && error.contains(u"個別データ「q」"_s) && error.contains(u"0x1003"_s))
        << error.toStdString();
    EXPECT_TRUE(onDisk() == original && doc.History->Modified());
    edit(TabIndividual, 0, 1, 2, u"5"_s);
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_EQ(test::Differences(original, onDisk()), std::vector<qsizetype>{0x1003});
    EXPECT_TRUE(onDisk()[0x1003] == 5 && !doc.History->Modified());
}

TEST_F(Save, ABattleRecordBackAtItsBaselineIsNotEncodedAgain)
{
    edit(TabBattle, 0, 5, 2, u"0x99"_s);
    EXPECT_TRUE(doc.History->BattleChanged());
    ASSERT_EQ(UndoStep(doc).kind, StepResult::Taken);
    EXPECT_FALSE(doc.History->BattleChanged());
    // Without a change the small image keeps its length: the blocks are left alone.
    EXPECT_EQ(Built(BuildSavedImage(doc, original.left(kSmallImageSize)))->size(), kSmallImageSize);
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 2)->kind, RowResult::Done);
    EXPECT_TRUE(doc.History->RecordCountChanged());
    ASSERT_EQ(DeleteBattleRow(doc, {}, TabBattle, 2)->kind, RowResult::Done);
    EXPECT_FALSE(doc.History->RecordCountChanged() || doc.History->Modified());
    ASSERT_EQ(DeleteBattleRow(doc, {}, TabBattle, 2)->kind, RowResult::Done);
    ASSERT_TRUE(Saved(SaveDocument(doc))) << error.toStdString();
    EXPECT_TRUE(!doc.History->Modified() && doc.History->DeletedBaselineRecords().empty());
    load();
    EXPECT_EQ(doc.BattleCount(), 315);
}

// One data set with one section at 0x1000 in a 64 KiB image whose stored checksum is wrong.
class SaveWithChecksum : public ::testing::Test {
protected:
    void load(const QByteArray& image, const QStringList& options)
    {
        home.writeBytes(u"game.rom"_s, image);
        home.writeMode(u"mode"_s, u"表.idn a|b\n 表.sna 1000|S|"_s, options);
        LoadDocument(doc, home.file(u"game.rom"_s), image, home.path());
    }

    void editFirstCell(const QString& text) { (void)CommitCellText(doc, {TabIdSection, 1, 1, 1}, text, {}); }

    test::ProgramFolder home;
    const QByteArray original = NoisyImage(0x10000, 11);
    DocumentState doc;
};

TEST_F(SaveWithChecksum, FixChecksumWritesTheHeaderChecksumWithTheChanges)
{
    ASSERT_FALSE(ComputeHeaderChecksum(original)->matches());
    load(original, {u"FixChecksum=1"_s});
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

// The plain sum of [from, from + count), the checksum bytes counted as FF FF 00 00.
std::uint32_t PlainSum(const QByteArray& image, qsizetype from, qsizetype count)
{
    std::uint32_t sum = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (i == 0x7FDC || i == 0x7FDD)
            sum += 0xFF;
        else if (i != 0x7FDE && i != 0x7FDF)
            sum += static_cast<std::uint8_t>(image[i]);
    }
    return sum;
}

TEST(HeaderChecksum, PowersOfTwoSumEveryByte)
{
    for (const qsizetype size : {qsizetype{0x8000}, qsizetype{0x100000}}) {
        const QByteArray image = NoisyImage(size, 7);
        const Result<HeaderChecksum> sums = ComputeHeaderChecksum(image);
        ASSERT_TRUE(sums);
        const auto word = [&](qsizetype at) { return static_cast<std::uint8_t>(image[at]) | static_cast<std::uint8_t>(image[at + 1]) << 8; };
        EXPECT_EQ(std::tuple(sums->checksum, sums->complement, sums->storedComplement, sums->storedChecksum),
                  std::tuple(PlainSum(image, 0, size) & 0xFFFF, static_cast<std::uint16_t>(~sums->checksum), word(0x7FDC), word(0x7FDE)));
    }
}

TEST(HeaderChecksum, OtherSizesAreMirrored)
{
    constexpr qsizetype kMiB = 0x100000;
    const QByteArray three = NoisyImage(3 * kMiB, 8);
    EXPECT_EQ(ComputeHeaderChecksum(three)->checksum, (PlainSum(three, 0, 2 * kMiB) + 2 * PlainSum(three, 2 * kMiB, kMiB)) & 0xFFFF);

    // 2 MiB + 1 MiB + 2^20 times the last byte; 2^20 times anything is 0 modulo 0x10000.
    QByteArray odd = three + QByteArray(1, '\x03');
    const std::uint16_t oddSum = ComputeHeaderChecksum(odd)->checksum;
    EXPECT_EQ(oddSum, PlainSum(odd, 0, 3 * kMiB) & 0xFFFF);
    odd[3 * kMiB] = '\x7F';
    EXPECT_EQ(ComputeHeaderChecksum(odd)->checksum, oddSum);

    // 0x8000 + 0x4000 + 0x1000 + 2: the last two bytes fill 0x1000, and with the 0x1000 before them twice over 0x4000.
    const QByteArray nested = NoisyImage(0xD002, 9);
    const std::uint32_t expected = PlainSum(nested, 0, 0x8000) + PlainSum(nested, 0x8000, 0x4000)
                                   + 2 * PlainSum(nested, 0xC000, 0x1000) + 2 * 0x800 * PlainSum(nested, 0xD000, 2);
    EXPECT_EQ(ComputeHeaderChecksum(nested)->checksum, expected & 0xFFFF);
}

TEST(HeaderChecksum, FixWritesWhatItComputesAndIgnoresTheOldValues)
{
    QByteArray image = NoisyImage(0x28000, 10);
    const Result<HeaderChecksum> before = ComputeHeaderChecksum(image);
    ASSERT_TRUE(before);
    EXPECT_FALSE(before->matches());
    const QByteArray original = image;
    ASSERT_TRUE(FixHeaderChecksum(image));
    const Result<HeaderChecksum> after = ComputeHeaderChecksum(image);
    EXPECT_EQ(std::tuple(after->matches(), after->checksum, static_cast<std::uint16_t>(after->storedChecksum + after->storedComplement)),
              std::tuple(true, before->checksum, 0xFFFF));
    for (const qsizetype at : test::Differences(original, image))
        EXPECT_TRUE(at >= 0x7FDC && at <= 0x7FDF) << at;
    const QByteArray fixed = image;
    ASSERT_TRUE(FixHeaderChecksum(image));
    EXPECT_EQ(image, fixed);
}

TEST(HeaderChecksum, ImagesWithoutAHeaderWhereZorLooksAreRefused)
{
    for (const qsizetype size : {qsizetype{0}, qsizetype{0x7FFF}, qsizetype{0x8200}, qsizetype{0x300200}}) {
        QByteArray image(size, '\x01');
        const Result<HeaderChecksum> sums = ComputeHeaderChecksum(image);
        ASSERT_FALSE(sums) << size;
        EXPECT_FALSE(sums.failure().reason().isEmpty());
        EXPECT_FALSE(FixHeaderChecksum(image));
        EXPECT_EQ(image, QByteArray(size, '\x01'));
    }
    const QString reason = ComputeHeaderChecksum(QByteArray(0x7FFF, '\0')).failure().reason();
    EXPECT_TRUE(reason.contains(QStringLiteral("ヘッダがありません"))) << reason.toStdString();
    EXPECT_TRUE(ComputeHeaderChecksum(QByteArray(0x8000, '\0')));
}

// count records whose every byte is the record's number, in blocks starting at starts.
DocumentState Table(int count, const std::vector<int>& starts)
{
    DocumentState doc;
    test::SetBattleRecords(doc, count, [](int, int r) { return r; }, starts);
    doc.History.StartWithBaseline(doc);
    return doc;
}

ViewState Scrolled()
{
    ViewState view;
    view.TabState(TabBattle, ItemLeftCol) = 4;
    view.TabState(TabBattle, ItemTopRow) = 6;
    return view;
}

// GroupStarts without its empty entries, and each record by its first byte (-1 when its last byte differs).
std::pair<std::vector<int>, std::vector<int>> Blocks(const DocumentState& doc)
{
    std::pair<std::vector<int>, std::vector<int>> out;
    std::copy_if(doc.GroupStarts().Elements().begin(), doc.GroupStarts().Elements().end(), std::back_inserter(out.first), [](int g) { return g; });
    for (int r = 1; r <= doc.BattleCount(); ++r)
        out.second.push_back(doc.BattleParams(1, r) == doc.BattleParams(25, r) ? doc.BattleParams(1, r) : -1);
    return out;
}

void PushCell(DocumentState& doc, int row, int value)
{
    doc.History->Push(JournalSide::Undo, JournalStep{{{TabBattle, 0, 1, row, 1, 1, static_cast<std::uint8_t>(value)}}, {}});
}

TEST(Rows, RecordsAndBlockStartsFollowTheRow)
{
    struct Case { bool insert; int row; std::vector<int> starts; int cursor; };
    for (const Case& c : std::vector<Case>{{true, 5, {3, 9}, 5},  {true, 3, {3, 9}, 3},  {true, 10, {3, 8}, 10}, {true, 1, {4, 9}, 1},
                                           {false, 5, {3, 7}, 5}, {false, 3, {3, 7}, 3}, {false, 7, {3, 7}, 7}, {false, 10, {3, 8}, 9},
                                           {false, 1, {2, 7}, 1}}) {
        SCOPED_TRACE((c.insert ? "insert " : "delete ") + std::to_string(c.row));
        DocumentState doc = Table(10, {3, 8});
        std::vector<int> records = Blocks(doc).second;
        const RowResult result = *(c.insert ? InsertBattleRow(doc, Scrolled(), TabBattle, c.row) : DeleteBattleRow(doc, Scrolled(), TabBattle, c.row));
        c.insert ? void(records.insert(records.begin() + c.row - 1, c.row)) : void(records.erase(records.begin() + c.row - 1));
        EXPECT_EQ(Blocks(doc), std::make_pair(c.starts, records));
        EXPECT_EQ(std::make_tuple(result.kind, result.cursorRow, result.leftCol, result.topRow, doc.History->Modified(), doc.History->RecordCountChanged()),
                  std::make_tuple(RowResult::Done, c.cursor, 4, 6, true, true));
    }
}

TEST(Rows, RefusalsAndOtherTabsChangeNothing)
{
    // Blocks 1 and 3 and the last, block 5, hold one record each.
    for (const auto& [count, tab, row, insert, says] : std::vector<std::tuple<int, int, int, bool, const char*>>{
             {8, TabIdSection, 3, true, ""},   {8, TabIdSection, 3, false, ""},
             {8, TabIndividual, 3, true, ""},  {8, TabIndividual, 3, false, ""},
             {8, TabBattle, 9, true, ""},      {8, TabBattle, 9, false, ""},
             {0, TabBattle, 1, true, "レコードがない"}, {0, TabBattle, 1, false, "レコードがない"},
             {8, TabBattle, 1, false, "ブロック 1 "}, {8, TabBattle, 5, false, "ブロック 3 "},
             {8, TabBattle, 8, false, "ブロック 5 "}, {32767, TabBattle, 9, true, "32767"}}) {
        SCOPED_TRACE(std::to_string(tab) + (insert ? " insert " : " delete ") + std::to_string(row) + " " + says);
        DocumentState doc = Table(count, {2, 5, 6, 8});
        PushCell(doc, row, 7);
        const Result<RowResult> result = insert ? InsertBattleRow(doc, {}, tab, row) : DeleteBattleRow(doc, {}, tab, row);
        // Refused with why, or nothing to do on a row that isn't a record.
        const QString why = result ? QString() : result.failure().message();
        EXPECT_TRUE(why.isEmpty() == (*says == '\0') && why.contains(QString::fromUtf8(says))) << why.toStdString();
        EXPECT_TRUE(!result || result->kind == RowResult::Nothing);
        EXPECT_EQ(std::make_tuple(doc.History->Modified(), doc.History->RecordCountChanged()), std::make_tuple(false, false));
        EXPECT_EQ(Blocks(doc), Blocks(Table(count, {2, 5, 6, 8})));
        EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->NewestStepSize(JournalSide::Undo)), std::tuple(1, 1));
    }
    DocumentState doc = Table(32766, {});
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 32766)->kind, RowResult::Done);
    EXPECT_EQ(doc.BattleCount(), 32767);
}

// Each record's block, 0 outside the table.
std::vector<int> BlockNumbers(const DocumentState& doc)
{
    std::vector<int> out;
    for (int r = 0; r <= doc.BattleCount() + 1; ++r)
        out.push_back(BattleBlockOf(doc, r));
    return out;
}

// The block starts row commands leave are the first test's; the numbers follow from them.
TEST(Rows, BlockNumbersCountFromOne)
{
    EXPECT_EQ(BlockNumbers(Table(10, {3, 8})), (std::vector<int>{0, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 0}));
    // Every one of the 314 blocks in use: the last record is in block 314.
    std::vector<int> starts;
    for (int k = 2; k <= 314; ++k)
        starts.push_back(k);
    const DocumentState full = Table(314, starts);
    EXPECT_EQ(std::make_tuple(BattleBlockOf(full, 1), BattleBlockOf(full, 2), BattleBlockOf(full, 314)), std::make_tuple(1, 2, 314));
}

// Undone, any run of cell edits, row commands and undos gives the table read back; redone, where it ended.
TEST(Rows, RowStepsUndoAndRedoAmongCellSteps)
{
    const auto snapshot = [](const DocumentState& doc) {
        return std::tuple(doc.BattleCount(), doc.BattleParams().Elements(), doc.GroupStarts().Elements());
    };
    std::mt19937 random(23);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        DocumentState doc = Table(10, {3, 4, 8}); // block 2 holds record 3 alone
        const auto read = snapshot(doc);
        for (int op = 0; op < 14; ++op) {
            const int row = 1 + static_cast<int>(random() % static_cast<unsigned>(doc.BattleCount()));
            const int records = doc.History->UndoCount();
            switch (random() % 4) {
            case 0:
            case 1: {
                const bool insert = random() % 2;
                const Result<RowResult> done = insert ? InsertBattleRow(doc, {}, TabBattle, row) : DeleteBattleRow(doc, {}, TabBattle, row);
                if (done && done->kind == RowResult::Done) {
                    EXPECT_EQ(std::tuple(doc.History->UndoCount(), doc.History->RedoCount()), std::tuple(records + 1, 0));
                }
                break;
            }
            case 2:
                (void)CommitCellText(doc, {TabBattle, 0, 1 + static_cast<int>(random() % 25), row},
                                     QString::number(1 + random() % 255), {});
                break;
            default:
                UndoStep(doc);
                break;
            }
        }
        const auto end = snapshot(doc);
        int steps = 0;
        while (UndoStep(doc).kind == StepResult::Taken)
            ++steps;
        EXPECT_EQ(snapshot(doc), read);
        EXPECT_FALSE(doc.History->Modified());
        for (int i = 0; i < steps; ++i)
            ASSERT_EQ(RedoStep(doc).kind, StepResult::Taken);
        EXPECT_EQ(snapshot(doc), end);
    }
}

TEST(Rows, EachRowKeepsTheBaselineRecordItCameFrom)
{
    DocumentState doc = Table(10, {3, 8}); // record r holds r in every byte
    const EditHistory& history = *doc.History;
    const auto marked = [&](int row) {
        std::vector<int> cols;
        for (int c = 1; c <= 25; ++c)
            if (CellChanged(doc, TabBattle, 0, c, row))
                cols.push_back(c);
        return cols;
    };
    std::vector<int> all(25);
    std::iota(all.begin(), all.end(), 1);

    // A change on record 5, then a row inserted above it: the mark moves with its record.
    test::PutByte(doc, {TabBattle, 0, 7, 5}, 0x55);
    ASSERT_EQ(InsertBattleRow(doc, {}, TabBattle, 4)->kind, RowResult::Done);
    EXPECT_EQ(std::tuple(history.BaselineRecordOf(4), history.BaselineRecordOf(5), history.BaselineRecordOf(6)), std::tuple(0, 4, 5));
    // The inserted row is marked in every cell, though it copies record 4.
    EXPECT_EQ(std::tuple(marked(4), marked(5), marked(6)), std::tuple(all, std::vector<int>{}, std::vector<int>{7}));
    EXPECT_EQ(std::tuple(history.BaselineValue(doc, {TabBattle, 0, 7, 6}), history.BaselineValue(doc, {TabBattle, 0, 7, 4})),
              std::tuple(std::optional<std::uint32_t>(5), std::optional<std::uint32_t>()));
    EXPECT_EQ(std::tuple(history.ChangedCellCount(), history.RecordCountChanged()), std::tuple(26, true));

    // The moved record's byte set back: its mark goes, the inserted row's stay.
    test::PutByte(doc, {TabBattle, 0, 7, 6}, 5);
    EXPECT_EQ(std::tuple(marked(6), history.ChangedCellCount()), std::tuple(std::vector<int>{}, 25));
    // Deleting a baseline record names it; deleting the inserted row brings back the list read.
    ASSERT_EQ(DeleteBattleRow(doc, {}, TabBattle, 2)->kind, RowResult::Done);
    EXPECT_EQ(std::tuple(history.DeletedBaselineRecords(), history.BaselineRecordOf(2)), std::tuple(std::vector<int>{2}, 3));
    ASSERT_EQ(DeleteBattleRow(doc, {}, TabBattle, 3)->kind, RowResult::Done);
    EXPECT_EQ(history.ChangedCellCount(), 0);
    EXPECT_TRUE(history.Modified()); // record 2 is still gone
    // Counted as the edits went, the same as counted anew cell by cell.
    int anew = 0;
    for (int r = 1; r <= doc.BattleCount(); ++r)
        for (int c = 1; c <= kBattleRecordSize; ++c)
            anew += CellChanged(doc, TabBattle, 0, c, r);
    EXPECT_EQ(anew, history.ChangedCellCount());
}

} // namespace
} // namespace zor
