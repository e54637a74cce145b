#include "cli/PatchCommand.h"
#include "core/files/ReadFile.h"
#include "core/output/HeaderChecksum.h"
#include "core/patch/Bps.h"
#include "core/patch/Ips.h"
#include "core/patch/Patch.h"
#include "tests/patch/PatchPairs.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ModeFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using test::NoisyImage;

// What a patch gave back; a refusal fails the test with its message and gives "(refused)".
QByteArray Applied(const Result<QByteArray>& applied)
{
    EXPECT_TRUE(applied) << applied.failure().message().toStdString();
    return applied ? *applied : QByteArray("(refused)");
}

// Why a patch was refused; empty when it wasn't.
QString Why(const Result<QByteArray>& result) { return result ? QString() : result.failure().message(); }

// Round trips at the edges where a byte could be lost, and patches that stay small for few changes, runs and moves.
TEST(Bps, RoundTripsKeepEveryByteInSmallPatches)
{
    const QByteArray base = NoisyImage(0x3000);
    const auto edited = [](QByteArray t, std::initializer_list<qsizetype> offsets) {
        for (const qsizetype at : offsets)
            t[at] = static_cast<char>(~t[at]);
        return t;
    };
    QByteArray runs = base;
    runs.replace(0x100, 0x800, QByteArray(0x800, '\x41')).replace(0x1000, 0x10, QByteArray(0x10, '\0'));
    const QByteArray zero(1, '\0');
    const QByteArray big = NoisyImage(4 * 1024 * 1024);
    struct Case { const char* name; QByteArray source, target; qsizetype below = 1 << 30; };
    const std::vector<Case> cases{
        {"first byte", base, edited(base, {0})}, {"last byte", base, edited(base, {base.size() - 1})},
        {"first and last", base, edited(base, {0, 1, base.size() - 2, base.size() - 1})},
        {"every third byte", base, edited(base, {10, 13, 16, 19, 22, 25})}, {"unchanged", base, base},
        {"grown by zeros", base, base + QByteArray(0x2000, '\0')}, {"grown, last byte 0", base, base + NoisyImage(9, 2) + zero},
        {"grown by one zero", base, base + zero}, {"shrunk", base, base.left(0x1234)},
        {"shrunk and changed", base, edited(base, {5}).left(0x2FFF)}, {"from nothing", QByteArray(), NoisyImage(300, 3)},
        {"to nothing", base, QByteArray()}, {"both empty", QByteArray(), QByteArray()}, {"runs of one value", base, runs},
        {"run at the start", base, QByteArray(0x40, '\x07') + base.mid(0x40)},
        {"bytes inserted", base, base.left(0x1000) + NoisyImage(100, 5) + base.mid(0x1000)},
        {"bytes deleted", base, base.left(0x1000) + base.mid(0x1100)}, {"deleted at the start", base, base.mid(3)},
        {"inserted at the start", base, "abc" + base},
        // Copies that end where the source ends, then a zero, as the byte after a QByteArray's end is.
        {"the source's end first", base, base.right(100) + zero + base.chopped(100) + NoisyImage(100, 7)},
        {"a few of its bytes first", base, NoisyImage(30, 8) + base.right(20) + zero + base.chopped(40) + NoisyImage(40, 9)},
        {"five bytes of 4 MiB", big, edited(big, {0x10, 0x11, 0x8123, 0x200000, 0x3FFFFF}), 100},
        {"3 MB grown to 4 MB with zeros, as a save grows it", big.left(0x300000), big.left(0x300000) + QByteArray(0x100000, '\0'), 60},
        {"64 bytes inserted", big, big.left(0x100000) + NoisyImage(64, 6) + big.mid(0x100000), 150},
        {"64 bytes deleted", big, big.left(0x100000) + big.mid(0x100040), 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<QByteArray> patch = MakeBps(c.source, c.target);
        ASSERT_TRUE(patch) << patch.failure().message().toStdString();
        EXPECT_LT(patch->size(), c.below);
        EXPECT_TRUE(Applied(ApplyPatch(*patch, c.source)) == c.target);
    }
}

// Moved data costs little wherever it went, and no patch is larger than the one of the rules alone.
TEST(Bps, MovedDataCostsLittle)
{
    const std::set<std::string> underOneKiB{"100 bytes inserted", "100 bytes inserted, size kept", "64 KiB block moved"};
    for (const test::PatchPair& pair : test::MeasuredPairs()) {
        SCOPED_TRACE(pair.name);
        const QByteArray patch = *MakeBps(pair.source, pair.target);
        EXPECT_TRUE(ApplyBps(patch, pair.source) == pair.target);
        EXPECT_LE(patch.size(), MakeBpsWithoutIndex(pair.source, pair.target)->size());
        if (underOneKiB.count(pair.name)) {
            EXPECT_LT(patch.size(), 1024);
        }
    }
}

TEST(Bps, AnyEditsRoundTripAndNeverGrowThePatch)
{
    std::mt19937 random(11);
    auto below = [&](qsizetype n) { return n > 0 ? static_cast<qsizetype>(random() % n) : 0; };
    for (int k = 0; k < 60; ++k) {
        const QByteArray source = k % 10 == 9 ? QByteArray() : k % 3 ? test::RomLikeImage(below(0x40000), k) : NoisyImage(below(0x20000), k);
        QByteArray target = k % 10 == 8 ? QByteArray() : source;
        for (int e = 0; e < k % 12; ++e) {
            const qsizetype at = below(target.size() + 1);
            const qsizetype length = 1 + below(5000);
            const QByteArray block = source.mid(below(source.size()), length);
            switch (random() % 7) {
            case 0: target.replace(at, 1, QByteArray(1, static_cast<char>(random()))); break;      // a changed cell
            case 1: target.insert(at, NoisyImage(length, k)); break;                               // new bytes
            case 2: target.remove(at, length); break;                                              // deleted, cut
            case 3: target.insert(at, block); break;                                               // copied from anywhere
            case 4: target.insert(at, target.mid(below(target.size()), length)); break;           // repeated
            case 5: { // moved
                const QByteArray moved = target.mid(at, length);
                target.remove(at, length);
                target.insert(below(target.size() + 1), moved);
                break;
            }
            case 6: target.insert(at, QByteArray(1 + below(40), static_cast<char>(random() % 2))); break; // a short run
            }
        }
        SCOPED_TRACE(k);
        const QByteArray patch = *MakeBps(source, target);
        EXPECT_TRUE(Applied(ApplyBps(patch, source)) == target);
        EXPECT_LE(patch.size(), MakeBpsWithoutIndex(source, target)->size());
    }
}

TEST(Bps, APatchForAnotherFileIsRefused)
{
    const QByteArray source = NoisyImage(0x1000);
    QByteArray target = source;
    target[0x10] = 1;
    const QByteArray patch = *MakeBps(source, target);

    QByteArray sameSizeOtherBytes = source;
    sameSizeOtherBytes[0x800] = static_cast<char>(sameSizeOtherBytes[0x800] + 1);
    for (const QByteArray& other : {sameSizeOtherBytes, source.left(0xFFF), source + "x", QByteArray()}) {
        const QString why = Why(ApplyPatch(patch, other));
        EXPECT_TRUE(why.contains(u"別のファイル用"_s)) << why.toStdString();
    }
}

TEST(Bps, EveryDamagedByteAndEveryCutIsRefused)
{
    const QByteArray source = NoisyImage(200);
    QByteArray target = source + QByteArray(40, '\0');
    target[3] = 9;
    const QByteArray patch = *MakeBps(source, target);
    for (qsizetype i = 0; i < patch.size(); ++i) {
        QByteArray damaged = patch;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x04);
        EXPECT_FALSE(ApplyPatch(damaged, source)) << "byte " << i;
    }
    for (qsizetype n = 0; n < patch.size(); ++n)
        EXPECT_FALSE(ApplyPatch(patch.left(n), source)) << "cut to " << n;
    EXPECT_TRUE(ApplyPatch(patch, source));
}

