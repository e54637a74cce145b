// Builds a program folder from the input and loads it against a small image, as the file read does: the load may
// report any number of problems, but must never crash, hang or leave a document whose cells can't be read.
//
// The input is split at NUL bytes into ZOR.ini, a data set's .idn, .sna and .ini, and 個別データ.sna; a missing piece is
// a missing file. Definitions go both into the program folder and the mode folder "m", so Mode finds them or doesn't.

#include "core/codec/BattleCodec.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/view/Grid.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

const char* const kPieces[] = {"ZOR.ini", "表.idn", "表.sna", "表.ini", "個別データ.sna"};

void Put(const QString& path, const QByteArray* bytes)
{
    QFile file(path);
    if (!bytes)
        file.remove();
    else if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(*bytes) != bytes->size())
        std::abort(); // the harness itself failed
}

// An image with a pattern, so that cells read something other than zeros.
QByteArray SmallImage()
{
    QByteArray image(0x20000, '\0');
    for (qsizetype i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>((i * 7) ^ (i >> 8));
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir home;
    static const QByteArray image = SmallImage();
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral("m")))
        std::abort();

    const QList<QByteArray> pieces = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0');
    for (qsizetype i = 0; i < qsizetype(std::size(kPieces)); ++i) {
        const QByteArray* piece = i < pieces.size() ? &pieces[i] : nullptr;
        const QString name = QString::fromUtf8(kPieces[i]);
        Put(home.filePath(name), piece);
        if (i > 0)
            Put(home.filePath(QStringLiteral("m/") + name), piece);
    }

    zor::DocumentState doc;
    zor::LoadDocument(doc, home.filePath(QStringLiteral("x.rom")), image, home.path());
    const zor::ProblemLog& log = doc.Problems;

    // Every cell the grid would show can be read, and its text made.
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        const zor::GridLayout layout = zor::LayoutGrid(doc, zor::TabIdSection, k, 240);
        for (int row = 1; row < layout.rows && row <= 64; ++row)
            for (int col = 1; col < layout.cols && col <= 64; ++col)
                if (!zor::CellByte(doc, zor::TabIdSection, k, col, row) || zor::CellText(doc, zor::TabIdSection, k, row, col).isEmpty())
                    std::abort();
    }
    for (int row = 1; row <= doc.IndividualCount; ++row)
        if (!zor::CellByte(doc, zor::TabIndividual, 0, 1, row) || zor::CellText(doc, zor::TabIndividual, 0, row, 1).isEmpty())
            std::abort();
    if (log.summary().size() > 64 * 1024)
        std::abort(); // a message box must never have to lay out a flood
    return 0;
}
