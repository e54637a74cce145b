#include "core/files/ReadFile.h"
#include "core/patch/Bps.h"
#include "core/patch/Patch.h"
#include "tests/patch/PatchBytes.h"
#include "tests/patch/PatchPairs.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace zor {
namespace {

using test::BpsAction;
using test::BpsDelta;
using test::HandMadeBps;
using test::NoisyImage;

enum { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

struct Pair {
    const char* name;
    QByteArray source;
    QByteArray target;
};

// Edits at the edges where a byte could be lost: the first and the last, a grown image
// whose last byte is 0, a shrunk one, runs and empty files.
std::vector<Pair> EdgePairs()
{
    std::vector<Pair> pairs;
    const QByteArray base = NoisyImage(0x3000);
    auto edited = [&](std::initializer_list<qsizetype> offsets) {
        QByteArray t = base;
        for (const qsizetype at : offsets)
            t[at] = static_cast<char>(~t[at]);
        return t;
    };
    pairs.push_back({"first byte", base, edited({0})});
    pairs.push_back({"last byte", base, edited({base.size() - 1})});
    pairs.push_back({"first and last", base, edited({0, 1, base.size() - 2, base.size() - 1})});
    pairs.push_back({"every third byte", base, edited({10, 13, 16, 19, 22, 25})});
    pairs.push_back({"unchanged", base, base});
    pairs.push_back({"grown by zeros", base, base + QByteArray(0x2000, '\0')});
    pairs.push_back({"grown, last byte 0", base, base + NoisyImage(9, 2) + QByteArray(1, '\0')});
    pairs.push_back({"grown by one zero", base, base + QByteArray(1, '\0')});
    pairs.push_back({"shrunk", base, base.left(0x1234)});
    pairs.push_back({"shrunk and changed", base, edited({5}).left(0x2FFF)});
    pairs.push_back({"from nothing", QByteArray(), NoisyImage(300, 3)});
    pairs.push_back({"to nothing", base, QByteArray()});
    pairs.push_back({"both empty", QByteArray(), QByteArray()});
    QByteArray runs = base;
    runs.replace(0x100, 0x800, QByteArray(0x800, '\x41'));
    runs.replace(0x1000, 0x10, QByteArray(0x10, '\0'));
    pairs.push_back({"runs of one value", base, runs});
    pairs.push_back({"run at the start", base, QByteArray(0x40, '\x07') + base.mid(0x40)});
    pairs.push_back({"bytes inserted", base, base.left(0x1000) + NoisyImage(100, 5) + base.mid(0x1000)});
    pairs.push_back({"bytes deleted", base, base.left(0x1000) + base.mid(0x1100)});
    pairs.push_back({"deleted at the start", base, base.mid(3)});
    pairs.push_back({"inserted at the start", base, "abc" + base});
    // Copies that end where the source ends, then a zero, as the byte after a QByteArray's end is.
    const QByteArray zero(1, '\0');
    pairs.push_back({"the source's end first", base, base.right(100) + zero + base.chopped(100) + NoisyImage(100, 7)});
    pairs.push_back({"a few of its bytes first", base,
                     NoisyImage(30, 8) + base.right(20) + zero + base.chopped(40) + NoisyImage(40, 9)});
    return pairs;
}

TEST(Bps, RoundTripsKeepEveryByte)
{
    for (const Pair& pair : EdgePairs()) {
        SCOPED_TRACE(pair.name);
        const Result<QByteArray> patch = MakeBps(pair.source, pair.target);
        ASSERT_TRUE(patch) << patch.failure().message().toStdString();
        EXPECT_TRUE(patch->startsWith("BPS1"));
        const Result<QByteArray> applied = ApplyPatch(*patch, pair.source);
        ASSERT_TRUE(applied) << applied.failure().message().toStdString();
        EXPECT_TRUE(*applied == pair.target);
    }
}

TEST(Bps, FewChangesAndZeroRunsMakeSmallPatches)
{
    const QByteArray source = NoisyImage(4 * 1024 * 1024);
    QByteArray target = source;
    for (const qsizetype at : {0x10, 0x11, 0x8123, 0x200000, 0x3FFFFF})
        target[at] = static_cast<char>(target[at] ^ 0x5A);
    const Result<QByteArray> patch = MakeBps(source, target);
    ASSERT_TRUE(patch);
    EXPECT_LT(patch->size(), 100);
    EXPECT_TRUE(ApplyBps(*patch, source) == target);

    // An image grown from 3 MB to 4 MB with zeros, as a save grows it.
    const QByteArray small = source.left(0x300000);
    const QByteArray grown = small + QByteArray(0x100000, '\0');
    const Result<QByteArray> growth = MakeBps(small, grown);
    ASSERT_TRUE(growth);
    EXPECT_LT(growth->size(), 60);
    EXPECT_TRUE(ApplyBps(*growth, small) == grown);

    // A block inserted, and one deleted: the rest is copied from where it moved.
    const QByteArray inserted = source.left(0x100000) + NoisyImage(64, 6) + source.mid(0x100000);
    const Result<QByteArray> insertion = MakeBps(source, inserted);
    EXPECT_LT(insertion->size(), 150);
    EXPECT_TRUE(ApplyBps(*insertion, source) == inserted);
    const QByteArray deleted = source.left(0x100000) + source.mid(0x100040);
    const Result<QByteArray> deletion = MakeBps(source, deleted);
    EXPECT_LT(deletion->size(), 100);
    EXPECT_TRUE(ApplyBps(*deletion, source) == deleted);
}

// The measured pairs: moved data costs little wherever it went, and no patch is larger
// than the one of the rules alone.
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

// Edits of every kind, from a fixed seed, on images like a game's and on noise.
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
        const Result<QByteArray> applied = ApplyBps(patch, source);
        ASSERT_TRUE(applied) << applied.failure().message().toStdString();
        EXPECT_TRUE(*applied == target);
        EXPECT_LE(patch.size(), MakeBpsWithoutIndex(source, target)->size());
    }
}

