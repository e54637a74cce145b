// BPS patches of the fixed pairs of tests/patch/PatchPairs.h (4 MiB images like a game's).
// The scattered edits are patched from both files on disk, beside reading the same two
// files and taking their CRC32s in the same run: at most 2 times that. Every pair is also
// patched from memory, with its patch's size beside the one without the index (never
// smaller) and the time per 8 MiB of target: at most 1 s where the index is needed.
// Build in Release or RelWithDebInfo.

#include "core/files/ReadFile.h"
#include "core/files/SaveFile.h"
#include "core/patch/Bps.h"
#include "core/patch/Crc32.h"
#include "tests/patch/PatchPairs.h"

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>
#include <string>

namespace {

constexpr double k8MiB = 8.0 * 1024 * 1024;

struct Pairs {
    std::vector<zor::test::PatchPair> pairs = zor::test::MeasuredPairs();
    std::vector<qsizetype> withoutIndex;
    QTemporaryDir dir;
    QString original;
    QString edited;
    QString error;

    Pairs()
    {
        for (const zor::test::PatchPair& pair : pairs)
            withoutIndex.push_back(zor::MakeBpsWithoutIndex(pair.source, pair.target)->size());
        original = dir.filePath(QStringLiteral("original.rom"));
        edited = dir.filePath(QStringLiteral("edited.rom"));
        zor::Result<void> written = zor::WriteFileAtomically(original, pairs.front().source);
        if (written)
            written = zor::WriteFileAtomically(edited, pairs.front().target);
        if (!written)
            error = written.failure().message();
    }

    QByteArray read(const QString& path) const { return *zor::ReadRegularFile(path, zor::kMaxImageSize); }
};

const Pairs& ThePairs()
{
    static const Pairs pairs;
    return pairs;
}

void MakeBpsOfScatteredEdits(benchmark::State& state)
{
    const Pairs& pairs = ThePairs();
    if (!pairs.error.isEmpty()) {
        state.SkipWithError(qPrintable(pairs.error));
        return;
    }
    qsizetype size = 0;
    for (auto _ : state) {
        const zor::Result<QByteArray> patch = zor::MakeBps(pairs.read(pairs.original), pairs.read(pairs.edited));
        size = patch->size();
        benchmark::DoNotOptimize(size);
    }
    state.counters["patch bytes"] = static_cast<double>(size);
}
BENCHMARK(MakeBpsOfScatteredEdits)->Unit(benchmark::kMillisecond);

void ReadBothAndCrc(benchmark::State& state)
{
    const Pairs& pairs = ThePairs();
    for (auto _ : state) {
        // Both in memory at once, as the patch has them.
        const QByteArray original = pairs.read(pairs.original);
        const QByteArray edited = pairs.read(pairs.edited);
        const std::uint32_t a = zor::Crc32(original);
        const std::uint32_t b = zor::Crc32(edited);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(ReadBothAndCrc)->Unit(benchmark::kMillisecond);

void MakeBpsOfPair(benchmark::State& state, std::size_t i)
{
    const Pairs& pairs = ThePairs();
    const zor::test::PatchPair& pair = pairs.pairs[i];
    qsizetype size = 0;
    for (auto _ : state) {
        size = zor::MakeBps(pair.source, pair.target)->size();
        benchmark::DoNotOptimize(size);
    }
    state.counters["patch bytes"] = static_cast<double>(size);
    state.counters["without index"] = static_cast<double>(pairs.withoutIndex[i]);
    // Seconds per 8 MiB of target: the rate of 8 MiB units, inverted.
    state.counters["s per 8 MiB"] = benchmark::Counter(static_cast<double>(pair.target.size()) / k8MiB,
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}

std::string PairBenchmark(const zor::test::PatchPair& pair) { return std::string("MakeBps/") + pair.name; }

} // namespace

int main(int argc, char** argv)
{
    const Pairs& pairs = ThePairs();
    for (std::size_t i = 0; i < pairs.pairs.size(); ++i)
        benchmark::RegisterBenchmark(PairBenchmark(pairs.pairs[i]).c_str(), MakeBpsOfPair, i)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    zor::bench::RatioReporter reporter;
    if (!reporter.run(&argc, argv))
        return 1;
    reporter.printRatio("MakeBpsOfScatteredEdits", "ReadBothAndCrc",
                        "BPS patch of scattered edits / reading both files and their CRC32s", 2);
    for (std::size_t i = 0; i < pairs.pairs.size(); ++i) {
        const zor::test::PatchPair& pair = pairs.pairs[i];
        const std::optional<double> seconds = reporter.seconds(PairBenchmark(pair));
        if (!seconds)
            continue;
        const qsizetype size = zor::MakeBps(pair.source, pair.target)->size();
        std::printf("%s: %lld bytes, %lld without the index; %.3f s per 8 MiB of target%s\n", pair.name,
                    static_cast<long long>(size), static_cast<long long>(pairs.withoutIndex[i]),
                    *seconds * k8MiB / static_cast<double>(pair.target.size()),
                    size < pairs.withoutIndex[i] ? " (target: at most 1 s)" : "");
    }
    return 0;
}
