#include "core/document/ReadImage.h"

#include "core/codec/CodecError.h"
#include "core/codec/ImageLayout.h"
#include "core/document/BattleRecords.h"
#include "core/files/Ini.h"
#include "core/files/Numbers.h"
#include "core/files/ProgramFolder.h"
#include "core/files/Text.h"

#include <algorithm>

namespace zor {

namespace {

// The byte at a 0-based offset; nothing outside the image.
std::optional<std::uint8_t> ByteAt(const QByteArray& image, std::int64_t offset)
{
    if (offset < 0 || offset >= image.size())
        return std::nullopt;
    return static_cast<std::uint8_t>(image[static_cast<qsizetype>(offset)]);
}

QString Hex(std::int64_t value) { return QString::number(value, 16).toUpper(); }

} // namespace

Result<QByteArray> ReadRomImage(const QString& path)
{
    Result<QByteArray> bytes = ReadRegularFile(path, kMaxImageSize);
    if (bytes || bytes.failure().kind != Failure::Kind::Folder)
        return bytes;
    Failure folder = bytes.failure();
    folder.after = QStringLiteral("ROM イメージのファイルを選んでください。");
    return folder;
}

void ReadIdSectionBytes(DocumentState& doc, const QByteArray& image, ProblemLog& log)
{
    for (int k = 1; k <= doc.DataSetCount; ++k) {
        const DataSet& set = doc.DataSets(k);
        NdArray<std::uint8_t, 2>& bytes = TableLoad::IdBytes(doc, k);
        for (int q = 1; q <= set.SectionCount; ++q) {
            if (set.SectionAddressUnusable(q))
                continue; // already reported; its cells stay 0
            const std::int64_t address = set.SectionAddresses(q);
            const std::int64_t step = set.SectionSettings(SettingStep, q);
            const int column = doc.IdColumn(k, q);
            const int size = SectionType(doc, TabIdSection, k, q).Size;
            int before = 0;
            int outside = 0;
            for (int n = 0; n < set.IdCount; ++n)
                for (int b = 0; b < size; ++b) {
                    const std::int64_t offset = address + n * step + b;
                    const std::optional<std::uint8_t> byte = ByteAt(image, offset);
                    if (byte)
                        bytes(column + b, n) = *byte;
                    else if (offset < 0)
                        ++before;
                    else
                        ++outside;
                }
            // Once per section for each side, as the cells of a section lie in one run.
            const auto report = [&](int count, const QString& where) {
                if (count > 0)
                    log.add(DataSetFile(doc, k, QStringLiteral(".sna")), 2 * q - 1,
                            QStringLiteral("セクション「%1」（オフセット %2、間隔 %3）の %4 個のバイトが%5にあるため、0 として読みました。")
                                .arg(QuoteText(set.SectionNames(q)), Hex(address))
                                .arg(step)
                                .arg(count)
                                .arg(where));
            };
            report(before, QStringLiteral("イメージの先頭より前"));
            report(outside, QStringLiteral("イメージの外"));
        }
    }
}

void ReadIndividualBytes(DocumentState& doc, const QByteArray& image, ProblemLog& log)
{
    NdArray<std::uint8_t, 1>& bytes = TableLoad::IndividualBytes(doc);
    for (int j = 1; j <= doc.IndividualCount; ++j) {
        if (doc.IndividualAddressUnusable(j))
            continue; // already reported; it stays 0
        const int index = doc.IndividualIndex(j);
        const int size = SectionType(doc, TabIndividual, 0, j).Size;
        std::optional<std::int64_t> outside; // the first of its bytes outside the image
        for (int b = 0; b < size; ++b) {
            const std::int64_t offset = std::int64_t{doc.IndividualAddresses(j)} + b;
            if (const std::optional<std::uint8_t> byte = ByteAt(image, offset))
                bytes(index + b) = *byte;
            else if (!outside)
                outside = offset;
        }
        if (outside)
            log.add(FindFileIgnoringCase(doc.ModeFolder, kIndividualSna), 2 * j - 1,
                    QStringLiteral("「%1」のオフセット %2 がイメージの外にあるため、0 として読みました。")
                        .arg(QuoteText(doc.IndividualNames(j)), Hex(*outside)));
    }
}

void ReadBattleParams(DocumentState& doc, const QByteArray& image, ProblemLog& log)
{
    doc.BattleDecodeFailed = false;
    doc.BattleReadOnly.clear();
    try {
        StreamArray bytes;
        doc.Codec.DecodeBattleBlocks(bytes, image);
        doc.BattleStream = NdArray<std::uint8_t, 1>::FromElements(std::move(bytes));
        ReadBattleRecords(doc);
        // After a save, an image whose table lies elsewhere (moved to make room) would read
        // other blocks, so its records stay as they are.
        const std::int32_t table = PointerTableOffsetIn(image);
        if (table != kPointerTableOffset) {
            doc.BattleReadOnly = QStringLiteral("戦闘パラメータの表が %1 にあるため、戦闘パラメータは変更できません。"
                                                "書き直せるのは %2 にある表だけです。")
                                     .arg(HexOffset(table), HexOffset(kPointerTableOffset));
            log.add(doc.RomPath, 0, doc.BattleReadOnly);
        }
    } catch (const CodecError& e) {
        // An empty table rather than part of one: a save must not re-encode from it.
        doc.BattleStream.redim(1);
        ClearBattleRecords(doc);
        doc.BattleDecodeFailed = true;
        log.add(doc.RomPath, 0, QStringLiteral("戦闘パラメータを読めません。%1").arg(e.message()));
    }
}

void LoadDocument(DocumentState& doc, const QString& romPath, const QByteArray& image, const QString& programFolder)
{
    DocumentState fresh;
    fresh.Problems = ProblemLog(programFolder);
    ProblemLog& log = fresh.Problems;
    fresh.RomPath = romPath;
    fresh.Image = image;
    fresh.RomSizeAtRead = image.size();

    // A copier's 512-byte header in front of the image puts every offset 512 bytes off:
    // every write would land beside its data, so nothing may change until it is taken off.
    if (HasCopierHeader(image.size())) {
        fresh.ImageReadOnly = QStringLiteral("イメージの先頭にコピー機のヘッダーが付いているようで、すべてのオフセットが 512 バイトずれるため、"
                                             "変更できません。ヘッダーを取り除いてから読み込んでください。");
        log.add(romPath, 0,
                QStringLiteral("イメージの大きさが 32 KiB の倍数より 512 バイト多いため、先頭にコピー機のヘッダーが付いているようです。"
                               "すべてのオフセットが 512 バイトずれるので、どの表も変更できません。ヘッダーを取り除いてから読み込んでください。"));
    } else if (const std::optional<QString> problem = ImageSizeProblem(image.size()))
        log.add(romPath, 0, *problem);
    LoadDefinitions(fresh, programFolder, ReadZorSettings(programFolder, log), log);
    ReadIdSectionBytes(fresh, image, log);
    ReadIndividualBytes(fresh, image, log);
    ReadBattleParams(fresh, image, log);
    fresh.History.StartWithBaseline(fresh);
    doc = std::move(fresh);
}

} // namespace zor
