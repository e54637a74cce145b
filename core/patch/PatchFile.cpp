#include "core/patch/PatchFile.h"

#include "core/files/ReadFile.h"
#include "core/files/SaveFile.h"
#include "core/patch/Bps.h"
#include "core/patch/Ips.h"

namespace zor {

PatchFileResult WritePatchFile(const QString& original, const QString& edited, const QString& out, PatchFormat format)
{
    FileError readError;
    const std::optional<QByteArray> source = ReadRegularFile(original, kMaxImageSize, &readError);
    const std::optional<QByteArray> target = source ? ReadRegularFile(edited, kMaxImageSize, &readError) : std::nullopt;
    if (!source || !target)
        return {PatchFileResult::Unreadable,
                QStringLiteral("%1 を読めません（%2）。").arg(source ? edited : original, readError.reason())};
    const bool ips = format == PatchFormat::Ips;
    const PatchResult patch = ips ? MakeIps(*source, *target) : MakeBps(*source, *target);
    if (!patch)
        return {PatchFileResult::Refused, QStringLiteral("%1 から %2 へのパッチを作れません。%3。").arg(original, edited, patch.error)};
    QString writeError;
    if (!WriteFileAtomically(out, *patch.bytes, &writeError))
        return {PatchFileResult::NotWritten, QStringLiteral("%1 に書き込めません（%2）。元のファイルはそのままです。").arg(out, writeError)};
    return {PatchFileResult::Written,
            QStringLiteral("%1 のパッチ %2 を書きました（%3 バイト）。").arg(ips ? QStringLiteral("IPS") : QStringLiteral("BPS"), out)
                .arg(patch.bytes->size()),
            patch.bytes->size()};
}

} // namespace zor