QByteArray Bytes(std::initializer_list<int> bytes) { return QByteArray::fromStdString(std::string(bytes.begin(), bytes.end())); }

QByteArray Le32(uLong value) { return Bytes({int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF), int(value >> 24 & 0xFF)}); }
uLong ZlibCrc(const QByteArray& bytes) { return crc32(0, reinterpret_cast<const Bytef*>(bytes.constData()), static_cast<uInt>(bytes.size())); }

// "BPS1", the numbers and actions as given, then the CRC32s (zlib's) of source, of target and of the patch so far.
QByteArray HandMade(const QByteArray& body, const QByteArray& source, const QByteArray& target)
{
    const QByteArray patch = "BPS1" + body + Le32(ZlibCrc(source)) + Le32(ZlibCrc(target));
    return patch + Le32(ZlibCrc(patch));
}

// Numbers coded by hand: 7 bits a byte, lowest first, the last byte marked 0x80, one taken off after each other byte.
struct Number { std::uint64_t value; QByteArray bytes; };
const std::vector<Number> kNumbers{
    {0, Bytes({0x80})},
    {1, Bytes({0x81})},
    {127, Bytes({0xFF})},                  // 0x7F | 0x80
    {128, Bytes({0x00, 0x80})},            // 128 & 0x7F = 0, rest 1, less one: 0 | 0x80
    {129, Bytes({0x01, 0x80})},
    {255, Bytes({0x7F, 0x80})},            // 0x7F, rest 1 - 1 = 0
    {256, Bytes({0x00, 0x81})},            // 0, rest 2 - 1 = 1
    {16511, Bytes({0x7F, 0xFF})},          // 127 + 128 * 128: the largest of two bytes
    {16512, Bytes({0x00, 0x00, 0x80})},    // 0, rest 129 - 1 = 128: 0, rest 1 - 1 = 0
    {2097151, Bytes({0x7F, 0x7E, 0xFE})},  // 0x7F, rest 16383 - 1 = 16382: 0x7E, rest 127 - 1 = 126: 0xFE
};