TEST(Bps, CopiesApplyAsWrittenAndMayOverlapTheirOutput)
{
    const QByteArray source("0123456789");
    // "ab", then 6 bytes from the target at 0 (overlapping), 3 from the source at 7, then 2 from the source back at 1.
    const QByteArray target("abababab7891234");
    QByteArray actions = BpsAction(TargetRead, 2) + "ab";
    actions += BpsAction(TargetCopy, 6) + BpsDelta(0);
    actions += BpsAction(SourceCopy, 3) + BpsDelta(7);
    actions += BpsAction(SourceCopy, 4) + BpsDelta(-9);
    const Result<QByteArray> applied = ApplyBps(HandMadeBps(source, target.size(), actions, target), source);
    ASSERT_TRUE(applied) << applied.failure().message().toStdString();
    EXPECT_EQ(*applied, target);

    // A period of 3 that doesn't divide the length, from a cursor moved past the start,
    // then a copy that doesn't overlap, back from where the last one ended.
    const QByteArray periodic("xabcabcabcabcaabc");
    QByteArray more = BpsAction(TargetRead, 4) + "xabc";
    more += BpsAction(TargetCopy, 10) + BpsDelta(1);
    more += BpsAction(TargetCopy, 3) + BpsDelta(-10);
    const Result<QByteArray> repeated = ApplyBps(HandMadeBps(source, periodic.size(), more, periodic), source);
    ASSERT_TRUE(repeated) << repeated.failure().message().toStdString();
    EXPECT_EQ(*repeated, periodic);
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
        const Result<QByteArray> applied = ApplyPatch(patch, other);
        EXPECT_FALSE(applied);
        EXPECT_TRUE(applied.failure().message().contains(QStringLiteral("別のファイル用"))) << applied.failure().message().toStdString();
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

// Patches whose CRC32s are right but whose actions are not: each is refused with a reason.
TEST(Bps, ActionsOutsideTheirBoundsAreRefused)
{
    const QByteArray source("0123456789");
    const QByteArray eight("01234567");
    struct Case {
        const char* name;
        std::uint64_t targetSize;
        QByteArray actions;
        QByteArray claimed = "01234567"; // the target whose CRC32 the patch carries
    };
    QByteArray overflow(10, '\0');
    overflow += '\x81'; // 11 bytes: past 64 bits
    const std::vector<Case> cases{
        {"a number past 64 bits", 8, overflow},
        {"a target over 64 MiB", std::uint64_t(kMaxImageSize) + 1, BpsAction(SourceRead, 8)},
        {"a target of 2^60 bytes", std::uint64_t{1} << 60, BpsAction(SourceRead, 8)},
        {"writing past the target", 8, BpsAction(SourceRead, 9)},
        {"a huge length", 8, BpsAction(SourceRead, std::uint64_t{1} << 61)},
        // What the output would hold, zeros after the end, so that only the count finds them.
        {"ending short of the target", 8, BpsAction(SourceRead, 7), QByteArray("0123456\0", 8)},
        {"no actions", 8, QByteArray(), QByteArray(8, '\0')},
        {"a source read past the source", 12, BpsAction(SourceRead, 12)},
        {"literal bytes past the patch", 8, BpsAction(TargetRead, 8) + "0123"},
        {"a source cursor before the start", 8, BpsAction(SourceCopy, 8) + BpsDelta(-1)},
        {"a source copy past the end", 8, BpsAction(SourceCopy, 8) + BpsDelta(3)},
        {"a target copy of nothing yet", 8, BpsAction(TargetCopy, 8) + BpsDelta(0)},
        {"a target cursor at the output", 8, BpsAction(TargetRead, 1) + "0" + BpsAction(TargetCopy, 7) + BpsDelta(1)},
        {"a target cursor before the start", 8, BpsAction(TargetRead, 1) + "0" + BpsAction(TargetCopy, 7) + BpsDelta(-1)},
        {"a cut delta", 8, BpsAction(SourceRead, 4) + BpsAction(SourceCopy, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<QByteArray> applied = ApplyBps(HandMadeBps(source, c.targetSize, c.actions, c.claimed), source);
        EXPECT_FALSE(applied);
        EXPECT_TRUE(applied.failure().message().contains(QStringLiteral("壊れて"))) << applied.failure().message().toStdString();
    }
    // The same frame holds a good patch, and a wrong target CRC32 is found after writing.
    EXPECT_TRUE(ApplyBps(HandMadeBps(source, 8, BpsAction(SourceRead, 8), eight), source));
    EXPECT_FALSE(ApplyBps(HandMadeBps(source, 8, BpsAction(SourceRead, 8), "01234568"), source));
    // Metadata that runs past the actions.
    QByteArray metadata("BPS1");
    test::PutBpsNumber(metadata, 10);
    test::PutBpsNumber(metadata, 8);
    test::PutBpsNumber(metadata, 100);
    metadata += BpsAction(SourceRead, 8);
    test::PutLe32(metadata, Crc32(source));
    test::PutLe32(metadata, Crc32(eight));
    test::PutLe32(metadata, Crc32(metadata));
    EXPECT_FALSE(ApplyBps(metadata, source));
}

TEST(Patch, OnlyBpsAndIpsAreTaken)
{
    const Result<QByteArray> neither = ApplyPatch("BPS2....", "x");
    EXPECT_FALSE(neither);
    EXPECT_TRUE(neither.failure().message().contains(QStringLiteral("IPS"))) << neither.failure().message().toStdString();
    EXPECT_FALSE(ApplyPatch(QByteArray(), "x"));
    EXPECT_FALSE(ApplyBps("PATCHEOF", "x"));
}

} // namespace
} // namespace zor
