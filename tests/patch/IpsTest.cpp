#include "core/patch/Ips.h"
#include "core/patch/Patch.h"
#include "tests/patch/PatchBytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace zor {
namespace {

using test::NoisyImage;

struct Record {
    qsizetype offset;
    qsizetype length;
    bool run;
};

struct Parsed {
    std::vector<Record> records;
    qsizetype truncatedTo = -1;
};

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
    const Result<QByteArray> applied = ApplyPatch(*patch, source);
    EXPECT_TRUE(applied) << applied.failure().message().toStdString();
    EXPECT_TRUE(applied == target);
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
    for (const QByteArray& target : {edited({0}), edited({base.size() - 1}), edited({0, 6, 12, 19, 0x2FFF}), base,
                                     base.left(0x1000), edited({1}).left(2), QByteArray(), NoisyImage(0x20000, 4)}) {
        SCOPED_TRACE(target.size());
        const Parsed parsed = ParseIps(RoundTrip(base, target));
        EXPECT_EQ(parsed.truncatedTo, target.size() < base.size() ? target.size() : -1);
        for (const Record& record : parsed.records)
            EXPECT_LE(record.length, 0xFFFF);
    }
    EXPECT_EQ(ParseIps(*MakeIps(base, base)).records.size(), 0u);
}

TEST(Ips, AGrownTargetEndsWithARecordWritingItsLastByte)
{
    const QByteArray base = NoisyImage(100);
    for (const QByteArray& target : {base + QByteArray(1, '\0'), base + QByteArray(50, '\0'), base + QByteArray(0x20000, '\0'),
                                     base + "abc" + QByteArray(20, '\0'), QByteArray(base).append(0x20001, '\x33')}) {
        SCOPED_TRACE(target.size());
        const Parsed parsed = ParseIps(RoundTrip(base, target));
        ASSERT_FALSE(parsed.records.empty());
        const Record& last = parsed.records.back();
        EXPECT_EQ(last.offset + last.length, target.size());
    }
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
    const Result<QByteArray> refused = MakeIps(base, QByteArray(base).replace(0x1000000, 1, "\x01"));
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.failure().message().contains(QStringLiteral("0xFFFFFF"))) << refused.failure().message().toStdString();
    EXPECT_FALSE(MakeIps(base.left(0xFFFFFF), base.left(0xFFFFFF) + QByteArray(2, '\0'))); // grows past
    EXPECT_FALSE(MakeIps(base, base.left(0x1000000)));                                    // a truncation size past 24 bits
    RoundTrip(base, base.left(0xFFFFFF));
}

TEST(Ips, TheApplierTakesRunsGapsAndTruncation)
{
    const QByteArray source("abcdef");
    // A run of 4 'z' at 2, a record at 8 past the end (7 reads as 0), then truncation to 10.
    const QByteArray patch = QByteArray("PATCH") + QByteArray("\0\0\x02\0\0\0\x04z", 8) + QByteArray("\0\0\x08\0\x02XY", 7)
                             + "EOF" + QByteArray("\0\0\x0A", 3);
    const Result<QByteArray> applied = ApplyIps(patch, source);
    ASSERT_TRUE(applied) << applied.failure().message().toStdString();
    EXPECT_EQ(*applied, QByteArray("abzzzz\0\0XY", 10));
}

TEST(Ips, DamagedPatchesAreRefused)
{
    const QByteArray source("abcdef");
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
        const Result<QByteArray> applied = ApplyPatch(patch, source);
        EXPECT_FALSE(applied) << patch.toHex().toStdString();
        EXPECT_TRUE(applied.failure().message().contains(QStringLiteral("壊れて"))) << applied.failure().message().toStdString();
    }
    EXPECT_TRUE(ApplyPatch(QByteArray("PATCHEOF\0\0\x06", 11), source));
}

} // namespace
} // namespace zor