// Read as n and nothing else, and written in exactly those bytes: a patch of an empty target from n bytes.
TEST(Bps, NumbersReadAndWriteAsTheRuleCodesThem)
{
    for (const Number& n : kNumbers) {
        SCOPED_TRACE(n.value);
        const QByteArray source = NoisyImage(static_cast<qsizetype>(n.value));
        const QByteArray patch = HandMade(n.bytes + Bytes({0x80, 0x80}), source, QByteArray());
        EXPECT_TRUE(Applied(ApplyBps(patch, source)).isEmpty());
        EXPECT_FALSE(ApplyBps(patch, source + "x"));
        EXPECT_EQ(*MakeBps(source, QByteArray()), patch);
    }
}

// Every action coded by hand: source size 10 (0x8A), target 17 (0x91), no metadata (0x80); an action: (length - 1) << 2 | kind.
TEST(Bps, AHandMadePatchOfEveryActionApplies)
{
    const QByteArray actions = Bytes({0x84})               // SourceRead 2: "01"
                               + Bytes({0x85}) + "ab"       // TargetRead 2 (1 << 2 | 1)
                               + Bytes({0x97, 0x84})        // TargetCopy 6 (5 << 2 | 3), cursor +2 (2 << 1): "ababab", overlapping
                               + Bytes({0x8A, 0x8E})        // SourceCopy 3 (2 << 2 | 2), cursor +7 (7 << 1): "789"
                               + Bytes({0x8E, 0x93});       // SourceCopy 4, cursor 10 - 9 (9 << 1 | 1): "1234"
    const QByteArray source("0123456789");
    const QByteArray target("01abababab7891234");
    EXPECT_EQ(Applied(ApplyBps(HandMade(Bytes({0x8A, 0x91, 0x80}) + actions, source, target), source)), target);

    // A period of 3 that doesn't divide the length, from a cursor past the start, then a copy back from the last one's end.
    const QByteArray periodic("xabcabcabcabcaabc");
    const QByteArray more = Bytes({0x8D}) + "xabc"         // TargetRead 4
                            + Bytes({0xA7, 0x82})           // TargetCopy 10 (9 << 2 | 3), cursor +1
                            + Bytes({0x8B, 0x95});          // TargetCopy 3, cursor 11 - 10 (10 << 1 | 1)
    EXPECT_EQ(Applied(ApplyBps(HandMade(Bytes({0x8A, 0x91, 0x80}) + more, source, periodic), source)), periodic);

    // Our writer on an unchanged image of 33 bytes: one SourceRead of 33, (32 << 2) = 128.
    const QByteArray same = NoisyImage(33);
    EXPECT_EQ(*MakeBps(same, same), HandMade(Bytes({0xA1, 0xA1, 0x80, 0x00, 0x80}), same, same));
}

