// The diff of the sample against a copy with 100 changed cells (both images loaded as
// the window loads them, then compared), beside the two loads alone in the same run;
// target: at most 1.5 times that. Build in Release or RelWithDebInfo.

#include "core/compare/Compare.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/sample/Sample.h"

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>
#include <string>

namespace {

constexpr int kChangedCells = 100;

// The sample folder, its image and the copy with kChangedCells ID-section cells changed.
struct Images {
    QTemporaryDir home;
    QByteArray oldImage;
    QByteArray newImage;
    QString error;

    Images()
    {
        if (const zor::Result<int> written = zor::WriteSampleFolder(home.path()); !written) {
            error = written.failure().message();
            return;
        }
        oldImage = *zor::MakeSampleImage();
        newImage = oldImage;
        zor::DocumentState doc;
        zor::LoadDocument(doc, home.filePath(QStringLiteral("old.rom")), oldImage, home.path());
        int changed = 0;
        for (int k = 1; k <= doc.DataSetCount && changed < kChangedCells; ++k) {
            const zor::DataSet& set = doc.DataSets(k);
            for (int row = 1; row <= set.IdCount && changed < kChangedCells; ++row)
                for (int q = 1; q <= set.SectionCount && changed < kChangedCells; ++q)
                    if (const auto offset = zor::CellOffset(doc, zor::TabIdSection, k, q, row)) {
                        newImage[static_cast<qsizetype>(*offset)] = static_cast<char>(~newImage[static_cast<qsizetype>(*offset)]);
                        ++changed;
                    }
        }
        if (changed < kChangedCells)
            error = QStringLiteral("the sample has fewer than %1 cells").arg(kChangedCells);
    }
};

const Images& TheImages()
{
    static const Images images;
    return images;
}

void Load(zor::DocumentState& doc, const QString& home, const QString& name, const QByteArray& image)
{
    zor::LoadDocument(doc, home + u'/' + name, image, home);
}

// Both images loaded, as the diff loads them.
void LoadBoth(const Images& images, zor::DocumentState& oldDoc, zor::DocumentState& newDoc)
{
    Load(oldDoc, images.home.path(), QStringLiteral("old.rom"), images.oldImage);
    Load(newDoc, images.home.path(), QStringLiteral("new.rom"), images.newImage);
}

void LoadBothImages(benchmark::State& state)
{
    const Images& images = TheImages();
    if (!images.error.isEmpty()) {
        state.SkipWithError(qPrintable(images.error));
        return;
    }
    for (auto _ : state) {
        zor::DocumentState oldDoc;
        zor::DocumentState newDoc;
        LoadBoth(images, oldDoc, newDoc);
        benchmark::DoNotOptimize(newDoc.BattleCount());
    }
}
BENCHMARK(LoadBothImages)->Unit(benchmark::kMillisecond);

void DiffSample(benchmark::State& state)
{
    const Images& images = TheImages();
    if (!images.error.isEmpty()) {
        state.SkipWithError(qPrintable(images.error));
        return;
    }
    for (auto _ : state) {
        zor::DocumentState oldDoc;
        zor::DocumentState newDoc;
        LoadBoth(images, oldDoc, newDoc);
        const zor::ImageComparison result = zor::CompareImages(oldDoc, images.oldImage, newDoc, images.newImage);
        if (result.cells.size() != kChangedCells || !result.otherBytes.empty()) {
            state.SkipWithError("the diff did not find exactly the changed cells");
            break;
        }
    }
}
BENCHMARK(DiffSample)->Unit(benchmark::kMillisecond);

// The comparison alone, on documents loaded once.
void CompareLoadedImages(benchmark::State& state)
{
    const Images& images = TheImages();
    if (!images.error.isEmpty()) {
        state.SkipWithError(qPrintable(images.error));
        return;
    }
    zor::DocumentState oldDoc;
    zor::DocumentState newDoc;
    LoadBoth(images, oldDoc, newDoc);
    for (auto _ : state)
        benchmark::DoNotOptimize(zor::CompareImages(oldDoc, images.oldImage, newDoc, images.newImage).cells.size());
}
BENCHMARK(CompareLoadedImages)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    zor::bench::RatioReporter reporter;
    if (!reporter.run(&argc, argv))
        return 1;
    reporter.printRatio("DiffSample", "LoadBothImages",
                        ("Diff of the sample with " + std::to_string(kChangedCells) + " changed cells / loading both images").c_str(),
                        1.5);
    return 0;
}
