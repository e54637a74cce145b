#pragma once

// Reading a ROM image into the document: the image is read once into memory, then
// the definitions of the mode are loaded and every cell is taken from that copy. Only
// what depends on the image is read here; every definition file is read by LoadDefinitions.
// Bytes past the image's end read as 0. Every problem goes to the log.

#include "core/codec/BattleCodec.h"
#include "core/document/Definitions.h"
#include "core/document/DocumentState.h"
#include "core/document/Problems.h"
#include "core/files/ReadFile.h"

#include <QByteArray>
#include <QString>

namespace zor {

// The whole file, or why not (missing, a folder, not a regular file, unreadable, larger
// than kMaxImageSize); a folder's message asks for an image file.
[[nodiscard]] Result<QByteArray> ReadRomImage(const QString& path);

// Every ID-section cell: offset + (ID × step), in 32 bits.
void ReadIdSectionBytes(DocumentState& doc, const QByteArray& image, ProblemLog& log);
// The byte of every usable individual entry.
void ReadIndividualBytes(DocumentState& doc, const QByteArray& image, ProblemLog& log);
// The battle blocks decoded with doc's codec and split into records.
void ReadBattleParams(DocumentState& doc, const QByteArray& image, ProblemLog& log);

// A fresh document for the image at romPath, read with the definitions of programFolder,
// replacing doc: its own codec, and what the load found wrong in doc.Problems. The view,
// the cell clipboard and the window's settings are not the document's, and stay.
void LoadDocument(DocumentState& doc, const QString& romPath, const QByteArray& image, const QString& programFolder);

} // namespace zor