// Right CRC32s, but numbers or actions out of bounds: each refused saying why. Source size 10 (0x8A), target 8 (0x88).
TEST(Bps, ActionsOutsideTheirBoundsAreRefused)
{
    const QByteArray source("0123456789");
    // body: the numbers after "BPS1", metadata and actions; claimed: the target whose CRC32 the patch carries.
    struct Case { const char* name; QByteArray body; const char16_t* says; QByteArray claimed = "01234567"; };
    const QByteArray head = Bytes({0x8A, 0x88, 0x80});
    const std::vector<Case> cases{
        // Ten bytes without the end mark add up past 2^64 before the eleventh.
        {"a number past 64 bits", head + QByteArray(10, '\0') + Bytes({0x81}), u"64"},
        // 2^26 + 1: 1, rest 2^19 - 1: 0x7F, rest 4094: 0x7E, rest 30: 0x9E.
        {"a target one byte over 64 MiB", Bytes({0x8A, 0x01, 0x7F, 0x7E, 0x9E, 0x80, 0xA0}), u"上限"},
        {"a target of more than 2^56 bytes", Bytes({0x8A, 0, 0, 0, 0, 0, 0, 0, 0, 0x81, 0x80, 0x9C}), u"上限"},
        {"a metadata past the actions", Bytes({0x8A, 0x88, 0xE4, 0x9C}), u"メタデータ"}, // 100 bytes of it
        {"writing past the target", head + Bytes({0xA0}), u"出力の終わり"}, // SourceRead 9 (8 << 2)
        // Nine bytes: the sum of 128^1..128^8, a multiple of 4: SourceRead of about 2^54 bytes.
        {"a huge length", head + Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0x80}), u"出力の終わり"},
        // What the output would hold, zeros after the end, so that only the count finds them.
        {"ending short of the target", head + Bytes({0x98}), u"足りません", QByteArray("0123456\0", 8)}, // SourceRead 7
        {"no actions", head, u"足りません", QByteArray(8, '\0')},
        {"a source read past the source", Bytes({0x8A, 0x8B, 0x80, 0xA8}), u"元のファイルの終わり", QByteArray("0123456789\0", 11)}, // target 11, SourceRead 11
        {"literal bytes past the patch", head + Bytes({0x9D}) + "0123", u"パッチの終わり"},    // TargetRead 8
        {"a source cursor before the start", head + Bytes({0x9E, 0x83}), u"元のファイルの外"}, // SourceCopy 8, cursor -1
        {"a source copy past the end", head + Bytes({0x9E, 0x86}), u"元のファイルの外"},      // SourceCopy 8, cursor +3
        {"a target copy of nothing yet", head + Bytes({0x9F, 0x80}), u"まだ書いていない"},    // TargetCopy 8, cursor 0
        {"a target cursor at the output", head + Bytes({0x81, '0', 0x9B, 0x82}), u"まだ書いていない"}, // TargetRead 1, TargetCopy 7 at +1
        {"a target cursor before the start", head + Bytes({0x81, '0', 0x9B, 0x83}), u"まだ書いていない"}, // ... at -1
        {"a cut cursor", head + Bytes({0x8C, 0x8E}), u"途中で終わって"}, // SourceRead 4, SourceCopy 4 without its cursor
        {"another target", head + Bytes({0x9C}), u"CRC32", "01234568"}, // SourceRead 8, found after writing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString why = Why(ApplyBps(HandMade(c.body, source, c.claimed), source));
        EXPECT_TRUE(why.contains(QStringLiteral("壊れて")) && why.contains(QString::fromUtf16(c.says))) << why.toStdString();
    }
    // The same frame holds a good patch.
    EXPECT_TRUE(ApplyBps(HandMade(head + Bytes({0x9C}), source, "01234567"), source));
}

