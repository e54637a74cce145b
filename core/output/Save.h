#pragma once

// Writing the document back into its image. The new image is built in memory from the
// file as it is on disk now: every ID-section and individual cell that differs from its
// baseline (see EditHistory) at its offset, and, when a battle record differs from its
// baseline record or records were added or deleted, all battle blocks encoded again. Everything is checked before the first write; then the
// new image is written beside the file, the ".bak" copy replaced, and the new image
// renamed over the file, so a failure before the rename leaves both as they were.

#include "core/codec/BattleCodec.h"
#include "core/document/DocumentState.h"
#include "core/files/Failure.h"

#include <QByteArray>
#include <QString>

namespace zor {

// Images up to this length are enlarged to 4 MB (with the header's size byte set) when
// their battle blocks are encoded again.
inline constexpr qsizetype kSmallImageSize = 0x300000;
inline constexpr qsizetype kHeaderSizeByte = 0x7FD7;

// The first battle record whose first byte is 0, or 0 when there is none. The stream
// would read that 0 as a block's end, so the save refuses such a table before encoding.
int FirstRecordStartingWithZero(const DocumentState& doc);

// The stream the encoder takes, built from the records and their block starts.
StreamArray BuildBattleStream(const DocumentState& doc);

// The image as the save will write it, from the bytes on disk; refused when it can't be
// built (a battle record that begins with 0, blocks that could not be read, blocks that
// don't fit, a read-only cell that differs, two changed cells at one offset with
// different bytes). Changes nothing.
[[nodiscard]] Result<QByteArray> BuildSavedImage(const DocumentState& doc, const QByteArray& onDisk);

// 上書き保存: nothing while the document is unmodified; otherwise the file is copied to
// path + ".bak" (a link there is replaced, never written through) and the new image written
// over it (through a link, to the file it names). On success the image written becomes
// the history's baseline, so the document is no longer modified; on failure (its message
// naming the file) nothing changes, the document included. The journals are never changed.
[[nodiscard]] Result<void> SaveDocument(DocumentState& doc);

// 名前を付けて保存: the open file, with the document's changes when it is modified, is
// written to path, which then becomes the open file and the baseline. Onto the open file itself (another
// spelling, a symbolic link to it) it is a save without a copy; onto the open file's ".bak", a hard link
// to the open file or a file that isn't regular it is refused (see CheckOutput).
[[nodiscard]] Result<void> SaveDocumentAs(DocumentState& doc, const QString& path);

} // namespace zor
