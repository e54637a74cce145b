// A BPS patch of the sample image against a copy with 100 changed cells, both files read
// from disk, beside reading the same two files and taking their CRC32s in the same run:
// at most 2 times that. Build in Release or RelWithDebInfo.

#include "core/files/ReadFile.h"
#include "core/files/SaveFile.h"
#include "core/patch/Bps.h"
#include "core/patch/Crc32.h"
#include "core/sample/Sample.h"

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>

namespace {

struct Images {
    QTemporaryDir dir;
    QString original;
    QString edited;
    QString error;

    Images()
    {
        original = dir.filePath(QStringLiteral("original.rom"));
        edited = dir.filePath(QStringLiteral("edited.rom"));
        const QByteArray image = zor::MakeSampleImage();
        QByteArray changed = image;
        // 100 cells spread over the tables, as a user's edits would be.
        for (qsizetype i = 0; i < 100; ++i) {
            const qsizetype at = (i * 0x7A3B + 0x1000) % changed.size();
            changed[at] = static_cast<char>(changed[at] ^ 0x5A);
        }
        if (!zor::WriteFileAtomically(original, image, &error))
            return;
        zor::WriteFileAtomically(edited, changed, &error);
    }

    QByteArray read(const QString& path) const { return *zor::ReadRegularFile(path, zor::kMaxImageSize, nullptr); }
};

const Images& TheImages()
{
    static const Images images;
    return images;
}

void MakeBpsOfSample(benchmark::State& state)
{
    const Images& images = TheImages();
    if (!images.error.isEmpty()) {
        state.SkipWithError(qPrintable(images.error));
        return;
    }
    qsizetype size = 0;
    for (auto _ : state) {
        const zor::PatchResult patch = zor::MakeBps(images.read(images.original), images.read(images.edited));
        size = patch.bytes->size();
        benchmark::DoNotOptimize(size);
    }
    state.counters["patch bytes"] = static_cast<double>(size);
}
BENCHMARK(MakeBpsOfSample)->Unit(benchmark::kMillisecond);

void ReadBothAndCrc(benchmark::State& state)
{
    const Images& images = TheImages();
    for (auto _ : state) {
        const std::uint32_t a = zor::Crc32(images.read(images.original));
        const std::uint32_t b = zor::Crc32(images.read(images.edited));
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(ReadBothAndCrc)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    zor::bench::RatioReporter reporter;
    if (!reporter.run(&argc, argv))
        return 1;
    reporter.printRatio("MakeBpsOfSample", "ReadBothAndCrc", "BPS patch of the sample / reading both files and their CRC32s", 2);
    return 0;
}