TEST(Patch, OnlyBpsAndIpsAreTaken)
{
    const QString why = Why(ApplyPatch("BPS2....", "x"));
    EXPECT_TRUE(why.contains(u"IPS"_s)) << why.toStdString();
    EXPECT_FALSE(ApplyPatch(QByteArray(), "x"));
    EXPECT_FALSE(ApplyBps("PATCHEOF", "x"));
}

struct Record { qsizetype offset; qsizetype length; bool run; };

struct Parsed { std::vector<Record> records; qsizetype truncatedTo = -1; };

// The records of a patch as ZOR writes it; fails the test on anything else.
Parsed ParseIps(const QByteArray& patch)
{
    Parsed parsed;
    EXPECT_TRUE(patch.startsWith("PATCH"));
    auto get = [&](qsizetype at, int n) {
        qsizetype v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | static_cast<std::uint8_t>(patch[at + i]);
        return v;
    };
    qsizetype at = 5;
    while (at + 3 <= patch.size() && patch.mid(at, 3) != "EOF") {
        const qsizetype offset = get(at, 3);
        const qsizetype length = get(at + 3, 2);
        if (length == 0) {
            parsed.records.push_back({offset, get(at + 5, 2), true});
            at += 8;
        } else {
            parsed.records.push_back({offset, length, false});
            at += 5 + length;
        }
    }
    EXPECT_EQ(patch.mid(at, 3), "EOF");
    if (patch.size() == at + 6)
        parsed.truncatedTo = get(at + 3, 3);
    else
        EXPECT_EQ(patch.size(), at + 3);
    return parsed;
}

QByteArray RoundTrip(const QByteArray& source, const QByteArray& target)
{
    const Result<QByteArray> patch = MakeIps(source, target);
    EXPECT_TRUE(patch) << patch.failure().message().toStdString();
    if (!patch)
        return {};
    EXPECT_TRUE(Applied(ApplyPatch(*patch, source)) == target);
    return *patch;
}

TEST(Ips, RoundTripsAtTheEdges)
{
    const QByteArray base = NoisyImage(0x3000);
    auto edited = [&](std::initializer_list<qsizetype> offsets) {
        QByteArray t = base;
        for (const qsizetype at : offsets)
            t[at] = static_cast<char>(~t[at]);
        return t;
    };
    // A grown target ends with a record writing its last byte, zero or not.
    for (const QByteArray& target : {edited({0}), edited({base.size() - 1}), edited({0, 6, 12, 19, 0x2FFF}), base, base.left(0x1000),
                                     edited({1}).left(2), QByteArray(), NoisyImage(0x20000, 4), base + QByteArray(1, '\0'),
                                     base + QByteArray(0x20000, '\0'), base + "abc" + QByteArray(20, '\0'),
                                     QByteArray(base).append(0x20001, '\x33')}) {
        SCOPED_TRACE(target.size());
        const Parsed parsed = ParseIps(RoundTrip(base, target));
        EXPECT_EQ(parsed.truncatedTo, target.size() < base.size() ? target.size() : -1);
        for (const Record& record : parsed.records)
            EXPECT_LE(record.length, 0xFFFF);
        if (target.size() > base.size()) {
            ASSERT_FALSE(parsed.records.empty());
            EXPECT_EQ(parsed.records.back().offset + parsed.records.back().length, target.size());
        }
    }
    EXPECT_EQ(ParseIps(*MakeIps(base, base)).records.size(), 0u);
    // Long runs travel as run records.
    EXPECT_LT(RoundTrip(base, base + QByteArray(0x30000, '\0')).size(), 60);
}

