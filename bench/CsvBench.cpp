// The CSV import and the paste of text, each beside its baseline in the same run (build in
// Release or RelWithDebInfo):
// - reading and checking the sample's exported files, from memory: at most 2 times the
//   export building the same bytes in memory;
// - the sample's export built in memory, and its check, each at most 1.2 times the same
//   with the sample's [Size], [Names] and [Bits] left out (the same cells, every one a byte);
// - a paste of text of 255 × 64 values into a data set of 32,767 IDs and 64 sections: at
//   most 1.5 times the paste of the same block from the cell clipboard;
// - a paste of 140 KB of text shaped 50,001 × 20,001, of which 20,005 cells land: at most
//   2.5 times that paste of text, since time follows the text and the cells that land,
//   not the clipboard's shape.

#include "core/csv/CsvExport.h"
#include "core/csv/CsvImport.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/Clipboard.h"
#include "core/sample/Sample.h"
#include "core/selection/TextClipboard.h"

#include "bench/RatioReporter.h"

#include "tests/support/HandTables.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

// A table's .ini without its [Size], [Names] and [Bits] groups.
void LeaveOutTypes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QList<QByteArray> kept;
    bool typed = false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith('['))
            typed = line.startsWith("[Size]") || line.startsWith("[Names]") || line.startsWith("[Bits]");
        if (!typed)
            kept << line;
    }
    file.close();
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(kept.join('\n'));
}

// The sample's document and the files its export makes, in each section's own notation;
// without types, every cell a byte.
struct Sample {
    zor::DocumentState doc;
    std::vector<zor::CsvTable> tables;
    std::vector<std::string> files;
    QString error;

    explicit Sample(bool typed = true)
    {
        QTemporaryDir home;
        if (const zor::Result<int> written = zor::WriteSampleFolder(home.path()); !written) {
            error = written.failure().message();
            return;
        }
        const QDir mode(home.filePath(zor::SampleModeName()));
        if (!typed)
            for (const QString& ini : mode.entryList({QStringLiteral("*.ini")}))
                LeaveOutTypes(mode.filePath(ini));
        const zor::Result<QByteArray> image = zor::ReadRomImage(home.filePath(zor::SampleImageName()));
        if (!image) {
            error = image.failure().message();
            return;
        }
        zor::LoadDocument(doc, home.filePath(zor::SampleImageName()), *image, home.path());
        tables = zor::CsvTables(doc);
        zor::CsvBuilder builder(doc, zor::CsvNotation::Own);
        for (const zor::CsvTable& table : tables)
            files.push_back(builder.build(table)->bytes);
    }
};

const Sample& TheSample(bool typed = true)
{
    static const Sample sample;
    static const Sample bytes(false);
    return typed ? sample : bytes;
}

void BuildCsvInMemory(benchmark::State& state, bool typed)
{
    const Sample& sample = TheSample(typed);
    if (!sample.error.isEmpty())
        state.SkipWithError(qPrintable(sample.error));
    if (zor::CellTypeOf(sample.doc, {zor::TabBattle, 0, 17, 1}).Size != (typed ? 2 : 1))
        state.SkipWithError("the sample's types are not as asked");
    for (auto _ : state) {
        zor::CsvBuilder builder(sample.doc, zor::CsvNotation::Own);
        for (const zor::CsvTable& table : sample.tables)
            benchmark::DoNotOptimize(builder.build(table));
    }
}
void BuildSampleCsvInMemory(benchmark::State& state) { BuildCsvInMemory(state, true); }
void BuildUntypedSampleCsvInMemory(benchmark::State& state) { BuildCsvInMemory(state, false); }
BENCHMARK(BuildSampleCsvInMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BuildUntypedSampleCsvInMemory)->Unit(benchmark::kMicrosecond);

