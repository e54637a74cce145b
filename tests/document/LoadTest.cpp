#include "core/document/CellBytes.h"
#include "core/document/Definitions.h"
#include "core/document/ReadImage.h"
#include "core/edit/EditHistory.h"
#include "core/output/Rows.h"
#include "core/view/Grid.h"
#include "core/view/TabView.h"

#include "tests/support/ModeFolder.h"
#include "tests/support/PutByte.h"
#include "tests/support/RomBuilder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::Block;
using test::ProgramFolder;
using test::Record;
using test::RomBuilder;

QStringList Places(const ProblemLog& log)
{
    QStringList out;
    for (const Problem& p : log.items())
        out << p.file + u':' + QString::number(p.line);
    return out;
}

class Definitions : public ::testing::Test {
protected:
    void load()
    {
        log = ProblemLog(home.path());
        LoadDefinitions(doc, home.path(), log);
    }

    const DataSet& set(const QString& name) const
    {
        for (int k = 1; k <= doc.DataSetCount; ++k)
            if (doc.DataSets(k).Name == name)
                return doc.DataSets(k);
        ADD_FAILURE() << "no data set " << name.toStdString();
        return doc.DataSets(0);
    }

    ProgramFolder home;
    DocumentState doc;
    ProblemLog log;
};

