// P6: a save of the sample that encodes its battle blocks again (4 MB, .bak included,
// both atomic), beside writing the same bytes twice with QSaveFile: at most 1.5 times that.

#include "core/edit/EditHistory.h"
#include "core/document/ReadImage.h"
#include "core/edit/Journal.h"
#include "core/files/SaveFile.h"
#include "core/output/Save.h"
#include "core/sample/Sample.h"
#include "tests/support/PutByte.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

namespace {

struct SavedSample {
    QTemporaryDir home;
    QString rom;
    zor::DocumentState doc;

    SavedSample()
    {
        if (!zor::WriteSampleFolder(home.path()))
            return; // the benchmarks then fail on an empty document
        rom = home.filePath(zor::SampleImageName());
        QFile file(rom);
        file.open(QIODevice::ReadOnly);
        zor::LoadDocument(doc, rom, file.readAll(), home.path());
        // One battle cell edited: the save encodes every block again.
        (void)zor::CommitCellText(doc, {zor::TabBattle, 0, 2, 1}, QStringLiteral("99"), {});
    }
};

void SaveSampleWithReencode(benchmark::State& state)
{
    SavedSample sample;
    for (auto _ : state) {
        // Each round changes a battle byte again, so that every save encodes the blocks.
        zor::test::PutByte(sample.doc, {zor::TabBattle, 0, 2, 1}, sample.doc.BattleParams(2, 1) ^ 1);
        if (const zor::Result<void> saved = zor::SaveDocument(sample.doc); !saved)
            state.SkipWithError(qPrintable(saved.failure().message()));
    }
}
BENCHMARK(SaveSampleWithReencode)->Unit(benchmark::kMillisecond);

void WriteTheSameBytesTwice(benchmark::State& state)
{
    SavedSample sample;
    QFile file(sample.rom);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        if (!zor::WriteFileAtomically(sample.rom + QStringLiteral(".bak"), bytes) || !zor::WriteFileAtomically(sample.rom, bytes))
            state.SkipWithError("not written");
    }
}
BENCHMARK(WriteTheSameBytesTwice)->Unit(benchmark::kMillisecond);

} // namespace
