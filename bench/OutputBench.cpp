// P7: the CSV export of every table of the sample, beside writing the same bytes with
// one write() per file in the same run; target: at most 2 times that. Build in Release
// or RelWithDebInfo. The export saves each file atomically (a temporary file, flushed
// to disk, then renamed), so on a disk the flush dominates; TMPDIR=/dev/shm measures
// the rest alone.

#include "core/document/ReadImage.h"
#include "core/files/SaveFile.h"
#include "core/csv/CsvExport.h"
#include "core/sample/Sample.h"

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The sample folder with its document loaded, and the files one export makes.
struct Sample {
    QTemporaryDir home;
    QTemporaryDir plain; // where the write() baseline puts the same bytes
    zor::DocumentState doc;
    std::vector<std::pair<QByteArray, QByteArray>> files; // local path in plain, bytes
    QString error;

    Sample()
    {
        if (const zor::Result<int> written = zor::WriteSampleFolder(home.path()); !written) {
            error = written.failure().message();
            return;
        }
        const zor::Result<QByteArray> image = zor::ReadRomImage(home.filePath(zor::SampleImageName()));
        if (!image) {
            error = image.failure().message();
            return;
        }
        zor::LoadDocument(doc, home.filePath(zor::SampleImageName()), *image, home.path());
        const zor::CsvExportResult result = zor::ExportCsv(doc, home.path());
        if (!result.ok())
            error = result.outcome.failure().message();
        for (const QString& path : result.written) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            files.emplace_back(QFile::encodeName(plain.filePath(path.section(u'/', -1))), file.readAll());
        }
    }
};

const Sample& TheSample()
{
    static const Sample sample;
    return sample;
}

void ExportSampleCsv(benchmark::State& state)
{
    const Sample& sample = TheSample();
    if (!sample.error.isEmpty()) {
        state.SkipWithError(qPrintable(sample.error));
        return;
    }
    for (auto _ : state) {
        const zor::CsvExportResult result = zor::ExportCsv(sample.doc, sample.home.path());
        if (!result.ok()) {
            state.SkipWithError(qPrintable(result.outcome.failure().message()));
            break;
        }
    }
    qint64 bytes = 0;
    for (const auto& file : sample.files)
        bytes += file.second.size();
    state.counters["files"] = static_cast<double>(sample.files.size());
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(ExportSampleCsv)->Unit(benchmark::kMicrosecond);

void WriteSameBytesWithOneWrite(benchmark::State& state)
{
    const Sample& sample = TheSample();
    for (auto _ : state) {
        for (const auto& [path, bytes] : sample.files) {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const ssize_t written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
            ::close(fd);
            if (written != bytes.size())
                state.SkipWithError("a write fell short");
        }
    }
}
BENCHMARK(WriteSameBytesWithOneWrite)->Unit(benchmark::kMicrosecond);

// The same bytes saved the way the export saves them, to show what is left for building them.
void WriteSameBytesAtomically(benchmark::State& state)
{
    const Sample& sample = TheSample();
    for (auto _ : state)
        for (const auto& [path, bytes] : sample.files)
            if (const zor::Result<void> written = zor::WriteFileAtomically(QFile::decodeName(path), bytes); !written)
                state.SkipWithError(qPrintable(written.failure().message()));
}
BENCHMARK(WriteSameBytesAtomically)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    zor::bench::RatioReporter reporter;
    if (!reporter.run(&argc, argv))
        return 1;
    const auto ours = reporter.seconds("ExportSampleCsv");
    const auto plain = reporter.seconds("WriteSameBytesWithOneWrite");
    const auto atomic = reporter.seconds("WriteSameBytesAtomically");
    if (!ours || !plain || *plain <= 0)
        return 0;
    std::printf("P7 CSV export / one write() per file: %.2f times the time (target: at most 2)\n", *ours / *plain);
    if (atomic)
        std::printf("   of which the atomic saves alone: %.2f times\n", *atomic / *plain);
    return 0;
}
