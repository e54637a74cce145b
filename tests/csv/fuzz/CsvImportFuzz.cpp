// Arbitrary bytes as one CSV file, checked against the sample's document as the import checks it: any problem may
// be reported, but nothing may crash, and a check with a problem never changes the document. One without applies as
// one undo step giving each change's cell its new value, and its undo gives the document back.
// Framing: the first byte's low three bits choose the file (modulo the tables, in the export's order), the next two
// the notation (Own, Hex, Unsigned, Signed); the rest is the file.

#include "core/csv/CsvImport.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/Journal.h"
#include "core/sample/Sample.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

// The sample's document, loaded once from a folder the sample is written to.
zor::DocumentState SampleDocument()
{
    QTemporaryDir home;
    if (!home.isValid() || !zor::WriteSampleFolder(home.path()))
        std::abort(); // the harness itself failed
    const QString rom = home.filePath(zor::SampleImageName());
    zor::DocumentState doc;
    zor::LoadDocument(doc, rom, *zor::ReadRomImage(rom), home.path());
    if (!doc.Problems.empty())
        std::abort();
    return doc;
}

// Every byte of the tables, to see that nothing changed.
std::vector<std::uint8_t> Tables(const zor::DocumentState& doc)
{
    std::vector<std::uint8_t> bytes;
    for (int k = 1; k <= doc.DataSetCount; ++k)
        bytes.insert(bytes.end(), doc.IdBytes(k).Elements().begin(), doc.IdBytes(k).Elements().end());
    bytes.insert(bytes.end(), doc.IndividualBytes().Elements().begin(), doc.IndividualBytes().Elements().end());
    bytes.insert(bytes.end(), doc.BattleParams().Elements().begin(), doc.BattleParams().Elements().end());
    return bytes;
}

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const zor::DocumentState original = SampleDocument();
    static const std::vector<zor::CsvTable> tables = zor::CsvTables(original);
    static const std::vector<std::uint8_t> bytes = Tables(original);
    if (size == 0)
        return 0;
    const zor::CsvTable& table = tables[(data[0] & 7u) % tables.size()];
    const auto notation = static_cast<zor::CsvNotation>(data[0] >> 3 & 3u);

    zor::CsvImportResult result;
    zor::CheckCsvFile(original, notation, table, QByteArrayView(data + 1, static_cast<qsizetype>(size - 1)), result);
    Check(result.summary().size() <= 64 * 1024); // a message box must never have to lay out a flood
    for (const zor::CsvChange& change : result.changes) {
        const zor::CellRef& c = change.cell;
        const std::optional<std::uint32_t> value = zor::CellValueOf(original, c);
        Check(value == change.oldValue && change.newValue != change.oldValue && change.line >= 1 && change.field >= 2);
    }

    zor::DocumentState doc = original;
    const zor::Result<zor::WriteResult> applied = zor::ApplyCsvImport(doc, result);
    if (!result.ok()) {
        Check(!applied && Tables(doc) == bytes && doc.History->UndoCount() == 0);
        return 0;
    }
    Check(applied && applied->result == (result.changes.empty() ? zor::CommitResult::Unchanged : zor::CommitResult::Changed));
    for (const zor::CsvChange& change : result.changes) {
        const zor::CellRef& c = change.cell;
        Check(zor::CellValueOf(doc, c) == change.newValue);
    }
    zor::UndoStep(doc);
    Check(Tables(doc) == bytes && !doc.History->Modified());
    return 0;
}
