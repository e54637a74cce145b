// Loading the definitions of a mode folder of 10,000 data sets that have no .ini files,
// beside the same folder with an .ini for every data set, in the same run; target: at
// most 1.2 times. Build in Release or RelWithDebInfo.

#include "core/document/Definitions.h"

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace {

constexpr int kDataSets = 10'000;

// The program folder with the modes "with" (an .ini for every data set) and "without".
struct Folders {
    QTemporaryDir home;
    QString error;

    Folders()
    {
        for (const bool withIni : {true, false}) {
            const QString mode = home.filePath(withIni ? QStringLiteral("with") : QStringLiteral("without"));
            if (!QDir().mkpath(mode)) {
                error = QStringLiteral("can't make ") + mode;
                return;
            }
            for (int k = 1; k <= kDataSets && error.isEmpty(); ++k) {
                const QString name = mode + QStringLiteral("/Set%1").arg(k, 5, 10, QChar(u'0'));
                write(name + QStringLiteral(".idn"), "ID0\r\nID1\r\nID2");
                write(name + QStringLiteral(".sna"), "1000\r\nS1\r\n1100\r\nS2\r\n");
                if (withIni)
                    write(name + QStringLiteral(".ini"), "[Step]\r\nSection1=1\r\n[Notation]\r\nSection2=10\r\n");
            }
        }
    }

    void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            error = QStringLiteral("can't write ") + path;
    }
};

const Folders& TheFolders()
{
    static const Folders folders;
    return folders;
}

void Load(benchmark::State& state, const QString& mode)
{
    const Folders& folders = TheFolders();
    if (!folders.error.isEmpty()) {
        state.SkipWithError(qPrintable(folders.error));
        return;
    }
    const zor::ZorSettings settings{mode, 16, QString()};
    for (auto _ : state) {
        zor::DocumentState doc;
        zor::ProblemLog log(folders.home.path());
        zor::LoadDefinitions(doc, folders.home.path(), settings, log);
        if (doc.DataSetCount != kDataSets || doc.DataSets(kDataSets).SectionCount != 2) {
            state.SkipWithError("the mode folder did not load");
            break;
        }
    }
}

void LoadDataSetsWithIni(benchmark::State& state) { Load(state, QStringLiteral("with")); }
BENCHMARK(LoadDataSetsWithIni)->Unit(benchmark::kMillisecond);

void LoadDataSetsWithoutIni(benchmark::State& state) { Load(state, QStringLiteral("without")); }
BENCHMARK(LoadDataSetsWithoutIni)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    zor::bench::RatioReporter reporter;
    if (!reporter.run(&argc, argv))
        return 1;
    reporter.printRatio("LoadDataSetsWithoutIni", "LoadDataSetsWithIni",
                        ("Loading " + std::to_string(kDataSets) + " data sets without .ini files / with them").c_str(), 1.2);
    return 0;
}
