#include "core/compare/Compare.h"

#include "core/codec/BattleCodec.h"
#include "core/document/BattleRecords.h"
#include "core/document/CellBytes.h"
#include "core/view/Grid.h"

#include <algorithm>
#include <cstring>

namespace zor {

namespace {

// One bit per image offset: set where a table cell or an encoder-written byte lies.
class Coverage {
public:
    explicit Coverage(std::int64_t size) : size_(size), words_(static_cast<std::size_t>((size + 63) / 64), 0) {}

    void mark(std::int64_t offset)
    {
        if (offset >= 0 && offset < size_)
            words_[static_cast<std::size_t>(offset >> 6)] |= std::uint64_t{1} << (offset & 63);
    }

    void markRange(std::int64_t first, std::int64_t last)
    {
        for (std::int64_t offset = std::max<std::int64_t>(first, 0); offset <= last && offset < size_; ++offset)
            mark(offset);
    }

    bool covered(std::int64_t offset) const
    {
        return (words_[static_cast<std::size_t>(offset >> 6)] >> (offset & 63)) & 1;
    }

private:
    std::int64_t size_;
    std::vector<std::uint64_t> words_;
};

// Every byte of every cell, a wider cell's high bytes too.
void MarkTables(const DocumentState& doc, Coverage& coverage)
{
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        const DataSet& set = doc.DataSets(k);
        for (int q = 1; q <= set.SectionCount; ++q) {
            if (set.SectionAddressUnusable(q))
                continue;
            const std::int64_t address = set.SectionAddresses(q);
            const std::int64_t step = set.SectionSettings(SettingStep, q);
            const int size = SectionType(doc, TabIdSection, k, q).Size;
            for (std::int64_t n = 0; n < set.IdCount; ++n)
                coverage.markRange(address + n * step, address + n * step + size - 1);
        }
    }
    for (int j = 1; j <= doc.IndividualCount; ++j)
        if (!doc.IndividualAddressUnusable(j))
            coverage.markRange(doc.IndividualAddresses(j),
                               doc.IndividualAddresses(j) + SectionType(doc, TabIndividual, 0, j).Size - 1);
}

std::uint8_t ByteAt(const QByteArray& image, std::int32_t offset)
{
    return offset < image.size() ? static_cast<std::uint8_t>(image[offset]) : 0;
}

// Whether the blocks were read from where the encoder writes them: a table moved
// elsewhere leaves other bytes in the encoder's places.
bool ReadWhereEncoderWrites(const QByteArray& image)
{
    return PointerTableOffsetIn(image) == kPointerTableOffset && ByteAt(image, kBlockBankOffset) == kRegionBank;
}

// What a save of the battle table rewrites differs between any two images that hold
// other records, so once the records are compared it is no difference of its own.
void MarkBattleEncoding(Coverage& coverage)
{
    coverage.markRange(kRegionOffset, kEncodedImageSize - 1);
    coverage.markRange(kPointerTableOffset, kPointerTableOffset + 2 * kBlockCount - 1);
    for (const std::int32_t offset : kBankByteOffsets)
        coverage.mark(offset);
}

void AddOther(std::vector<ByteRange>& ranges, std::int64_t offset)
{
    if (!ranges.empty() && ranges.back().last + 1 == offset)
        ranges.back().last = offset;
    else
        ranges.push_back({offset, offset});
}

std::vector<ByteRange> OtherBytes(const DocumentState& oldDoc, const QByteArray& oldImage, const DocumentState& newDoc,
                                  const QByteArray& newImage, bool battleCompared)
{
    const std::int64_t common = std::min(oldImage.size(), newImage.size());
    const std::int64_t longer = std::max(oldImage.size(), newImage.size());
    Coverage coverage(longer);
    MarkTables(oldDoc, coverage);
    MarkTables(newDoc, coverage);
    if (battleCompared && ReadWhereEncoderWrites(oldImage) && ReadWhereEncoderWrites(newImage))
        MarkBattleEncoding(coverage);

    std::vector<ByteRange> ranges;
    const char* a = oldImage.constData();
    const char* b = newImage.constData();
    std::int64_t offset = 0;
    // Most of two images is equal: skip equal chunks with memcmp, then eight bytes at a time.
    constexpr std::int64_t kChunk = 4096;
    while (offset < common) {
        if (offset % kChunk == 0 && offset + kChunk <= common && std::memcmp(a + offset, b + offset, kChunk) == 0) {
            offset += kChunk;
            continue;
        }
        if (offset + 8 <= common) {
            std::uint64_t x = 0;
            std::uint64_t y = 0;
            std::memcpy(&x, a + offset, 8);
            std::memcpy(&y, b + offset, 8);
            if (x == y) {
                offset += 8;
                continue;
            }
        }
        const std::int64_t end = std::min(offset + 8, common);
        for (; offset < end; ++offset)
            if (a[offset] != b[offset] && !coverage.covered(offset))
                AddOther(ranges, offset);
    }
    for (; offset < longer; ++offset)
        if (!coverage.covered(offset))
            AddOther(ranges, offset);
    return ranges;
}

// Section q of two tables, from the second index 0 on.
struct SectionPair {
    const std::uint8_t* before = nullptr;
    const std::uint8_t* after = nullptr;
};

// A table's sections lie each in one run (the second index is the fastest), so equal
// sections are found with memcmp and the cells are walked without a bounds check each.
// By section 1..sections; empty when every section is equal over first..last.
std::vector<SectionPair> SectionRuns(const NdArray<std::uint8_t, 2>& a, const NdArray<std::uint8_t, 2>& b, int sections,
                                     int first, int last)
{
    std::vector<SectionPair> runs(static_cast<std::size_t>(sections) + 1);
    bool differs = false;
    for (int q = 1; q <= sections; ++q) {
        // Both ends of the run are checked once; a bad bound throws here, not past the run.
        runs[q] = {&a(q, 0), &b(q, 0)};
        (void)a(q, last);
        (void)b(q, last);
        differs = differs || std::memcmp(runs[q].before + first, runs[q].after + first, static_cast<std::size_t>(last - first + 1)) != 0;
    }
    return differs ? runs : std::vector<SectionPair>{};
}

// A cell's value from the byte columns' runs: size bytes from column, at index n.
std::uint32_t RunValue(const std::vector<SectionPair>& runs, bool after, int column, int size, int n)
{
    std::uint32_t value = 0;
    for (int k = size - 1; k >= 0; --k)
        value = value << 8 | (after ? runs[column + k].after : runs[column + k].before)[n];
    return value;
}

void CompareIdSections(const DocumentState& oldDoc, const DocumentState& newDoc, std::vector<CellDifference>& cells)
{
    const int dataSets = std::min(oldDoc.DataSetCount, newDoc.DataSetCount);
    for (int k = 1; k <= dataSets; ++k) {
        const DataSet& a = oldDoc.DataSets(k);
        const DataSet& b = newDoc.DataSets(k);
        const int ids = std::min(a.IdCount, b.IdCount);
        const int sections = std::min(a.SectionCount, b.SectionCount);
        if (ids < 1 || sections < 1)
            continue;
        // Both images are read with one mode's definitions, so their byte columns match.
        const int columns = std::min(oldDoc.IdBytes(k).upper(0), newDoc.IdBytes(k).upper(0));
        const std::vector<SectionPair> runs = SectionRuns(oldDoc.IdBytes(k), newDoc.IdBytes(k), columns, 0, ids);
        if (runs.empty())
            continue;
        for (int n = 0; n < ids; ++n)
            for (int q = 1; q <= sections; ++q) {
                const int column = oldDoc.IdColumn(k, q);
                const int size = SectionType(oldDoc, TabIdSection, k, q).Size;
                if (column + size - 1 > columns)
                    continue;
                const std::uint32_t before = RunValue(runs, false, column, size, n);
                const std::uint32_t after = RunValue(runs, true, column, size, n);
                if (before != after)
                    cells.push_back({TabIdSection, k, a.Name, n + 1, a.IdNames(n + 1), q, a.SectionNames(q),
                                     CellOffset(oldDoc, TabIdSection, k, q, n + 1), before, after, size});
            }
    }
}

void CompareIndividual(const DocumentState& oldDoc, const DocumentState& newDoc, std::vector<CellDifference>& cells)
{
    const int entries = std::min(oldDoc.IndividualCount, newDoc.IndividualCount);
    for (int j = 1; j <= entries; ++j) {
        const std::uint32_t before = CellValueOf(oldDoc, {TabIndividual, 0, 1, j}).value_or(0);
        const std::uint32_t after = CellValueOf(newDoc, {TabIndividual, 0, 1, j}).value_or(0);
        if (before != after)
            cells.push_back({TabIndividual, 0, QString(), j, oldDoc.IndividualNames(j), 1, QString(),
                             CellOffset(oldDoc, TabIndividual, 0, 1, j), before, after,
                             CellTypeOf(oldDoc, {TabIndividual, 0, 1, j}).Size});
    }
}

void CompareBlocks(const DocumentState& oldDoc, const DocumentState& newDoc, std::vector<BlockDifference>& blocks)
{
    const std::vector<int> before = BattleBlockSizes(oldDoc);
    const std::vector<int> after = BattleBlockSizes(newDoc);
    for (int block = 1; block < static_cast<int>(before.size()); ++block)
        if (before[block] != after[block])
            blocks.push_back({block, before[block], after[block]});
}

// False when either image's blocks could not be decoded: then no record is compared.
[[nodiscard]] bool CompareBattle(const DocumentState& oldDoc, const DocumentState& newDoc, ImageComparison& result)
{
    bool comparable = true;
    for (const DocumentState* doc : {&oldDoc, &newDoc})
        if (doc->BattleDecodeFailed) {
            result.problems.push_back({doc->RomPath, 0, QStringLiteral("戦闘パラメータを読めないため、そのレコードは比べていません。")});
            comparable = false;
        }
    if (!comparable)
        return false;
    CompareBlocks(oldDoc, newDoc, result.blocks);
    const int records = std::min(oldDoc.BattleCount(), newDoc.BattleCount());
    if (records < 1)
        return true;
    const std::vector<SectionPair> runs = SectionRuns(oldDoc.BattleParams(), newDoc.BattleParams(), kBattleRecordSize, 1, records);
    if (runs.empty())
        return true;
    for (int i = 1; i <= records; ++i)
        for (int j = 1; j <= kBattleRecordSize; ++j) {
            // A byte inside an earlier field differs as part of that field.
            if (BattleFieldOf(oldDoc, j) != j)
                continue;
            const int size = SectionType(oldDoc, TabBattle, 0, j).Size;
            const std::uint32_t before = RunValue(runs, false, j, size, i);
            const std::uint32_t after = RunValue(runs, true, j, size, i);
            if (before != after)
                result.cells.push_back({TabBattle, 0, QString(), i, BattleRowLabel(oldDoc, i), j,
                                        oldDoc.BattleSectionNames(j), std::nullopt, before, after, size});
        }
    return true;
}

} // namespace

ImageComparison CompareImages(const DocumentState& oldDoc, const QByteArray& oldImage, const DocumentState& newDoc,
                              const QByteArray& newImage)
{
    ImageComparison result;
    CompareIdSections(oldDoc, newDoc, result.cells);
    CompareIndividual(oldDoc, newDoc, result.cells);
    const bool battleCompared = CompareBattle(oldDoc, newDoc, result);
    if (!oldDoc.BattleDecodeFailed)
        result.oldBattleCount = oldDoc.BattleCount();
    if (!newDoc.BattleDecodeFailed)
        result.newBattleCount = newDoc.BattleCount();
    result.otherBytes = OtherBytes(oldDoc, oldImage, newDoc, newImage, battleCompared);
    return result;
}

} // namespace zor
