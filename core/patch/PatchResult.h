#pragma once

// What making or applying a patch gives back: the bytes, or a Japanese reason.

#include <QByteArray>
#include <QString>

#include <optional>

namespace zor {

struct PatchResult {
    std::optional<QByteArray> bytes; // the patch, or the patched image
    QString error;                   // why there are none; without a final "。"

    explicit operator bool() const { return bytes.has_value(); }

    static PatchResult Ok(QByteArray bytes) { return {std::move(bytes), QString()}; }
    static PatchResult Failed(QString error) { return {std::nullopt, std::move(error)}; }
};

} // namespace zor
