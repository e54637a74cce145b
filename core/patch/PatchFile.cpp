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
    const auto notWritten = [&](const Failure& failure) {
        return PatchFileResult{
            PatchFileResult::NotWritten,
            failure.said(QStringLiteral("%1 に書き込めません").arg(out), QStringLiteral("元のファイルはそのままです。")).message()};
    };
    // Before the images are read: a refusal costs nothing. The write checks again.
    if (const Result<void> refusal = CheckOutput(out, guarded); !refusal)
        return notWritten(refusal.failure());
    const Result<QByteArray> source = ReadRegularFile(original, kMaxImageSize);
    if (!source)
        return {PatchFileResult::Unreadable, source.failure().said(QStringLiteral("%1 を読めません").arg(original)).message()};
    const Result<QByteArray> target = ReadRegularFile(edited, kMaxImageSize);
    if (!target)
        return {PatchFileResult::Unreadable, target.failure().said(QStringLiteral("%1 を読めません").arg(edited)).message()};
    if (options.skipIdentical && *source == *target)
        return {PatchFileResult::Identical,
                QStringLiteral("%1 と %2 に違いはありません。パッチは書いていません。").arg(original, edited)};
    const bool ips = format == PatchFormat::Ips;
    const PatchResult patch = ips ? MakeIps(*source, *target) : MakeBps(*source, *target);
    if (!patch)
        return {PatchFileResult::Refused, QStringLiteral("%1 から %2 へのパッチを作れません。%3。").arg(original, edited, patch.error)};
    if (const Result<void> written = WriteFileAtomically(out, *patch.bytes, guarded); !written)
        return notWritten(written.failure());
    return {PatchFileResult::Written,
            QStringLiteral("%1 のパッチ %2 を書きました（%3 バイト）。").arg(ips ? QStringLiteral("IPS") : QStringLiteral("BPS"), out)
                .arg(patch.bytes->size()),
            patch.bytes->size()};
}

} // namespace zor
