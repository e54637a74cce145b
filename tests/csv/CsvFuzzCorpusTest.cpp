// The seeds of the CSV import's fuzz target: files our export makes of the sample, a first
// byte choosing the table and notation as the target reads it, and a few as a spreadsheet
// saves them again. The files in fuzz/corpus must equal what this makes;
// ZOR_WRITE_FUZZ_CORPUS=1 rewrites them.

#include "core/csv/CsvExport.h"
#include "core/csv/CsvImport.h"
#include "tests/csv/fuzz/FuzzDocument.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace zor {
namespace {

// The target's first byte for table (an index into CsvTables, below 8) and notation.
char Frame(int table, CsvNotation notation) { return static_cast<char>(table + 8 * static_cast<int>(notation)); }

std::map<QString, QByteArray> Seeds(const DocumentState& doc)
{
    const std::vector<CsvTable> tables = CsvTables(doc);
    std::map<QString, QByteArray> seeds;
    const auto exported = [&](int table, CsvNotation notation) {
        const std::string bytes = CsvBuilder(doc, notation).build(tables[static_cast<std::size_t>(table)])->bytes;
        return Frame(table, notation) + QByteArray::fromStdString(bytes);
    };
    seeds[QStringLiteral("items-own")] = exported(0, CsvNotation::Own);
    seeds[QStringLiteral("classes-hex")] = exported(1, CsvNotation::Hex);
    seeds[QStringLiteral("spells-signed")] = exported(2, CsvNotation::Signed);
    seeds[QStringLiteral("individual-unsigned")] = exported(3, CsvNotation::Unsigned);
    // The battle file's first lines only: the rest missing.
    seeds[QStringLiteral("battle-cut")] = exported(4, CsvNotation::Hex).left(400);
    // Quoted, UTF-8 with a mark, LF.
    QByteArray quoted = exported(2, CsvNotation::Own).mid(1);
    quoted.replace("\r\n", "\"\n\"").replace(",", "\",\"");
    seeds[QStringLiteral("spells-quoted-utf8")] =
        Frame(2, CsvNotation::Own) + QByteArray("\xEF\xBB\xBF\"") + DecodeCp932(quoted).text.toUtf8().chopped(1);
    // UTF-16, which is refused whole.
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    seeds[QStringLiteral("classes-utf16")] =
        Frame(1, CsvNotation::Own) + QByteArray("\xFF\xFE") + QByteArray(utf16(DecodeCp932(exported(1, CsvNotation::Own).mid(1)).text));
    return seeds;
}

TEST(CsvFuzzCorpus, SeedsAreWhatOurExportMakes)
{
    const DocumentState doc = fuzz::SampleDocument();
    const QDir corpus(QStringLiteral(ZOR_CSV_FUZZ_CORPUS));
    const bool write = std::getenv("ZOR_WRITE_FUZZ_CORPUS") != nullptr;
    const std::map<QString, QByteArray> seeds = Seeds(doc);
    for (const auto& [name, seed] : seeds) {
        SCOPED_TRACE(name.toStdString());
        // Each whole seed reads back without a problem.
        CsvImportResult result;
        const auto frame = static_cast<unsigned char>(seed[0]);
        CheckCsvFile(doc, static_cast<CsvNotation>(frame >> 3 & 3u), CsvTables(doc)[frame & 7u], QByteArrayView(seed).sliced(1), result);
        EXPECT_EQ(result.ok(), name != QStringLiteral("battle-cut") && name != QStringLiteral("classes-utf16"))
            << result.summary().toStdString();
        EXPECT_TRUE(result.changes.empty());
        QFile file(corpus.filePath(name));
        if (write) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(seed), seed.size());
        } else {
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(file.readAll() == seed);
        }
    }
    EXPECT_EQ(corpus.entryList(QDir::Files).size(), static_cast<qsizetype>(seeds.size()));
}

} // namespace
} // namespace zor
