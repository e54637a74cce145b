#pragma once

// The one source image the patch fuzz target applies every input to.

#include <QByteArray>

namespace zor::fuzz {

inline QByteArray PatchFuzzSource()
{
    QByteArray source(512, '\0');
    for (int i = 0; i < source.size(); ++i)
        source[i] = static_cast<char>((i * 37 + i / 7) & 0xFF);
    return source;
}

} // namespace zor::fuzz