// An .idn has an ID a line (one after a final break too), named up to the first empty line; an .sna a section
// per two lines, read in pairs up to an empty line. Sections past those pairs have no offset, reported where they stop.
TEST_F(Definitions, CountsComeFromTheLineCount)
{
    home.writeMode(u"mode"_s, uR"(
        a.idn     zero|one|two|
        a.sna     100|A|200|B|300|C|400|D|500|E|
        b.sna
        six.idn   x
        six.sna   100|A|200|B|300|C|400|D|500|E||
        gap.idn   x
        gap.sna   10|P|20|||30|R|
    )"_s);
    home.writeBytes(u"mode/b.idn"_s, "n0\nn1\nn2\nn3\n\nn5\nn6");
    load();
    const DataSet& a = set(u"a"_s);
    const DataSet& b = set(u"b"_s);
    EXPECT_EQ((QStringList{a.IdNames(1), a.IdNames(3), a.IdNames(4), b.IdNames(4), b.IdNames(6)}),
              (QStringList{u"zero"_s, u"two"_s, QString(), u"n3"_s, QString()}));
    const DataSet& six = set(u"six"_s);
    const DataSet& gap = set(u"gap"_s);
    EXPECT_EQ((std::vector<int>{a.IdCount, b.IdCount, a.SectionCount, six.SectionCount, gap.SectionCount}), (std::vector<int>{4, 7, 5, 6, 4}));
    EXPECT_EQ(std::tuple(a.SectionAddresses(5), a.SectionNames(5), six.SectionAddresses(6), six.SectionNames(6)),
              std::tuple(0x500, u"E"_s, 0, QString()));
    // Reading stops at the empty line where gap's third pair would begin.
    EXPECT_EQ(std::tuple(gap.SectionAddresses(2), gap.SectionNames(2), gap.SectionAddresses(3), gap.SectionNames(3)),
              std::tuple(0x20, QString(), 0, QString()));
    EXPECT_EQ((std::vector<int>{a.SectionAddressUnusable(5), gap.SectionAddressUnusable(2), six.SectionAddressUnusable(6),
                                gap.SectionAddressUnusable(3), gap.SectionAddressUnusable(4)}),
              (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_EQ(Places(log), (QStringList{u"mode/gap.sna:5"_s, u"mode/six.sna:11"_s}));
    EXPECT_TRUE(log.items()[0].message.contains(u"2 個のセクション"_s)) << log.items()[0].message.toStdString();
}

TEST_F(Definitions, DataSetsAreIdnFilesSortedIgnoringCase)
{
    home.writeMode(u"mode"_s, uR"(
        b.IDN       x|
        B.SNA       1|S|
        a.b.idn     x|
        a.b.sna
        C.idn       x|
        C.sna
        クラス.idn  x|
        クラス.sna
        notes.txt   x|
        idn         x|
    )"_s);
    load();
    ASSERT_EQ(doc.DataSetCount, 4);
    EXPECT_EQ((QStringList{doc.DataSets(1).Name, doc.DataSets(2).Name, doc.DataSets(3).Name, doc.DataSets(4).Name}),
              (QStringList{u"a.b"_s, u"b"_s, u"C"_s, u"クラス"_s}));
    EXPECT_EQ(doc.ClassDataSet, 4);
    EXPECT_EQ(doc.DataSets(2).SectionCount, 1); // B.SNA belongs to b.IDN as it would where case does not matter
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
}

TEST_F(Definitions, SettingsComeFromTheDataSetIniWithDefaults)
{
    const QString files = u"d.idn x|\n d.sna 1|A|2|B|3|C|\n d.ini [STEP]|section1=3|Section2=abc|[Notation]|Section3=-10|"_s;
    home.writeMode(u"mode"_s, files);
    load();
    const DataSet& d = doc.DataSets(1);
    EXPECT_EQ(doc.SettingDefaults(SettingNotation), 16);
    // Letters give the default step; a section without a notation takes DefaultNotation.
    EXPECT_EQ((std::vector<int>{d.SectionSettings(SettingStep, 1), d.SectionSettings(SettingStep, 2), d.SectionSettings(SettingStep, 3)}),
              (std::vector<int>{3, 1, 1}));
    EXPECT_EQ(std::tuple(d.SectionSettings(SettingNotation, 1), d.SectionSettings(SettingNotation, 3)), std::tuple(16, -10));
    EXPECT_EQ(d.SectionSettings(SettingByte, 1), 0);

    home.writeMode(u"mode"_s, files, {u"DefaultNotation=letters"_s});
    load();
    EXPECT_EQ(std::tuple(doc.SettingDefaults(SettingNotation), doc.DataSets(1).SectionSettings(SettingNotation, 1)), std::tuple(0, 0));
}

TEST_F(Definitions, WithoutModeTheProgramFolderIsTheModeFolderAndAModeMayHoldTwoDots)
{
    home.writeMode(u"."_s, u"here.idn x|\n here.sna 10|A|"_s);
    home.writeBytes(u"ZOR.ini"_s, "[Option]\rDefaultNotation=10\r"); // carriage returns only, and no Mode
    load();
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
    ASSERT_EQ(doc.DataSetCount, 1);
    EXPECT_EQ(std::tuple(doc.ModeName, doc.DataSets(1).Name, doc.SettingDefaults(SettingNotation)), std::tuple(QString(), u"here"_s, 10));
    home.writeBytes(u"ZOR.ini"_s, "");
    load();
    EXPECT_TRUE(log.empty() && doc.DataSetCount == 1);

    home.writeMode(u"a..b"_s, u"t.idn x|\n t.sna 10|A|"_s);
    load();
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
    EXPECT_EQ(std::tuple(doc.ModeFolder, doc.DataSetCount), std::tuple(home.file(u"a..b"_s), 1));
}

// Each problem names its file and line, quotes at most 80 characters of the line, and the rest loads.
// [Size], [Names] and [Bits] give each cell its type; a section with any problem of them is a one-byte number, and
// each problem names the file, the section and key, and the value.
TEST_F(Definitions, TypedSectionsComeFromTheirIniAndProblemsLeaveAByte)
{
    QString sna, flags;
    for (int q = 1; q <= 14; ++q)
        sna += u"0|S"_s + QString::number(q) + u'|';
    for (int b = 1; b <= 32; ++b)
        flags += (b > 1 ? u","_s : QString()) + u"フラグ"_s + QString::number(b);
    home.writeMode(u"mode"_s, uR"(
        item.idn  x|
        item.sna  )"_s + sna + uR"(
        item.ini  [Step]|Section1=2|Section2=-4|Section3=1|Section4=0|Section11=2|[Size]|Section1=2|Section2= 4 |Section3=2|Section4=2|Section5=|Section6=5|Section7=abc|Section11=2|Section13=0|[Names]|Section2=kind|Section8=nothing|Section12=Kind|[Bits]|Section9= a , b ,,,,,,h|Section10=1,2,3,4,5,6,7,8,9|Section11=1,2,3,4,5,6,7,8,9|Section12=x|
        Kind.idn  x|
        Kind.sna
        kind.idn  x|
        kind.sna
        個別データ.sna  0|お金|1|フラグ|
        個別データ.ini  [Size]|Section1=4|Section2=3|[Bits]|Section2=)"_s + flags + uR"(,余り|
        敵パラメータ.ini  [Size]|Section22=4|Section23=4|Section25=1|[Names]|Section1=KIND|Section24=KIND|[Bits]|Section22=)"_s + flags + u"|"_s);
    load();
    ASSERT_EQ((QStringList{doc.DataSets(2).Name, doc.DataSets(3).Name}), (QStringList{u"Kind"_s, u"kind"_s}));
    QStringList nine = QString(u"1,2,3,4,5,6,7,8,9"_s).split(u','), file{{}, u"item"_s, u"個別データ"_s, u"敵パラメータ"_s};
    nine.resize(16);
    const struct {
        int tab, section;
        CellType type;
        QString problem; // how its message starts, up to the value quoted
    } cases[] = {
        {TabIdSection, 1, {2, 0, {}}, {}},                                   // as wide as its step
        {TabIdSection, 2, {4, 3, {}}, {}},                                   // |step|; the data set of exactly that name
        {TabIdSection, 3, {}, u"[Size] の Section3 の「2」"_s},              // wider than its step
        {TabIdSection, 4, {}, u"[Size] の Section4 の「2」"_s},              // step 0
        {TabIdSection, 5, {}, {}},                                           // empty: one byte
        {TabIdSection, 6, {}, u"[Size] の Section6 の「5」"_s},
        {TabIdSection, 7, {}, u"[Size] の Section7 の「abc」"_s},
        {TabIdSection, 8, {}, u"[Names] の Section8 の「nothing」"_s},
        {TabIdSection, 9, {1, 0, QStringList{u"a"_s, u"b"_s, {}, {}, {}, {}, {}, u"h"_s}}, {}},
        {TabIdSection, 10, {}, u"[Bits] の Section10 の「1,2,3,4,5,6,7,8,9」"_s}, // nine names for a byte
        {TabIdSection, 11, {2, 0, nine}, {}},                                // filled up to 16 bits
        {TabIdSection, 12, {}, u"Section12 に [Names]「Kind」"_s},
        {TabIdSection, 13, {}, u"[Size] の Section13 の「0」"_s},
        {TabIdSection, 14, {}, {}},                                          // nothing declared
        {TabIndividual, 1, {4, 0, {}}, {}},                                  // entries have no step
        {TabIndividual, 2, {}, u"[Bits] の Section2 の「"_s + flags.left(80) + u"…」"_s}, // 33 names for 3 bytes
        {TabBattle, 1, {1, 2, {}}, {}},                                      // the first name in another letter case
        {TabBattle, 22, {4, 0, flags.split(u',')}, {}},                      // bytes 22 to 25; a list past 254 bytes
        {TabBattle, 23, {}, u"[Size] の Section23 の「4」"_s},              // past byte 25
        {TabBattle, 24, {}, u"「Section24」"_s},                             // inside the field of byte 22
        {TabBattle, 25, {1, 0, {}}, {}},
    };
    QStringList expected, said;
    for (const auto& c : cases) {
        EXPECT_EQ(SectionType(doc, c.tab, c.tab == TabIdSection ? 1 : 0, c.section), c.type) << c.tab << " " << c.section;
        if (!c.problem.isEmpty())
            expected << u"mode/"_s + file[c.tab] + u".ini:0 "_s + c.problem;
    }
    for (const Problem& p : log.items()) {
        said << p.file + u':' + QString::number(p.line) + u' ' + p.message.section(u'」', 0, 0) + u'」';
        EXPECT_TRUE(p.message.endsWith(u"は 1 バイトの数として読みます。"_s)) << p.message.toStdString();
    }
    EXPECT_EQ(said.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

TEST_F(Definitions, ProblemsAreReportedWithFileAndLineAndTheRestLoads)
{
    home.writeMode(u"mode"_s, uR"(
        nosna.idn    x|
        short.idn    x|
        short.sna    10|A|20|
        shorter.idn  x|
        shorter.sna  10|A|20
        offsets.idn  x|
        offsets.sna  GHIJ|A|123456789|B|80000000|C|FFFF|D|61O01|E|0x61002|F|
        zz.idn       fine|
        zz.sna       30|Z|
        bytes.sna
        個別データ.sna  6100G|お金|$3005|レベル|
    )"_s);
    home.writeBytes(u"mode/bytes.idn"_s, QByteArray("ok\r\n\x82\r\nok\r\n", 11));
    home.writeLines(u"mode/long.idn"_s, {u"x"_s});
    home.writeLines(u"mode/long.sna"_s, {QString(10'000'000, u'F'), u"HP"_s});
    load();

    EXPECT_EQ(Places(log), QStringList({u"mode/long.sna:1"_s, u"mode/nosna.sna:0"_s, u"mode/offsets.sna:1"_s, u"mode/offsets.sna:3"_s,
                                           u"mode/offsets.sna:5"_s, u"mode/offsets.sna:9"_s, u"mode/short.sna:4"_s,
                                           u"mode/shorter.sna:4"_s, u"mode/bytes.idn:2"_s, u"mode/個別データ.sna:1"_s}))
        << log.text().toStdString();
    const QString quoted = log.items()[0].message;
    EXPECT_LT(quoted.size(), 200);
    EXPECT_TRUE(quoted.contains(u"「"_s + QString(80, u'F') + u"…」"_s)) << quoted.toStdString();
    EXPECT_TRUE(log.items()[5].message.contains(u"「61O01」"_s)) << log.items()[5].message.toStdString();

    EXPECT_EQ(set(u"long"_s).SectionAddressUnusable(1), 1);
    EXPECT_EQ(std::tuple(set(u"nosna"_s).SectionCount, set(u"nosna"_s).IdCount), std::tuple(0, 2));
    const DataSet& cut = set(u"short"_s);
    EXPECT_EQ(std::tuple(cut.SectionCount, cut.SectionNames(1), cut.SectionAddresses(2), cut.SectionNames(2)),
              std::tuple(2, u"A"_s, 0x20, QString()));
    EXPECT_EQ(set(u"shorter"_s).SectionCount, 1);
    const DataSet& offsets = set(u"offsets"_s);
    for (int q : {1, 2, 3, 5})
        EXPECT_EQ(std::tuple(offsets.SectionAddresses(q), offsets.SectionAddressUnusable(q)), std::tuple(0, std::uint8_t{1})) << q;
    EXPECT_EQ(offsets.SectionAddresses(4), 0xFFFF);
    EXPECT_EQ(std::tuple(offsets.SectionAddresses(6), offsets.SectionAddressUnusable(6)), std::tuple(0x61002, std::uint8_t{0}));
    EXPECT_EQ(std::tuple(set(u"zz"_s).SectionAddresses(1), set(u"zz"_s).IdNames(1)), std::tuple(0x30, u"fine"_s));
    EXPECT_EQ(set(u"bytes"_s).IdCount, 4);
    EXPECT_EQ(std::tuple(doc.IndividualAddressUnusable(1), doc.IndividualAddresses(2), doc.IndividualAddressUnusable(2)),
              std::tuple(1, 0x3005, 0));
}

TEST_F(Definitions, ALoadNeverKeepsAnythingOfTheModeBefore)
{
    home.writeMode(u"mode"_s, u"クラス.idn 戦士|魔法使い|\n クラス.sna 100|HP|"_s);
    load();
    ASSERT_EQ(doc.ClassDataSet, 1);
    ASSERT_EQ(doc.DataSets(1).SectionCount, 1);

    home.writeMode(u"other"_s, u"items.idn x|\n items.sna"_s, {});
    load();
    EXPECT_EQ(doc.ClassDataSet, 0);
    ASSERT_EQ(doc.DataSetCount, 1);
    EXPECT_EQ(std::tuple(doc.DataSets(1).SectionCount, doc.SettingDefaults(SettingNotation)), std::tuple(0, 0));

    home.writeZorIni(u"missing"_s);
    load();
    // The files of tabs 2 and 3 are missing with their folder.
    EXPECT_EQ(Places(log), (QStringList{u"missing:0"_s, u"missing/個別データ.sna:0"_s, u"missing/敵パラメータ.sna:0"_s}));
    EXPECT_EQ(std::tuple(doc.DataSetCount, doc.DataSets.upper(), doc.DataSets(1).SectionCount, doc.DataSets(1).IdCount),
              std::tuple(0, 1, 0, 0));
}

TEST_F(Definitions, TablesPastTheCellLimitAreRefused)
{
    // (32767 + 1) × (2047 + 1) cells are exactly the limit; the next table, of 2 cells, is past it.
    home.writeMode(u"mode"_s);
    home.writeTable(u"mode"_s, u"a"_s, kMaxSixteenBit, 2047);
    home.writeTable(u"mode"_s, u"b"_s, 1, 0);
    home.writeTable(u"mode"_s, u"c"_s, 1, 0);
    load();
    ASSERT_EQ(doc.DataSetCount, 3);
    EXPECT_EQ(std::tuple(doc.DataSets(1).IdCount, doc.DataSets(1).SectionCount), std::tuple(int{kMaxSixteenBit}, 2047));
    const DataSet& refused = doc.DataSets(2);
    EXPECT_EQ(std::tuple(refused.Name, refused.IdCount, refused.SectionCount), std::tuple(u"b"_s, 0, 0));
    EXPECT_TRUE(refused.IdNames.empty() && refused.SectionNames.empty());
    EXPECT_EQ(Places(log), (QStringList{u"mode/b.idn:0"_s, u"mode/c.idn:0"_s}));
    EXPECT_TRUE(log.items()[0].message.contains(u"上限"_s)) << log.items()[0].message.toStdString();

    // Without the large table both small ones fit.
    home.writeTable(u"mode"_s, u"a"_s, 1, 1);
    load();
    EXPECT_TRUE(log.empty()) << log.text().toStdString();
    EXPECT_EQ(doc.DataSets(2).IdCount, 1);
}

// A pipe as ZOR.ini or .sna, a device as .idn are refused at once, a folder as .ini is no settings file; a missing .ini is fine.
TEST_F(Definitions, FilesThatAreNotRegularAreProblemsNotWaitedOn)
{
    home.writeMode(u"mode"_s, u"a.idn x|\n b.sna 10|B|\n c.idn x|\n c.sna 10|C|\n d.idn x|\n d.sna 10|D|"_s);
    for (const QString& name : {u"ZOR.ini"_s, u"mode/a.sna"_s}) {
        QFile::remove(home.file(name));
        ASSERT_EQ(mkfifo(QFile::encodeName(home.file(name)).constData(), 0644), 0) << name.toStdString();
    }
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, home.file(u"mode/b.idn"_s)));
    ASSERT_TRUE(QDir(home.path()).mkpath(u"mode/c.ini"_s));
    log = ProblemLog(home.path());
    EXPECT_EQ(ReadZorSettings(home.path(), log).Mode, QString());
    LoadDefinitions(doc, home.path(), ZorSettings{u"mode"_s, 16, QString()}, log);
    EXPECT_EQ(Places(log), (QStringList{u"ZOR.ini:0"_s, u"mode/a.sna:0"_s, u"mode/b.idn:0"_s, u"mode/c.ini:0"_s}));
    const QString why[] = {u"通常のファイルではありません"_s, u"通常のファイルではありません"_s, u"通常のファイルではありません"_s, u"フォルダです"_s};
    for (std::size_t i = 0; i < log.items().size() && i < 4; ++i)
        EXPECT_TRUE(log.items()[i].message.contains(why[i])) << log.items()[i].message.toStdString();
    EXPECT_EQ(std::tuple(set(u"b"_s).SectionCount, set(u"b"_s).IdCount), std::tuple(1, 0));
    EXPECT_EQ(set(u"c"_s).SectionSettings(SettingStep, 1), 1);

    // Only the data set whose .ini can't be read has cells whose place is unknown.
    EXPECT_TRUE(set(u"c"_s).SettingsUnreadable && !set(u"d"_s).SettingsUnreadable);
}

// Files saved as UTF-8 are said so once each, and still read as CP932.
TEST_F(Definitions, Utf8FilesAreProblemsReportedOnce)
{
    home.writeMode(u"mode"_s, u"b.idn 戦士|\n b.sna 10|体力|"_s);
    home.writeBytes(u"ZOR.ini"_s, "\xEF\xBB\xBF\r\n[Option]\r\nMode=mode\r\n");
    home.writeBytes(u"mode/a.idn"_s, u"戦士\r\n僧侶\r\n魔法使い"_s.toUtf8());
    home.writeBytes(u"mode/a.sna"_s, u"10\r\n体力\r\n"_s.toUtf8());
    home.writeBytes(u"mode/a.ini"_s, u"; 設定\r\n[Step]\r\nSection1=2\r\n"_s.toUtf8());
    home.writeBytes(u"mode/b.ini"_s, "[Step]\r\nSection1=3\r\n\xC2\xB1\r\n"); // ASCII and two half-width kana
    log = ProblemLog(home.path());
    const ZorSettings settings = ReadZorSettings(home.path(), log);
    LoadDefinitions(doc, home.path(), settings, log);
    // Nothing more about the lines that UTF-8 garbles.
    EXPECT_EQ(Places(log), (QStringList{u"ZOR.ini:0"_s, u"mode/a.sna:0"_s, u"mode/a.idn:0"_s, u"mode/a.ini:0"_s}))
        << log.text().toStdString();
    for (const Problem& problem : log.items())
        EXPECT_EQ(problem.message, u"UTF-8 で保存されているようです。Shift-JIS で保存してください"_s);
    EXPECT_EQ(settings.Mode, u"mode"_s);
    EXPECT_EQ(std::tuple(set(u"a"_s).IdCount, set(u"a"_s).SectionSettings(SettingStep, 1)), std::tuple(3, std::int16_t{2}));
    EXPECT_EQ(set(u"b"_s).SectionSettings(SettingStep, 1), 3);
}

// A record whose first byte is the class number and whose other bytes count up from base.
Record ClassRecord(int classNumber, int base)
{
    Record record(kBattleRecordSize);
    record[0] = static_cast<std::uint8_t>(classNumber);
    for (int j = 1; j < kBattleRecordSize; ++j)
        record[j] = static_cast<std::uint8_t>(base + j);
    return record;
}

// Runs work in a child with at most bytes of address space, so a table grown to another's size fails there, not the machine.
bool InChildWithin(const std::function<bool()>& work, rlim_t bytes = rlim_t{512} << 20)
{
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
        bool ok = false;
        try {
            ok = work();
        } catch (...) {
        }
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class ReadImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.writeMode(u"mode"_s, uR"(
            クラス.idn      なし|戦士|僧侶
            クラス.sna      1000|HP|2000|MP|
            クラス.ini      [Step]|Section1=3|
            個別データ.sna  3000|お金|3005|レベル|
            個別データ.ini  [Notation]|Section2=10|
        )"_s);
        for (int i = 0; i < 0x20; ++i) {
            rom.image()[0x1000 + i] = static_cast<char>(0x10 + i);
            rom.image()[0x2000 + i] = static_cast<char>(0x80 + i);
        }
        rom.image()[0x3000] = 0x42;
        rom.image()[0x3005] = 7;
        // Block 0 holds three records, every other block one; classes 1, 2 and one without a name.
        std::vector<Block> blocks(kBlockCount, Block{ClassRecord(1, 0)});
        blocks[0] = {ClassRecord(1, 10), ClassRecord(2, 20), ClassRecord(9, 30)};
        rom.encode(test::StreamOf(blocks));
    }

    void load(const QByteArray& image)
    {
        LoadDocument(doc, home.file(u"game.rom"_s), image, home.path());
    }

    ProgramFolder home;
    RomBuilder rom;
    DocumentState doc;
};

// Cells from the section's offset plus the ID times its step; records and block starts from the decoded blocks.
TEST_F(ReadImage, CellsComeFromTheirOffsetsAndRecordsFromTheBlocks)
{
    load(rom.image());
    EXPECT_TRUE(doc.Problems.empty()) << doc.Problems.text().toStdString();
    ASSERT_EQ(doc.DataSets(1).IdCount, 3);
    for (int n = 0; n < 3; ++n) // step 3, and no step: consecutive
        EXPECT_EQ(std::tuple(doc.IdBytes(1)(1, n), doc.IdBytes(1)(2, n)), std::tuple(0x10 + 3 * n, 0x80 + n)) << n;
    EXPECT_EQ(std::tuple(doc.IndividualCount, doc.IndividualBytes()(1), doc.IndividualBytes()(2), doc.IndividualNames(2)),
              std::tuple(2, 0x42, 7, u"レベル"_s));
    // DefaultNotation, and the entry's own.
    EXPECT_EQ(std::tuple(doc.IndividualSettings(SettingNotation, 1), doc.IndividualSettings(SettingNotation, 2)), std::tuple(16, 10));

    ASSERT_EQ(doc.BattleCount(), 3 + 313);
    EXPECT_EQ(std::tuple(doc.BattleParams(1, 3), doc.BattleParams(25, 2)), std::tuple(9, 20 + 24));
    EXPECT_EQ(std::tuple(doc.GroupStarts(1), doc.GroupStarts(313)), std::tuple(4, 316)); // block 1 begins with record 4
    EXPECT_EQ(std::tuple(doc.BattleSectionNames(25), doc.BattleSettings(SettingByte, 25)), std::tuple(u"項目25"_s, 1));
    EXPECT_EQ(doc.Codec.DictionaryBase(), RomBuilder::kDictionaryBase);
}

// The image ends at ID 2 of section 1 (0x1006) or just after: its last byte is a cell's like any other.
TEST_F(ReadImage, BytesPastTheEndReadAsZeroAndAreReported)
{
    for (const qsizetype size : {0x1006, 0x1007}) {
        SCOPED_TRACE(size);
        load(rom.image().left(size));
        const bool last = size == 0x1007;
        EXPECT_EQ((std::vector<int>{doc.IdBytes(1)(1, 1), doc.IdBytes(1)(1, 2), doc.IdBytes(1)(2, 0),
                                    doc.IndividualBytes()(1)}),
                  (std::vector<int>{0x13, last ? 0x16 : 0, 0, 0}));
        // The size, one line per section and entry outside, and the battle blocks, which lie past the end too.
        QStringList expected{u"game.rom:0"_s, u"mode/クラス.sna:1"_s, u"mode/クラス.sna:3"_s, u"mode/個別データ.sna:1"_s,
                             u"mode/個別データ.sna:3"_s, u"game.rom:0"_s};
        if (last)
            expected.removeAt(1);
        EXPECT_EQ(Places(doc.Problems), expected);
        EXPECT_TRUE(doc.Problems.items()[1].message.contains(last ? u"3 個"_s : u"1 個"_s)) << doc.Problems.items()[1].message.toStdString();
        EXPECT_EQ(std::pair(doc.BattleDecodeFailed, doc.BattleCount()), std::pair(true, 0));
    }
}

TEST_F(ReadImage, AFailedDecodeLeavesNothingOfTheImageBefore)
{
    load(rom.image());
    ASSERT_GT(doc.BattleCount(), 0);
    test::PutByte(doc, {TabBattle, 0, 2, 1}, doc.BattleParams(2, 1) ^ 1);
    ASSERT_TRUE(doc.History->Modified());
    for (int i = 0; i < 3; ++i)
        doc.History->Push(JournalSide::Undo, JournalStep{{{TabIdSection, 1, 1, 1, 1, 1, 0}}, {}});

    QByteArray broken = rom.image();
    broken[kTablePointerBank] = 0x10; // the pointer table now lies before the image
    load(broken);
    EXPECT_EQ(Places(doc.Problems), QStringList{u"game.rom:0"_s});
    EXPECT_EQ(std::tuple(doc.BattleDecodeFailed, doc.BattleCount(), doc.BattleParams().upper(1), doc.GroupStarts(1), doc.BattleStream.upper()),
              std::tuple(true, 0, 1, 0, 1));
    // Names and settings still come from the definitions. What a file read keeps, and what it starts anew.
    EXPECT_EQ(doc.BattleSectionNames(1), u"項目1"_s);
    EXPECT_EQ(std::tuple(doc.History->Modified(), doc.History->UndoCount(), doc.RomPath), std::tuple(false, 0, home.file(u"game.rom"_s)));
}

TEST_F(ReadImage, DefinitionProblemsNeverKeepTheModeBefore)
{
    load(rom.image());
    ASSERT_EQ(doc.IndividualCount, 2);
    // The mode folder loses its individual data and its battle captions, and gets a 27th pair.
    QFile::remove(home.file(u"mode/個別データ.sna"_s));
    test::WriteCompactFile(home.path(), u"mode/敵パラメータ.sna"_s, test::BattleCaptions(u"新"_s, 27));
    load(rom.image());
    EXPECT_EQ(std::tuple(doc.IndividualCount, doc.BattleSectionNames(1), doc.BattleSectionNames(26)), std::tuple(0, u"新1"_s, u"新26"_s));
    EXPECT_EQ(Places(doc.Problems), (QStringList{u"mode/個別データ.sna:0"_s, u"mode/敵パラメータ.sna:53"_s}));
    EXPECT_GT(doc.BattleCount(), 0);
}

// A size not of whole 32 KiB banks is said once: 512 bytes over as a copier's header, else as no SNES image.
TEST_F(ReadImage, TheImageSizeIsChecked)
{
    auto sizeProblem = [&] {
        QString said;
        for (const Problem& p : doc.Problems.items())
            said += p.message.contains(u"コピー機のヘッダー"_s)      ? u"H"_s
                    : p.message.contains(u"SNES の ROM イメージ"_s) ? u"N"_s : QString();
        return said;
    };
    const std::vector<std::pair<qsizetype, QString>> sizes{
        {7, u"N"_s},           {0x7FFF, u"N"_s},           {0x8000, u""_s},  {0x8000 + 511, u"N"_s},
        {0x8000 + 512, u"H"_s}, {0x8000 + 513, u"N"_s},     {0x10000, u""_s}, {0x10000 + 512, u"H"_s},
        {512, u"H"_s},          {0x400000 + 0x8000, u""_s}, {0x300001, u"N"_s}};
    for (const auto& [size, expected] : sizes) {
        load(QByteArray(size, '\0'));
        EXPECT_EQ(sizeProblem(), expected) << size;
    }
}

// A cell whose place is uncertain can't change: the load says why, cells and row commands refuse with that reason.
TEST_F(ReadImage, CellsWhosePlaceIsUncertainAreReadOnly)
{
    struct Case {
        const char* name;
        std::function<QByteArray()> image; // after any change to the program folder
        const char16_t* reason;            // a part of every refusal's text
        bool idCells, individualCells, battleCells;
        int saidAtLoad = 1;
    };
    const std::vector<Case> cases{
        // The blocks can't be found behind the header: there are no records to refuse.
        {"copier header", [&] { return QByteArray(512, '\0') + rom.image(); }, u"コピー機のヘッダー", true, true, false},
        {"battle table moved",
         [&] { return RomBuilder(rom).bytes(0x1F0000, rom.image().mid(kPointerTableOffset, 2 * kBlockCount)).tableAt(0x1F0000).image(); },
         u"戦闘パラメータの表が 0x1F0000 にあるため", false, false, true},

        {"checksum while it is fixed",
         [&] {
             home.writeMode(u"mode"_s, u"個別データ.sna 3000|お金|7FDF|和|"_s, {u"FixChecksum=1"_s});
             return rom.image();
         },
         u"チェックサム", false, true, false, 0},
        // Only a data set's: the individual data and the battle records keep their places.
        {"table settings unreadable",
         [&] {
             home.writeZorIni(u"mode"_s, u"16"_s);
             for (const QString& ini : {u"クラス.ini"_s, u"個別データ.ini"_s, u"敵パラメータ.ini"_s}) {
                 QFile::remove(home.file(u"mode/"_s + ini));
                 QDir(home.path()).mkpath(u"mode/"_s + ini);
             }
             return rom.image();
         },
         u"設定ファイル", true, false, false, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.image());
        EXPECT_EQ(std::count_if(doc.Problems.items().begin(), doc.Problems.items().end(),
                                [&](const Problem& p) { return p.message.contains(QString::fromUtf16(c.reason)); }),
                  c.saidAtLoad);
        const auto refused = [&](int tab, int dataSet, int col, int row) {
            const std::optional<QString> why = ReadOnlyReason(doc, tab, dataSet, col, row);
            EXPECT_TRUE(!why || why->contains(QString::fromUtf16(c.reason))) << why->toStdString();
            return why.has_value();
        };
        EXPECT_EQ(refused(TabIdSection, 1, 1, 2), c.idCells);
        EXPECT_EQ(refused(TabIndividual, 0, 1, 2), c.individualCells);
        EXPECT_EQ(refused(TabBattle, 0, 5, 2), c.battleCells);
        if (doc.BattleCount() > 0) {
            const Result<RowResult> insert = InsertBattleRow(doc, {}, TabBattle, 1);
            EXPECT_EQ(!insert, c.battleCells);
            EXPECT_TRUE(insert || insert.failure().message().contains(QString::fromUtf16(c.reason)));
        }
    }
    // The byte after the checksum is no part of it.
    home.writeMode(u"mode"_s, u"個別データ.sna 7FE0|後|"_s, {u"FixChecksum=1"_s});
    load(rom.image());
    EXPECT_EQ(ReadOnlyReason(doc, TabIndividual, 0, 1, 1), std::nullopt);
}

TEST_F(ReadImage, CellsBeforeTheImageReadAsZeroAndAreReadOnly)
{
    // Section 1 steps back from offset 1 past the image's start; section 2 reaches the size limit; 3 is unreadable.
    test::WriteCompactFile(home.path(), u"mode/後.idn"_s, u"a|b|c"_s);
    test::WriteCompactFile(home.path(), u"mode/後.sna"_s, u"1|戻る|3FFFFFF|端|ZZ|読めない|"_s);
    test::WriteCompactFile(home.path(), u"mode/後.ini"_s, u"[Step]|Section1=-1|"_s);
    rom.image()[1] = 0x11;
    rom.image()[0] = 0x22;
    load(rom.image());
    const int k = 2; // クラス comes first in code order
    ASSERT_EQ(doc.DataSets(k).Name, u"後"_s);
    EXPECT_EQ(std::tuple(doc.IdBytes(k)(1, 0), doc.IdBytes(k)(1, 1), doc.IdBytes(k)(1, 2)), std::tuple(0x11, 0x22, 0));
    EXPECT_EQ(Places(doc.Problems), (QStringList{u"mode/後.sna:5"_s, u"mode/後.sna:1"_s, u"mode/後.sna:3"_s}));
    EXPECT_TRUE(doc.Problems.items()[1].message.contains(u"1 個のバイトがイメージの先頭より前"_s)) << doc.Problems.items()[1].message.toStdString();

    EXPECT_EQ((std::vector<std::optional<std::int64_t>>{CellOffset(doc, TabIdSection, k, 1, 3), CellOffset(doc, TabIdSection, k, 2, 2),
                                                        CellOffset(doc, TabIdSection, k, 3, 1), CellOffset(doc, TabIndividual, 0, 1, 2),
                                                        CellOffset(doc, TabBattle, 0, 1, 1)}),
              (std::vector<std::optional<std::int64_t>>{-1, kMaxImageSize, std::nullopt, 0x3005, std::nullopt}));
    // 0x3FFFFFF is the last byte an image may have.
    EXPECT_TRUE(IsCellWritable(doc, TabIdSection, k, 1, 2) && IsCellWritable(doc, TabIdSection, k, 2, 1)
                && IsCellWritable(doc, TabBattle, 0, 25, 1));
    EXPECT_EQ(ReadOnlyReason(doc, TabIdSection, k, 1, 3),
              u"「後」の ID 2「c」、セクション「戻る」はオフセット -0x1 がイメージの先頭より前にあるため、書けません。"_s);
    EXPECT_TRUE(ReadOnlyReason(doc, TabIdSection, k, 2, 2)->contains(u"上限"_s));
    EXPECT_TRUE(ReadOnlyReason(doc, TabIdSection, k, 3, 1)->contains(u"「読めない」はオフセットを読めない"_s));
}

TEST_F(ReadImage, AModeOutsideTheProgramFolderGivesNoModeFolder)
{
    // The program folder holds definitions of its own, which must not stand in for the mode's.
    home.writeMode(u"."_s, u"top.idn x\n top.sna 1000|S1|"_s);
    for (const QString& mode : {u"../.."_s, u".."_s, u"."_s, u"../mode"_s, u"mode/"_s, u"mode\\x"_s, u"/tmp"_s}) {
        SCOPED_TRACE(mode.toStdString());
        home.writeZorIni(mode);
        load(rom.image());
        ASSERT_EQ(Places(doc.Problems), QStringList{u"ZOR.ini:0"_s});
        EXPECT_TRUE(doc.Problems.items()[0].message.contains(mode)) << doc.Problems.items()[0].message.toStdString();
        // The battle blocks come from the image alone.
        EXPECT_EQ(std::tuple(doc.ModeName, doc.ModeFolder, doc.DataSetCount, doc.IndividualCount, doc.BattleSectionNames(1),
                             TableSettingsFile(doc, TabBattle, 0), doc.BattleCount()),
                  std::tuple(mode, QString(), 0, 0, QString(), QString(), 3 + 313));
        EXPECT_EQ(FormatByte(doc, TabBattle, 0, 25, 0x2A), u"0x2A"_s);
        // A notation is kept in the document only: there is no settings file to write it to.
        EXPECT_EQ(SetNotation(doc, {TabBattle, 0}, 1, 25, NotationUnsigned), NotationChange::Changed);
        EXPECT_EQ(FormatByte(doc, TabBattle, 0, 25, 0x2A), u"42"_s);
    }
}

TEST_F(ReadImage, EntriesPastTheReadablePairsAreNeverRead)
{
    // Four entries by the line count; the empty line ends the pairs after the second.
    test::WriteCompactFile(home.path(), u"mode/個別データ.sna"_s, u"3000|お金|3005|レベル||x|y|z|"_s);
    rom.image()[0] = 0x55;
    load(rom.image());
    ASSERT_EQ(doc.IndividualCount, 4);
    EXPECT_EQ(std::tuple(doc.IndividualBytes()(2), doc.IndividualBytes()(3), doc.IndividualBytes()(4)), std::tuple(7, 0, 0));
    EXPECT_EQ(std::tuple(doc.IndividualAddressUnusable(3), doc.IndividualAddressUnusable(4)), std::tuple(1, 1));
    EXPECT_EQ(Places(doc.Problems), QStringList{u"mode/個別データ.sna:5"_s});
}

TEST_F(ReadImage, ATableTakesMemoryByItsOwnSize)
{
    // A wide table beside a tall one, and a thousand small tables beside one of the most IDs.
    home.writeTable(u"mode"_s, u"wide"_s, 1, 23200);
    home.writeTable(u"mode"_s, u"tall"_s, 23200, 1);
    EXPECT_TRUE(InChildWithin([&] {
        load(rom.image());
        const DataSet& tall = doc.DataSets(1);
        const DataSet& wide = doc.DataSets(2);
        return doc.Problems.empty() && wide.SectionCount == 23200 && wide.IdCount == 1 && doc.IdBytes(2)(23200, 0) == 0x10
               && tall.IdCount == 23200 && tall.SectionCount == 1 && doc.IdBytes(1)(1, 5) == 0x15 && tall.IdNames(23200) == u"ID23199"_s;
    }));

    QFile::remove(home.file(u"mode/wide.idn"_s));
    QFile::remove(home.file(u"mode/tall.idn"_s));
    home.writeTable(u"mode"_s, u"big"_s, kMaxSixteenBit, 1, u"0"_s);
    for (int k = 0; k < 1000; ++k)
        home.writeTable(u"mode"_s, u"t%1"_s.arg(k, 4, 10, QChar(u'0')), 1, 1);
    EXPECT_TRUE(InChildWithin([&] {
        load(rom.image());
        return doc.DataSetCount == 1002 && doc.DataSets(1).IdCount == kMaxSixteenBit && doc.DataSets(1001).IdCount == 1
               && doc.IdBytes(1001)(1, 0) == 0x10;
    }));
}

// Read as any regular file, with a word on folders and the images' own limit; empty and tiny files are images too.
TEST(ReadRomImage, RefusesWhatIsNoImage)
{
    ProgramFolder home;
    home.writeBytes(u"big.rom"_s, {});
    ASSERT_TRUE(QFile::resize(home.file(u"big.rom"_s), kMaxImageSize + 1)); // sparse: nothing is written
    home.writeBytes(u"empty.rom"_s, {});
    home.writeBytes(u"one.rom"_s, "\x07");
    EXPECT_EQ(ReadRomImage(home.path()).failure().message(), u"フォルダです。ROM イメージのファイルを選んでください。"_s);
    EXPECT_TRUE(ReadRomImage(home.file(u"big.rom"_s)).failure().message().contains(u"64 MiB"_s));
    EXPECT_EQ(std::tuple(ReadRomImage(home.file(u"empty.rom"_s)), ReadRomImage(home.file(u"one.rom"_s))),
              std::tuple(QByteArray(), QByteArray("\x07")));
}

TEST(ProblemLog, SummaryShowsTwentyLinesAndCountsTheRest)
{
    ProblemLog log(u"/home/zor"_s);
    for (int i = 1; i <= 25; ++i)
        log.add(u"/home/zor/mode/a.sna"_s, i, u"問題"_s);
    log.add(u"/elsewhere/game.rom"_s, 0, u"外"_s);
    const QStringList lines = log.summary().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(std::pair(lines[0], lines[20]), std::pair(u"mode/a.sna:1: 問題"_s, u"ほか 6 件"_s));
    // A file outside the program folder keeps its whole path.
    EXPECT_TRUE(log.text().endsWith(u"\n/elsewhere/game.rom: 外\n"_s));
}

} // namespace
} // namespace zor
