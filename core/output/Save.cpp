#include "core/output/Save.h"
#include "core/output/SaveOptions.h"

#include "core/codec/CodecError.h"
#include "core/document/CellBytes.h"
#include "core/document/ReadImage.h"
#include "core/files/SaveFile.h"
#include "core/files/ReadFile.h"

#include <QFileInfo>

namespace zor {

namespace {

// Whether the save encodes the battle blocks again: records were added or deleted, or
// a battle cell has a record in the undo journal.
bool NeedsReencode(const DocumentState& doc)
{
    if (doc.RecordCountChanged)
        return true;
    for (int i = 1; i <= doc.UndoCount; ++i)
        if (doc.UndoEntries(i).Tab == TabBattle)
            return true;
    return false;
}

// The image read again now, refused when it vanished or became shorter since it was read.
std::optional<QByteArray> ReadOpenImage(const DocumentState& doc, QString* error)
{
    if (!QFileInfo::exists(doc.RomPath)) {
        *error = QStringLiteral("%1 がありません。読み込んだ後に移動か削除されたようです。何も書いていません。").arg(doc.RomPath);
        return std::nullopt;
    }
    FileError reason;
    std::optional<QByteArray> bytes = ReadRegularFile(doc.RomPath, kMaxImageSize, &reason);
    if (!bytes) {
        *error = QStringLiteral("%1 を読めません（%2）。何も書いていません。").arg(doc.RomPath, reason.reason());
        return std::nullopt;
    }
    if (bytes->size() < doc.RomSizeAtRead) {
        *error = QStringLiteral("%1 が読み込んだ時より短くなっています（%2 バイトから %3 バイト）。何も書いていません。")
                     .arg(doc.RomPath)
                     .arg(doc.RomSizeAtRead)
                     .arg(bytes->size());
        return std::nullopt;
    }
    return bytes;
}

bool SameFile(const QString& a, const QString& b)
{
    const QString first = QFileInfo(a).canonicalFilePath();
    const QString second = QFileInfo(b).canonicalFilePath();
    if (!first.isEmpty() && !second.isEmpty())
        return first == second;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// After a write: the document matches its file.
void Saved(DocumentState& doc, const QByteArray& image, bool reencoded)
{
    if (reencoded)
        doc.BattleStream = NdArray<std::uint8_t, 1>::FromElements(BuildBattleStream(doc));
    doc.RomSizeAtRead = image.size();
    doc.Modified = false;
    doc.RecordCountChanged = false;
}

} // namespace

int FirstRecordStartingWithZero(const DocumentState& doc)
{
    for (int r = 1; r <= doc.BattleCount; ++r)
        if (doc.BattleParams(1, r) == 0)
            return r;
    return 0;
}

StreamArray BuildBattleStream(const DocumentState& doc)
{
    // Each record's 25 bytes in row order, a 0 before the first record of every block
    // after the first, the 0 that ends the last block, and the spare element.
    StreamArray stream(static_cast<std::size_t>(kRecordSize) * doc.BattleCount + kBlockCount + 2, 0);
    std::size_t at = 0;
    int nextBlock = 1;
    for (int r = 1; r <= doc.BattleCount; ++r) {
        if (nextBlock <= kBlockCount && doc.GroupStarts(nextBlock) == r) {
            ++at;
            ++nextBlock;
        }
        for (int j = 1; j <= kRecordSize; ++j)
            stream[++at] = doc.BattleParams(j, r);
    }
    return stream;
}

std::optional<QByteArray> BuildSavedImage(const DocumentState& doc, const QByteArray& onDisk, BattleCodec& codec,
                                          QString* error)
{
    QByteArray image = onDisk;
    for (int i = 1; i <= doc.UndoCount; ++i) {
        const JournalRecord& record = doc.UndoEntries(i);
        if (record.Tab != TabIdSection && record.Tab != TabIndividual)
            continue;
        const std::uint8_t* byte = CellByte(doc, record.Tab, record.DataSet, record.Col, record.Row);
        if (!byte)
            continue; // no longer a cell of its table
        // The editor never lets such a cell change; a record of one must not be dropped silently.
        if (const std::optional<QString> reason = ReadOnlyReason(doc, record.Tab, record.DataSet, record.Col, record.Row)) {
            if (error)
                *error = *reason + QStringLiteral("何も書いていません。");
            return std::nullopt;
        }
        // A cell past the end extends the image with zeros, as far as an image may reach.
        const qsizetype offset = static_cast<qsizetype>(*CellOffset(doc, record.Tab, record.DataSet, record.Col, record.Row));
        if (offset >= image.size())
            image.append(QByteArray(offset + 1 - image.size(), '\0'));
        image[offset] = static_cast<char>(*byte);
    }
    if (!NeedsReencode(doc))
        return image;

    if (doc.BattleDecodeFailed) {
        *error = QStringLiteral("読み込んだ時に戦闘パラメータのブロックを読めなかったため、辞書の場所が分からず、"
                                "戦闘パラメータを書き直せません。何も書いていません。");
        return std::nullopt;
    }
    // A record that begins with 0 would read as a block's end and shift every byte after it.
    if (const int r = FirstRecordStartingWithZero(doc)) {
        *error = QStringLiteral("戦闘パラメータの %1 行目の最初のバイトが 0 です。0 で始まるレコードは保存できません。"
                                "0 以外にしてから保存してください。何も書いていません。")
                     .arg(r);
        return std::nullopt;
    }
    if (image.size() <= kSmallImageSize) {
        image.append(QByteArray(kEncodedImageSize - image.size(), '\0'));
        image[kHeaderSizeByte] = 0x0D;
    }
    try {
        codec.EncodeBattleBlocks(BuildBattleStream(doc), image);
    } catch (const CodecError& e) {
        *error = QStringLiteral("戦闘パラメータを書き込めません。%1 何も書いていません。").arg(e.message());
        return std::nullopt;
    }
    return image;
}

namespace {

// The changes written into the open file, after a copy of it to its .bak when asked.
bool WriteBack(DocumentState& doc, BattleCodec& codec, bool withBackup, QString* error)
{
    if (!doc.Modified)
        return true;
    const std::optional<QByteArray> onDisk = ReadOpenImage(doc, error);
    if (!onDisk)
        return false;
    std::optional<QByteArray> image = BuildSavedImage(doc, *onDisk, codec, error);
    if (!image)
        return false;
    ApplySaveOptions(doc, *image);
    // The new image on disk first, the .bak next, the rename last: a failure before the
    // rename leaves the image and the old .bak as they were (the writer removes its
    // temporary file when it goes out of scope uncommitted).
    AtomicFile newImage(doc.RomPath);
    if (!newImage.write(*image)) {
        *error = QStringLiteral("%1 に書き込めません（%2）。ファイルは元のままです。").arg(doc.RomPath, newImage.error().reason());
        return false;
    }
    QString reason;
    const QString backup = doc.RomPath + QStringLiteral(".bak");
    if (withBackup && !WriteFileAtomically(backup, *onDisk, &reason)) {
        *error = QStringLiteral("バックアップ %1 を書けません（%2）。何も書いていません。").arg(backup, reason);
        return false;
    }
    if (!newImage.commit()) {
        *error = QStringLiteral("%1 に書き込めません（%2）。ファイルは元のままです。").arg(doc.RomPath, newImage.error().reason());
        return false;
    }
    Saved(doc, *image, NeedsReencode(doc));
    return true;
}

} // namespace

bool SaveDocument(DocumentState& doc, BattleCodec& codec, QString* error) { return WriteBack(doc, codec, true, error); }

bool SaveDocumentAs(DocumentState& doc, BattleCodec& codec, const QString& path, QString* error)
{
    if (SameFile(path, doc.RomPath))
        return WriteBack(doc, codec, false, error); // onto the open file itself: no copy
    if (SameFile(path, doc.RomPath + QStringLiteral(".bak"))) {
        *error = QStringLiteral("%1 は開いているファイルのバックアップです。別の名前を選んでください。").arg(path);
        return false;
    }
    const std::optional<QByteArray> onDisk = ReadOpenImage(doc, error);
    if (!onDisk)
        return false;
    std::optional<QByteArray> image = doc.Modified ? BuildSavedImage(doc, *onDisk, codec, error) : onDisk;
    if (!image)
        return false;
    if (doc.Modified) // an unmodified image is copied as it is
        ApplySaveOptions(doc, *image);
    QString reason;
    if (!WriteFileAtomically(path, *image, &reason)) {
        *error = QStringLiteral("%1 に保存できません（%2）。開いているファイルはそのままです。").arg(path, reason);
        return false;
    }
    const bool reencoded = doc.Modified && NeedsReencode(doc);
    doc.RomPath = path;
    Saved(doc, *image, reencoded);
    return true;
}

} // namespace zor
