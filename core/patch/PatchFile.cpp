#include "core/patch/PatchFile.h"

#include "core/files/ReadFile.h"
#include "core/patch/Bps.h"
#include "core/patch/Ips.h"

namespace zor {

PatchFileResult WritePatchFile(const QString& original, const QString& edited, const QString& out, PatchFormat format,
                               const PatchFileOptions& options)
{
    std::vector<GuardedFile> guarded{{QStringLiteral("元のイメージ"), original}, {QStringLiteral("変更後のイメージ"), edited}};
    guarded.insert(guarded.end(), options.guarded.begin(), options.guarded.end());
    const auto notWritten = [&](const QString& reason) {
        return PatchFileResult{PatchFileResult::NotWritten,
                               QStringLiteral("%1 に書き込めません（%2）。元のファイルはそのままです。").arg(out, reason)};
    };
    // Before the images are read: a refusal costs nothing. The write checks again.
    if (const FileError refusal = CheckOutput(out, guarded); refusal.failed())
        return notWritten(refusal.reason());
    FileError readError;
    const std::optional<QByteArray> source = ReadRegularFile(original, kMaxImageSize, &readError);
    const std::optional<QByteArray> target = source ? ReadRegularFile(edited, kMaxImageSize, &readError) : std::nullopt;
    if (!source || !target)
        return {PatchFileResult::Unreadable,
                QStringLiteral("%1 を読めません（%2）。").arg(source ? edited : original, readError.reason())};
    if (options.skipIdentical && *source == *target)
        return {PatchFileResult::Identical,
                QStringLiteral("%1 と %2 に違いはありません。パッチは書いていません。").arg(original, edited)};
    const bool ips = format == PatchFormat::Ips;
    const PatchResult patch = ips ? MakeIps(*source, *target) : MakeBps(*source, *target);
    if (!patch)
        return {PatchFileResult::Refused, QStringLiteral("%1 から %2 へのパッチを作れません。%3。").arg(original, edited, patch.error)};
    QString writeError;
    if (!WriteFileAtomically(out, *patch.bytes, &writeError, guarded))
        return notWritten(writeError);
    return {PatchFileResult::Written,
            QStringLiteral("%1 のパッチ %2 を書きました（%3 バイト）。").arg(ips ? QStringLiteral("IPS") : QStringLiteral("BPS"), out)
                .arg(patch.bytes->size()),
            patch.bytes->size()};
}

} // namespace zor
