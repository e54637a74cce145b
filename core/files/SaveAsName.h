#pragma once

#include <QString>

namespace zor {

// The name a Save As proposes for the open file at path: beside it, with "_2" before
// the extension ("a.sfc" → "a_2.sfc", "a" → "a_2"), so that a hasty Enter never writes
// over the open file. A leading dot starts a name, not an extension. Empty for an empty path.
QString SaveAsName(const QString& path);

} // namespace zor
