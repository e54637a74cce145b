#include "cli/PatchCommand.h"

#include "core/files/ReadFile.h"
#include "core/files/SaveFile.h"
#include "core/output/HeaderChecksum.h"
#include "core/patch/Patch.h"
#include "core/patch/PatchFile.h"

#include <optional>

namespace zor {

namespace {

// Plain arguments, with flag taken out when it is there; nullopt for another option or a wrong count.
std::optional<QStringList> PlainArguments(const QStringList& args, const QString& flag, int count, bool* flagged)
{
    QStringList plain;
    *flagged = false;
    for (const QString& arg : args) {
        if (!flag.isEmpty() && arg == flag)
            *flagged = true;
        else if (arg.isEmpty() || arg.startsWith(u'-'))
            return std::nullopt;
        else
            plain << arg;
    }
    if (plain.size() != count)
        return std::nullopt;
    return plain;
}

std::optional<QByteArray> ReadInput(const QString& path, QTextStream& err)
{
    Result<QByteArray> bytes = ReadRegularFile(path, kMaxImageSize);
    if (bytes)
        return std::move(*bytes);
    err << bytes.failure().said(QStringLiteral("%1 を読めません").arg(path)).message() << u'\n';
    return std::nullopt;
}

[[nodiscard]] bool WriteOutput(const QString& path, const QByteArray& bytes, QTextStream& err,
                               const std::vector<GuardedFile>& inputs = {})
{
    const Result<void> written = WriteFileAtomically(path, bytes, inputs);
    if (!written)
        err << written.failure().said(QStringLiteral("%1 に書き込めません").arg(path), QStringLiteral("元のファイルはそのままです。")).message()
            << u'\n';
    return written.ok();
}

QString Hex16(std::uint16_t value) { return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(4, u'0'); }

} // namespace

int RunPatch(const QStringList& args, QTextStream& out, QTextStream& err)
{
    bool ips = false;
    const std::optional<QStringList> plain = PlainArguments(args, QStringLiteral("--ips"), 3, &ips);
    if (!plain) {
        err << QStringLiteral("使い方: zor-cli patch [--ips] ORIGINAL EDITED OUT\n");
        return 2;
    }
    const Result<PatchWritten> written =
        WritePatchFile((*plain)[0], (*plain)[1], (*plain)[2], ips ? PatchFormat::Ips : PatchFormat::Bps);
    if (!written) {
        err << written.failure().message() << u'\n';
        return written.failure().access == FileAccess::Read ? 2 : 1;
    }
    out << written->message << u'\n';
    return 0;
}

int RunApply(const QStringList& args, QTextStream& out, QTextStream& err)
{
    bool unused = false;
    const std::optional<QStringList> plain = PlainArguments(args, QString(), 3, &unused);
    if (!plain) {
        err << QStringLiteral("使い方: zor-cli apply PATCH ORIGINAL OUT\n");
        return 2;
    }
    const std::optional<QByteArray> patch = ReadInput((*plain)[0], err);
    if (!patch)
        return 2;
    const std::optional<QByteArray> original = ReadInput((*plain)[1], err);
    if (!original)
        return 2;
    const Result<QByteArray> patched = ApplyPatch(*patch, *original);
    if (!patched) {
        err << patched.failure()
                   .said(QStringLiteral("%1 を %2 に当てられません。").arg((*plain)[0], (*plain)[1]), QStringLiteral("何も書いていません。"))
                   .message()
            << u'\n';
        return 1;
    }
    const std::vector<GuardedFile> inputs{{QStringLiteral("パッチ"), (*plain)[0]}, {QStringLiteral("元のイメージ"), (*plain)[1]}};
    if (!WriteOutput((*plain)[2], *patched, err, inputs))
        return 1;
    out << QStringLiteral("%1 を書きました（%2 バイト）。\n").arg((*plain)[2]).arg(patched->size());
    return 0;
}

int RunChecksum(const QStringList& args, QTextStream& out, QTextStream& err)
{
    bool fix = false;
    const std::optional<QStringList> plain = PlainArguments(args, QStringLiteral("--fix"), 1, &fix);
    if (!plain) {
        err << QStringLiteral("使い方: zor-cli checksum [--fix] ROM\n");
        return 2;
    }
    const QString& path = (*plain)[0];
    std::optional<QByteArray> image = ReadInput(path, err);
    if (!image)
        return 2;
    const Result<HeaderChecksum> sums = ComputeHeaderChecksum(*image);
    if (!sums) {
        err << QStringLiteral("%1: %2\n").arg(path, sums.failure().message());
        return 2;
    }
    out << QStringLiteral("格納値: チェックサム %1  補数 %2\n").arg(Hex16(sums->storedChecksum), Hex16(sums->storedComplement))
        << QStringLiteral("計算値: チェックサム %1  補数 %2\n").arg(Hex16(sums->checksum), Hex16(sums->complement));
    if (sums->matches()) {
        out << QStringLiteral("一致しています。\n");
        return 0;
    }
    if (!fix) {
        out << QStringLiteral("一致していません。--fix で計算値を書き込めます。\n");
        return 1;
    }
    // The sums above were computed: this image has a header to fix.
    static_cast<void>(FixHeaderChecksum(*image));
    if (!WriteOutput(path, *image, err))
        return 2;
    out << QStringLiteral("一致していなかったため、計算値を %1 に書き込みました。\n").arg(path);
    return 0;
}

} // namespace zor