TEST(Ips, NoRecordStartsAtEofOffset)
{
    constexpr qsizetype kEof = 0x454F46;
    const QByteArray base(kEof + 0x20010, '\x11');
    QByteArray longRecord = base; // split into 0xFFFF pieces, one of which would start at kEof
    for (qsizetype i = kEof - 0xFFFF; i < kEof + 10; ++i)
        longRecord[i] = static_cast<char>(i * 7 + (i >> 3));
    // One byte, a run, the long record, the same as a run, and shrunk then grown past it.
    for (const QByteArray& target : {QByteArray(base).replace(kEof, 1, "\x22"), QByteArray(base).replace(kEof, 0x100, QByteArray(0x100, '\x22')),
                                     longRecord, QByteArray(base).replace(kEof - 0xFFFF, 0xFFFF + 0x100, QByteArray(0xFFFF + 0x100, '\x5A')),
                                     base.left(kEof) + QByteArray(0x30, '\0')}) {
        const Parsed parsed = ParseIps(RoundTrip(base, target));
        ASSERT_FALSE(parsed.records.empty());
        for (const Record& record : parsed.records)
            EXPECT_NE(record.offset, kEof);
    }
}

TEST(Ips, OffsetsPast24BitsAreRefusedWhenMakingAPatch)
{
    const QByteArray base(0x1000010, '\0');
    RoundTrip(base, QByteArray(base).replace(0xFFFFFF, 1, "\x01"));
    const QString why = Why(MakeIps(base, QByteArray(base).replace(0x1000000, 1, "\x01")));
    EXPECT_TRUE(why.contains(u"0xFFFFFF"_s)) << why.toStdString();
    EXPECT_FALSE(MakeIps(base.left(0xFFFFFF), base.left(0xFFFFFF) + QByteArray(2, '\0'))); // grows past
    EXPECT_FALSE(MakeIps(base, base.left(0x1000000)));                                    // a truncation size past 24 bits
    RoundTrip(base, base.left(0xFFFFFF));
}

TEST(Ips, TheApplierTakesRunsGapsAndTruncationAndRefusesDamage)
{
    const QByteArray source("abcdef");
    // A run of 4 'z' at 2, a record at 8 past the end (7 reads as 0), then truncation to 10.
    const QByteArray patch = QByteArray("PATCH") + QByteArray("\0\0\x02\0\0\0\x04z", 8) + QByteArray("\0\0\x08\0\x02XY", 7)
                             + "EOF" + QByteArray("\0\0\x0A", 3);
    EXPECT_EQ(Applied(ApplyIps(patch, source)), QByteArray("abzzzz\0\0XY", 10));

    const std::vector<QByteArray> damaged{
        "PATCH",
        "PATCHEO",
        QByteArray("PATCH\0\0\x01\0\x03xy", 12),       // record cut short
        QByteArray("PATCH\0\0\x01\0", 9),               // header cut short
        QByteArray("PATCH\0\0\x01\0\0\0\0zEOF", 16),    // a run of 0 bytes
        QByteArray("PATCH\0\0\x01\0\0\0\x02", 12),      // a run without its value
        QByteArray("PATCHEOF\0\0", 10),                 // a cut truncation
        QByteArray("PATCHEOF\0\0\x07", 11),             // truncation past the end
        QByteArray("PATCHEOF\0\0\x01junk", 15),         // bytes after the end
    };
    for (const QByteArray& patch : damaged) {
        const QString why = Why(ApplyPatch(patch, source));
        EXPECT_TRUE(why.contains(u"壊れて"_s)) << patch.toHex().toStdString() << ": " << why.toStdString();
    }
    EXPECT_TRUE(ApplyPatch(QByteArray("PATCHEOF\0\0\x06", 11), source));
}

using test::Call;
using test::CommandRun;

class PatchCommands : public ::testing::Test {
protected:
    QString path(const QString& name) const { return home.file(name); }
    void write(const QString& name, const QByteArray& bytes) const { home.writeBytes(name, bytes); }
    QByteArray read(const QString& name) const { return home.readBytes(name); }
    CommandRun patch(const QStringList& args) const { return Call(RunPatch, absolute(args)); }
    CommandRun apply(const QStringList& args) const { return Call(RunApply, absolute(args)); }
    CommandRun checksum(const QStringList& args) const { return Call(RunChecksum, absolute(args)); }

    QStringList absolute(const QStringList& args) const
    {
        QStringList out;
        for (const QString& arg : args)
            out << (arg.startsWith(u'-') ? arg : path(arg));
        return out;
    }

    test::ProgramFolder home;
};

