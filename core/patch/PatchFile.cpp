#include "core/patch/PatchFile.h"

#include "core/files/ReadFile.h"
#include "core/patch/Bps.h"
#include "core/patch/Ips.h"

namespace zor {

Result<PatchWritten> WritePatchFile(const QString& original, const QString& edited, const QString& out, PatchFormat format,
                                    const PatchFileOptions& options)
{
    std::vector<GuardedFile> guarded{{QStringLiteral("元のイメージ"), original}, {QStringLiteral("変更後のイメージ"), edited}};
    guarded.insert(guarded.end(), options.guarded.begin(), options.guarded.end());
    const auto notWritten = [&](const Failure& failure) {
        return failure.said(QStringLiteral("%1 に書き込めません").arg(out), QStringLiteral("元のファイルはそのままです。"));
    };
    // Before the images are read: a refusal costs nothing. The write checks again.
    if (const Result<void> refusal = CheckOutput(out, guarded); !refusal)
        return notWritten(refusal.failure());
    const Result<QByteArray> source = ReadRegularFile(original, kMaxImageSize);
    if (!source)
        return source.failure().said(QStringLiteral("%1 を読めません").arg(original));
    const Result<QByteArray> target = ReadRegularFile(edited, kMaxImageSize);
    if (!target)
        return target.failure().said(QStringLiteral("%1 を読めません").arg(edited));
    if (options.skipIdentical && *source == *target)
        return PatchWritten{QStringLiteral("%1 と %2 に違いはありません。パッチは書いていません。").arg(original, edited), 0};
    const bool ips = format == PatchFormat::Ips;
    const Result<QByteArray> patch = ips ? MakeIps(*source, *target) : MakeBps(*source, *target);
    if (!patch) {
        Failure refused = patch.failure().said(QStringLiteral("%1 から %2 へのパッチを作れません。").arg(original, edited));
        refused.access = FileAccess::Write;
        return refused;
    }
    if (const Result<void> written = WriteFileAtomically(out, *patch, guarded); !written)
        return notWritten(written.failure());
    return PatchWritten{QStringLiteral("%1 のパッチ %2 を書きました（%3 バイト）。").arg(ips ? QStringLiteral("IPS") : QStringLiteral("BPS"), out)
                            .arg(patch->size()),
                        patch->size()};
}

} // namespace zor
