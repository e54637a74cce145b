// Runs the fuzz target over the seed corpus folders without libFuzzer, so every build replays them.

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    int count = 0;
    for (int a = 1; a < argc; ++a) {
        const QDir corpus(QString::fromLocal8Bit(argv[a]));
        for (const QString& name : corpus.entryList(QDir::Files, QDir::Name)) {
            QFile in(corpus.filePath(name));
            if (!in.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(in.fileName()));
                return 1;
            }
            const QByteArray bytes = in.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
            ++count;
        }
    }
    std::printf("%d inputs replayed\n", count);
    return count > 0 ? 0 : 1;
}