TEST_F(PatchCommands, PatchThenApplyGivesTheEditedImageBack)
{
    // The edges are the formats' own tests'; here, that the commands write and read them.
    const QByteArray original = NoisyImage(0x40000);
    const std::vector<QByteArray> edits{QByteArray(original).replace(0, 1, "\0").replace(0x3FFFF, 1, "\x01"), original + "x" + QByteArray(1, '\0'),
                                        original.left(0x30000)};
    write(u"original.rom"_s, original);
    for (const bool ips : {false, true}) {
        for (const QByteArray& edited : edits) {
            SCOPED_TRACE((ips ? "IPS, " : "BPS, ") + std::to_string(edited.size()));
            write(u"edited.rom"_s, edited);
            QStringList args{u"original.rom"_s, u"edited.rom"_s, u"change.patch"_s};
            if (ips)
                args.prepend(u"--ips"_s);
            const CommandRun made = patch(args);
            ASSERT_EQ(made.status, 0) << made.err.toStdString();
            EXPECT_TRUE(read(u"change.patch"_s).startsWith(ips ? "PATCH" : "BPS1"));
            const CommandRun applied = apply({u"change.patch"_s, u"original.rom"_s, u"out.rom"_s});
            ASSERT_EQ(applied.status, 0) << applied.err.toStdString();
            EXPECT_TRUE(read(u"out.rom"_s) == edited);
        }
    }
}

TEST_F(PatchCommands, ExitCodesTellRefusalFromUsageAndUnreadableInput)
{
    write(u"a.rom"_s, NoisyImage(0x1000, 1));
    write(u"b.rom"_s, NoisyImage(0x1000, 2));
    ASSERT_TRUE(QDir(home.path()).mkdir(u"folder"_s));
    {
        QFile huge(path(u"huge.rom"_s)); // sparse: costs no disk
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(kMaxImageSize + 1));
    }
    for (const QStringList& args : {QStringList{u"a.rom"_s, u"b.rom"_s}, {u"--bps"_s, u"a.rom"_s, u"b.rom"_s, u"p"_s},
                                    {u"missing.rom"_s, u"b.rom"_s, u"p"_s}, {u"a.rom"_s, u"folder"_s, u"p"_s},
                                    {u"huge.rom"_s, u"b.rom"_s, u"p"_s}})
        EXPECT_EQ(patch(args).status, 2) << args.join(u' ').toStdString();
    const CommandRun unwritten = patch({u"a.rom"_s, u"b.rom"_s, u"folder"_s}); // the patch can't be written
    EXPECT_TRUE(unwritten.status == 1 && unwritten.err.contains(path(u"folder"_s))) << unwritten.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(u"p"_s)));

    ASSERT_EQ(patch({u"a.rom"_s, u"b.rom"_s, u"p.bps"_s}).status, 0);
    const CommandRun other = apply({u"p.bps"_s, u"b.rom"_s, u"out.rom"_s}); // made for a.rom
    EXPECT_TRUE(other.status == 1 && other.err.contains(u"別のファイル用"_s)) << other.err.toStdString();
    QByteArray damaged = read(u"p.bps"_s);
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 1);
    write(u"damaged.bps"_s, damaged);
    const CommandRun broken = apply({u"damaged.bps"_s, u"a.rom"_s, u"out.rom"_s});
    EXPECT_TRUE(broken.status == 1 && broken.err.contains(u"壊れて"_s)) << broken.err.toStdString();
    EXPECT_EQ(apply({u"b.rom"_s, u"a.rom"_s, u"out.rom"_s}).status, 1); // no patch at all
    EXPECT_FALSE(QFile::exists(path(u"out.rom"_s)));
    for (const QStringList& args : {QStringList{u"p.bps"_s, u"missing.rom"_s, u"out.rom"_s}, {u"folder"_s, u"a.rom"_s, u"out.rom"_s},
                                    {u"p.bps"_s, u"a.rom"_s}, {u"--ips"_s, u"p.bps"_s, u"a.rom"_s, u"out.rom"_s}})
        EXPECT_EQ(apply(args).status, 2) << args.join(u' ').toStdString();
    EXPECT_EQ(apply({u"p.bps"_s, u"a.rom"_s, u"out.rom"_s}).status, 0);
}