void CheckCsvFromMemory(benchmark::State& state, bool typed)
{
    const Sample& sample = TheSample(typed);
    if (!sample.error.isEmpty())
        state.SkipWithError(qPrintable(sample.error));
    for (auto _ : state) {
        zor::CsvImportResult result;
        for (std::size_t i = 0; i < sample.tables.size(); ++i)
            zor::CheckCsvFile(sample.doc, zor::CsvNotation::Own, sample.tables[i],
                              QByteArrayView(sample.files[i].data(), static_cast<qsizetype>(sample.files[i].size())), result);
        if (!result.ok() || !result.changes.empty())
            state.SkipWithError("the export did not read back unchanged");
    }
}
void CheckSampleCsvFromMemory(benchmark::State& state) { CheckCsvFromMemory(state, true); }
void CheckUntypedSampleCsvFromMemory(benchmark::State& state) { CheckCsvFromMemory(state, false); }
BENCHMARK(CheckSampleCsvFromMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(CheckUntypedSampleCsvFromMemory)->Unit(benchmark::kMicrosecond);

// One data set of 32,767 IDs and 64 sections, hexadecimal, every cell writable, in the core alone.
zor::DocumentState BigTable()
{
    constexpr int kIds = 32767;
    constexpr int kSections = 64;
    zor::DocumentState doc;
    doc.DataSetCount = 1;
    doc.DataSets.redim(2);
    zor::DataSet& set = doc.DataSets(1);
    set.SectionCount = kSections;
    set.IdCount = kIds;
    set.SectionAddresses.redim(kSections + 1);
    set.SectionAddressUnusable.redim(kSections + 1);
    set.SectionNames.redim(kSections + 1);
    set.IdNames.redim(kIds + 1);
    set.SectionSettings.redim(2, kSections + 1);
    for (int q = 1; q <= kSections; ++q) {
        set.SectionAddresses(q) = 0x100000 + q;
        set.SectionSettings(zor::SettingStep, q) = kSections;
        set.SectionSettings(zor::SettingNotation, q) = zor::NotationHex;
    }
    zor::test::FillIdBytes(doc, 1, [](int q, int id) { return id * 7 + q; });
    doc.History.StartWithBaseline(doc);
    return doc;
}

constexpr zor::CellSelection kBlock{1, 1, 255, 64};
constexpr zor::TableRef kTable{zor::TabIdSection, 1};
constexpr zor::GridSize kGrid{32768, 65};

void PasteBlockFromTheCellClipboard(benchmark::State& state)
{
    zor::DocumentState doc = BigTable();
    zor::CellClipboard clip;
    zor::CopyCells(clip, doc, kTable, kBlock);
    for (auto _ : state) {
        if (zor::PasteCells(clip, doc, kTable, 1000, 1, kGrid, {})->write.result != zor::CommitResult::Changed)
            state.SkipWithError("the paste was refused");
        state.PauseTiming();
        doc.History->Clear(zor::JournalSide::Undo); // keep the journal from filling up
        state.ResumeTiming();
    }
}
BENCHMARK(PasteBlockFromTheCellClipboard)->Unit(benchmark::kMillisecond);

void PasteBlockAsText(benchmark::State& state)
{
    zor::DocumentState doc = BigTable();
    const QString text = zor::SelectionText(doc, kTable, kBlock);
    for (auto _ : state) {
        if (zor::PasteText(doc, kTable, {1000, 1, 1000, 1}, kGrid, text, {})->write.result != zor::CommitResult::Changed)
            state.SkipWithError("the paste was refused");
        state.PauseTiming();
        doc.History->Clear(zor::JournalSide::Undo);
        state.ResumeTiming();
    }
    state.counters["characters"] = static_cast<double>(text.size());
}
BENCHMARK(PasteBlockAsText)->Unit(benchmark::kMillisecond);

// 140 KB of text whose rectangle is a billion cells (one line of 50,001 fields, then 20,000
// lines of one), pasted near the table's last column: a few thousand cells land.
void PasteTextOfAHugeShape(benchmark::State& state)
{
    zor::DocumentState doc = BigTable();
    const QString text = QStringList(50001, QStringLiteral("1")).join(u'\t') + u'\n' + QStringLiteral("2\n").repeated(20000);
    for (auto _ : state) {
        if (zor::PasteText(doc, kTable, {1000, 60, 1000, 60}, kGrid, text, {})->write.result != zor::CommitResult::Changed)
            state.SkipWithError("the paste was refused");
        state.PauseTiming();
        doc.History->Clear(zor::JournalSide::Undo);
        state.ResumeTiming();
    }
    state.counters["characters"] = static_cast<double>(text.size());
}
BENCHMARK(PasteTextOfAHugeShape)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    zor::bench::RatioReporter reporter;
    if (!reporter.run(&argc, argv))
        return 1;
    reporter.printRatio("CheckSampleCsvFromMemory", "BuildSampleCsvInMemory", "CSV import's check / the export's build", 2.0);
    reporter.printRatio("BuildSampleCsvInMemory", "BuildUntypedSampleCsvInMemory", "the sample's export with types / without", 1.2);
    reporter.printRatio("CheckSampleCsvFromMemory", "CheckUntypedSampleCsvFromMemory", "the sample's import check with types / without", 1.2);
    reporter.printRatio("PasteBlockAsText", "PasteBlockFromTheCellClipboard", "paste of 255 x 64 values as text / from the cell clipboard",
                        1.5);
    reporter.printRatio("PasteTextOfAHugeShape", "PasteBlockAsText",
                        "paste of 140 KB shaped 50,001 x 20,001 (20,005 cells land) / of 255 x 64 values (82 KB)", 2.5);
    return 0;
}
