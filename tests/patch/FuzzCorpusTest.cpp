// The seeds of the patch fuzz target, made by our own patch writers against the target's
// source. The files in fuzz/corpus must equal what this makes; ZOR_WRITE_FUZZ_CORPUS=1
// rewrites them.

#include "core/patch/Patch.h"
#include "tests/patch/fuzz/FuzzSource.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace zor {
namespace {

struct Seed {
    QByteArray patch;
    bool applies = false;
};

std::map<QString, Seed> Seeds()
{
    const QByteArray source = fuzz::PatchFuzzSource();
    QByteArray changed = source;
    changed[0] = 1;
    changed[200] = 2;
    changed.replace(300, 40, QByteArray(40, '\x09'));
    const QByteArray grown = changed + QByteArray(300, '\0') + "end" + QByteArray(1, '\0');
    const QByteArray shrunk = changed.left(100);

    std::map<QString, Seed> seeds;
    auto good = [&](const QString& name, const Result<QByteArray>& made) { seeds[name] = {*made, true}; };
    good(QStringLiteral("bps-changed"), MakeBps(source, changed));
    good(QStringLiteral("bps-grown"), MakeBps(source, grown));
    good(QStringLiteral("bps-shrunk"), MakeBps(source, shrunk));
    good(QStringLiteral("ips-changed"), MakeIps(source, changed));
    good(QStringLiteral("ips-grown"), MakeIps(source, grown));
    good(QStringLiteral("ips-shrunk"), MakeIps(source, shrunk));

    QByteArray flipped = seeds[QStringLiteral("bps-grown")].patch;
    flipped[8] = static_cast<char>(flipped[8] ^ 0x10);
    seeds[QStringLiteral("bps-damaged-byte")] = {flipped, false};
    seeds[QStringLiteral("bps-cut")] = {seeds[QStringLiteral("bps-changed")].patch.chopped(5), false};
    seeds[QStringLiteral("bps-other-source")] = {*MakeBps(source.left(511), changed), false};
    seeds[QStringLiteral("ips-no-eof")] = {seeds[QStringLiteral("ips-changed")].patch.chopped(3), false};
    seeds[QStringLiteral("ips-truncated-past-end")] = {QByteArray("PATCHEOF\x00\x10\x00", 11), false};
    return seeds;
}

TEST(PatchFuzzCorpus, SeedsAreWhatOurWritersMake)
{
    const QByteArray source = fuzz::PatchFuzzSource();
    const QDir corpus(QStringLiteral(ZOR_PATCH_FUZZ_CORPUS));
    const bool write = std::getenv("ZOR_WRITE_FUZZ_CORPUS") != nullptr;
    const std::map<QString, Seed> seeds = Seeds();
    for (const auto& [name, seed] : seeds) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(bool(ApplyPatch(seed.patch, source)), seed.applies);
        QFile file(corpus.filePath(name));
        if (write) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(seed.patch), seed.patch.size());
        } else {
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(file.readAll() == seed.patch);
        }
    }
    EXPECT_EQ(corpus.entryList(QDir::Files).size(), static_cast<qsizetype>(seeds.size()));
}

} // namespace
} // namespace zor
