#pragma once

#include <QByteArray>
#include <QString>

namespace zor {

// Replaces the file at path with bytes, all or nothing: on any failure the old file
// stays whole and *error says why. QSaveFile can commit after a short write on a
// full disk, so every write is checked for its full length.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

} // namespace zor
