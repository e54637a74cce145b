#include "core/codec/CodecError.h"

namespace zor {

CodecError::CodecError(const QString& message, int block)
    : std::runtime_error(message.toStdString()), message_(message), block_(block)
{
}

QString HexOffset(std::int64_t offset)
{
    const QString digits = QString::number(offset < 0 ? -offset : offset, 16).toUpper();
    return (offset < 0 ? QStringLiteral("-0x") : QStringLiteral("0x")) + digits;
}

} // namespace zor
