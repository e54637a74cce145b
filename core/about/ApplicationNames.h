#pragma once

namespace zor {

// The organisation and application names both programs run under, so that zor and
// zor-cli find the same data folder (~/.local/share/ZOR/zor) and settings
// (~/.config/ZOR/zor.conf), and the version. Call it once the QCoreApplication exists.
void SetApplicationNames();

} // namespace zor
