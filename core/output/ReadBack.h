#pragma once

// The last check of a save: the finished image, before anything is written, read as the
// next load would read it.

#include "core/document/DocumentState.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zor {

// What of the document image would not give back, in Japanese; nullopt when it reads back
// whole: the battle records and their block starts decode as the document holds them (when
// the image has battle records), and every ID-section and individual cell that differs
// from its baseline reads its new byte at its offset (the encoder or the checksum may have
// written over it). Changes nothing; the decode uses a codec of its own.
std::optional<QString> ReadBackProblem(const DocumentState& doc, const QByteArray& image);

} // namespace zor
