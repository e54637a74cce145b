#include "core/output/Save.h"
#include "core/output/ReadBack.h"
#include "core/output/SaveOptions.h"

#include "core/codec/CodecError.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/edit/EditHistory.h"
#include "core/files/SaveFile.h"
#include "core/view/Grid.h"
#include "core/files/ReadFile.h"

#include <QFileInfo>
#include <QHash>

#include <cerrno>

namespace zor {

namespace {

// Whether the save encodes the battle blocks again: a record differs from its baseline
// record, or records were added or deleted.
bool NeedsReencode(const DocumentState& doc) { return doc.History->BattleChanged(); }

const QString kNothingWritten = QStringLiteral("何も書いていません。");

// A refusal of the save before anything is written: why, then that nothing was.
Failure Refused(const QString& path, const QString& why)
{
    Failure refused = Failure::Of(Failure::Kind::Refused, path, why);
    refused.after = kNothingWritten;
    return refused;
}

// The image read again now, refused when it vanished or became shorter since it was read.
[[nodiscard]] Result<QByteArray> ReadOpenImage(const DocumentState& doc)
{
    if (!QFileInfo::exists(doc.RomPath)) {
        Failure gone = Failure::FromErrno(doc.RomPath, ENOENT, FileAccess::Read);
        gone.detail = QStringLiteral("%1 がありません。読み込んだ後に移動か削除されたようです").arg(doc.RomPath);
        gone.after = kNothingWritten;
        return gone;
    }
    Result<QByteArray> bytes = ReadRegularFile(doc.RomPath, kMaxImageSize);
    if (!bytes)
        return bytes.failure().said(QStringLiteral("%1 を読めません").arg(doc.RomPath), kNothingWritten);
    if (bytes->size() < doc.RomSizeAtRead)
        return Refused(doc.RomPath, QStringLiteral("%1 が読み込んだ時より短くなっています（%2 バイトから %3 バイト）")
                                        .arg(doc.RomPath)
                                        .arg(doc.RomSizeAtRead)
                                        .arg(bytes->size()));
    return bytes;
}

// After a write: the file just written is the new baseline.
void Saved(DocumentState& doc, const QByteArray& image, bool reencoded)
{
    if (reencoded)
        doc.BattleStream = NdArray<std::uint8_t, 1>::FromElements(BuildBattleStream(doc));
    doc.Image = image;
    doc.RomSizeAtRead = image.size();
    // Every cell takes the byte the file now holds: one that shares its offset with a cell
    // the save wrote shows the new byte, instead of a change that would write the old one back.
    ProblemLog alreadyReported; // the read told of the places outside the image
    ReadIdSectionBytes(doc, image, alreadyReported);
    ReadIndividualBytes(doc, image, alreadyReported);
    doc.History->TakeBaselineFromImage(doc, image);
}

} // namespace

int FirstRecordStartingWithZero(const DocumentState& doc)
{
    for (int r = 1; r <= doc.BattleCount(); ++r)
        if (doc.BattleParams(1, r) == 0)
            return r;
    return 0;
}

StreamArray BuildBattleStream(const DocumentState& doc)
{
    // Each record's 25 bytes in row order, a 0 before the first record of every block
    // after the first, the 0 that ends the last block, and the spare element.
    StreamArray stream(static_cast<std::size_t>(kRecordSize) * doc.BattleCount() + kBlockCount + 2, 0);
    std::size_t at = 0;
    int nextBlock = 1;
    for (int r = 1; r <= doc.BattleCount(); ++r) {
        if (nextBlock <= kBlockCount && doc.GroupStarts(nextBlock) == r) {
            ++at;
            ++nextBlock;
        }
        for (int j = 1; j <= kRecordSize; ++j)
            stream[++at] = doc.BattleParams(j, r);
    }
    return stream;
}

Result<QByteArray> BuildSavedImage(const DocumentState& doc, const QByteArray& onDisk)
{
    QByteArray image = onDisk;
    // Every cell that differs from its baseline, each byte at its offset; two of them that
    // share a byte must agree on it, or the file could hold only one of them.
    struct Written {
        CellRef cell;
        std::uint8_t byte = 0;
    };
    QHash<std::int64_t, Written> written;
    for (const CellRef& cell : ChangedCells(doc)) {
        if (cell.tab != TabIdSection && cell.tab != TabIndividual)
            break; // the battle cells follow, and are encoded below
        // The editor never lets such a cell change; a change to one must not be dropped silently.
        if (const std::optional<QString> reason = ReadOnlyReason(doc, cell.tab, cell.dataSet, cell.col, cell.row))
            return Refused(doc.RomPath, *reason);
        const std::int64_t start = *CellOffset(doc, cell.tab, cell.dataSet, cell.col, cell.row);
        const CellSpan bytes = CellSpanOf(doc, cell);
        for (int k = 0; k < bytes.size; ++k) {
            const std::int64_t at = start + k;
            const std::uint8_t byte = bytes[k];
            if (const auto first = written.constFind(at); first != written.constEnd()) {
                if (first->byte != byte)
                    return Refused(doc.RomPath, QStringLiteral("%1と%2は同じオフセット %3 にあり、違う値に変更されています。"
                                                               "どちらかを揃えてから保存してください")
                                                    .arg(CellName(doc, first->cell.tab, first->cell.dataSet, first->cell.col, first->cell.row),
                                                         CellName(doc, cell.tab, cell.dataSet, cell.col, cell.row), HexOffset(at)));
                continue;
            }
            written.insert(at, {cell, byte});
            // A cell past the end extends the image with zeros, as far as an image may reach.
            const qsizetype offset = static_cast<qsizetype>(at);
            if (offset >= image.size())
                image.append(QByteArray(offset + 1 - image.size(), '\0'));
            image[offset] = static_cast<char>(byte);
        }
    }
    if (!NeedsReencode(doc))
        return image;

    // The editor never lets such records change; the encoder must not write over them.
    if (const std::optional<QString> why = BattleReadOnlyReason(doc))
        return Refused(doc.RomPath, *why);
    if (doc.BattleDecodeFailed)
        return Refused(doc.RomPath, QStringLiteral("読み込んだ時に戦闘パラメータのブロックを読めなかったため、辞書の場所が分からず、"
                                                   "戦闘パラメータを書き直せません"));
    // A record that begins with 0 would read as a block's end and shift every byte after it.
    if (const int r = FirstRecordStartingWithZero(doc))
        return Refused(doc.RomPath, QStringLiteral("戦闘パラメータの %1 行目の最初のバイト%2が 0 です。0 で始まるレコードは保存できません。"
                                                   "0 以外にしてから保存してください")
                                        .arg(r)
                                        .arg(FirstByteNote(doc, *CellValueOf(doc, {TabBattle, 0, 1, r}))));
    if (image.size() <= kSmallImageSize) {
        image.append(QByteArray(kEncodedImageSize - image.size(), '\0'));
        image[kHeaderSizeByte] = 0x0D;
    }
    try {
        BattleCodec codec = doc.Codec; // the encoder's scratch is its own; the dictionary is the read's
        codec.EncodeBattleBlocks(BuildBattleStream(doc), image);
    } catch (const CodecError& e) {
        return Failure::Of(Failure::Kind::Refused, doc.RomPath,
                           QStringLiteral("戦闘パラメータを書き込めません。%1 何も書いていません。").arg(e.message()));
    }
    return image;
}

namespace {

// The image as it will be written: the changes, what ZOR.ini asks of every save, and the
// check that the next load reads the document back from it.
[[nodiscard]] Result<QByteArray> FinishedImage(const DocumentState& doc, const QByteArray& onDisk)
{
    Result<QByteArray> image = BuildSavedImage(doc, onDisk);
    if (!image)
        return image;
    ApplySaveOptions(doc, *image);
    if (const Result<void> readsBack = CheckReadBack(doc, *image); !readsBack) {
        Failure differs = readsBack.failure();
        differs.place = doc.RomPath;
        differs.after = QStringLiteral("保存したイメージを読み直すと違うデータになるため、何も書いていません。");
        return differs;
    }
    return image;
}

// The changes written into the open file, after a copy of it to its .bak when asked.
[[nodiscard]] Result<void> WriteBack(DocumentState& doc, bool withBackup)
{
    if (!doc.History->Modified())
        return {};
    const Result<QByteArray> onDisk = ReadOpenImage(doc);
    if (!onDisk)
        return onDisk.failure();
    const Result<QByteArray> image = FinishedImage(doc, *onDisk);
    if (!image)
        return image.failure();
    // The new image on disk first, the .bak next, the rename last: a failure before the
    // rename leaves the image and the old .bak as they were (the writer removes its
    // temporary file when it goes out of scope uncommitted).
    const auto notWritten = [&](const Failure& failure) {
        return failure.said(QStringLiteral("%1 に書き込めません").arg(doc.RomPath), QStringLiteral("ファイルは元のままです。"));
    };
    AtomicFile newImage(doc.RomPath);
    if (const Result<void> written = newImage.write(*image); !written)
        return notWritten(written.failure());
    // The .bak is replaced as a name: a link there is never written through to what it names.
    if (withBackup) {
        AtomicFile backup(BackupPath(doc.RomPath), SymlinkTarget::ReplaceLink);
        Result<void> copied = backup.write(*onDisk);
        if (copied)
            copied = backup.commit();
        if (!copied)
            return copied.failure().said(QStringLiteral("バックアップ %1 を書けません").arg(BackupPath(doc.RomPath)), kNothingWritten);
    }
    if (const Result<void> renamed = newImage.commit(); !renamed)
        return notWritten(renamed.failure());
    Saved(doc, *image, NeedsReencode(doc));
    return {};
}

} // namespace

Result<void> SaveDocument(DocumentState& doc) { return WriteBack(doc, true); }

Result<void> SaveDocumentAs(DocumentState& doc, const QString& path)
{
    // Onto the open file itself, under any spelling or through a symbolic link: a save
    // without a copy. A hard link to it or its .bak is refused when written.
    const QFileInfo target(path);
    const QFileInfo open(doc.RomPath);
    if (target.absoluteFilePath() == open.absoluteFilePath()
        || (target.exists() && target.canonicalFilePath() == open.canonicalFilePath()))
        return WriteBack(doc, false);
    const Result<QByteArray> onDisk = ReadOpenImage(doc);
    if (!onDisk)
        return onDisk.failure();
    // An unmodified image is copied as it is.
    const Result<QByteArray> image = doc.History->Modified() ? FinishedImage(doc, *onDisk) : onDisk;
    if (!image)
        return image.failure();
    if (const Result<void> written = WriteFileAtomically(path, *image, OpenImageFiles(doc.RomPath)); !written)
        return written.failure().said(QStringLiteral("%1 に保存できません").arg(path), QStringLiteral("開いているファイルはそのままです。"));
    const bool reencoded = doc.History->Modified() && NeedsReencode(doc);
    doc.RomPath = path;
    Saved(doc, *image, reencoded);
    return {};
}

} // namespace zor