// Each input is guarded under its own name; links and pipes are the output check's own tests.
TEST_F(PatchCommands, AnOutputNeverReplacesAnInput)
{
    write(u"a.rom"_s, NoisyImage(0x1000, 1));
    write(u"b.rom"_s, NoisyImage(0x1000, 2));
    ASSERT_EQ(patch({u"a.rom"_s, u"b.rom"_s, u"p.bps"_s}).status, 0);
    const QByteArray a = read(u"a.rom"_s), b = read(u"b.rom"_s), p = read(u"p.bps"_s);
    for (const auto& [command, args, reason] :
         {std::tuple{&RunPatch, QStringList{u"a.rom"_s, u"b.rom"_s, u"b.rom"_s}, u"変更後のイメージ"_s},
          {RunPatch, {u"--ips"_s, u"a.rom"_s, u"b.rom"_s, u"a.rom"_s}, u"元のイメージ"_s},
          {RunApply, {u"p.bps"_s, u"a.rom"_s, u"p.bps"_s}, u"パッチ"_s},
          {RunApply, {u"p.bps"_s, u"a.rom"_s, u"a.rom"_s}, u"元のイメージ"_s}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CommandRun run = Call(command, absolute(args));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(reason)) << run.err.toStdString();
        EXPECT_TRUE(read(u"a.rom"_s) == a && read(u"b.rom"_s) == b && read(u"p.bps"_s) == p);
    }
}

TEST_F(PatchCommands, IpsPastItsOffsetsIsRefused)
{
    const QByteArray original(0x1000100, '\0');
    QByteArray edited = original;
    edited[0x1000080] = 1;
    write(u"a.rom"_s, original);
    write(u"b.rom"_s, edited);
    const CommandRun refused = patch({u"--ips"_s, u"a.rom"_s, u"b.rom"_s, u"p.ips"_s});
    EXPECT_TRUE(refused.status == 1 && refused.err.contains(u"0xFFFFFF"_s)) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(u"p.ips"_s)));
    EXPECT_EQ(patch({u"a.rom"_s, u"b.rom"_s, u"p.bps"_s}).status, 0); // BPS has no such limit
}

TEST_F(PatchCommands, ChecksumPrintsComparesAndFixes)
{
    QByteArray image = NoisyImage(0x300000, 5);
    write(u"game.rom"_s, image);
    const CommandRun wrong = checksum({u"game.rom"_s});
    EXPECT_EQ(wrong.status, 1);
    const Result<HeaderChecksum> sums = ComputeHeaderChecksum(image);
    const QString computed = u"0x"_s + QString::number(sums->checksum, 16).toUpper().rightJustified(4, u'0');
    EXPECT_TRUE(wrong.out.contains(computed)) << wrong.out.toStdString();
    EXPECT_TRUE(read(u"game.rom"_s) == image); // not fixed without --fix

    const CommandRun fixed = checksum({u"--fix"_s, u"game.rom"_s});
    EXPECT_EQ(fixed.status, 0) << fixed.err.toStdString();
    ASSERT_TRUE(FixHeaderChecksum(image));
    EXPECT_TRUE(read(u"game.rom"_s) == image);
    EXPECT_EQ(checksum({u"game.rom"_s}).status, 0);
    EXPECT_EQ(checksum({u"--fix"_s, u"game.rom"_s}).status, 0);

    write(u"small.rom"_s, QByteArray(0x7FFF, '\0'));
    const CommandRun small = checksum({u"small.rom"_s});
    EXPECT_TRUE(small.status == 2 && small.err.contains(u"ヘッダがありません"_s)) << small.err.toStdString();
    for (const QStringList& args : {QStringList{u"--fix"_s, u"small.rom"_s}, {u"missing.rom"_s}, {}, {u"game.rom"_s, u"small.rom"_s}})
        EXPECT_EQ(checksum(args).status, 2) << args.join(u' ').toStdString();
    EXPECT_EQ(read(u"small.rom"_s), QByteArray(0x7FFF, '\0'));
}

} // namespace
} // namespace zor
