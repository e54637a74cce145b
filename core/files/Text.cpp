#include "core/files/Text.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zor {

DecodedText DecodeCp932(QByteArrayView bytes)
{
    QStringDecoder decoder("CP932", QStringDecoder::Flag::Stateless);
    DecodedText out;
    out.text = decoder.decode(bytes);
    out.ok = decoder.isValid() && !decoder.hasError();
    return out;
}

std::optional<QByteArray> EncodeCp932(QStringView text)
{
    QStringEncoder encoder("CP932", QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.isValid() || encoder.hasError())
        return std::nullopt;
    return bytes;
}

std::vector<RawLine> SplitLines(QByteArrayView bytes)
{
    std::vector<RawLine> lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        const qsizetype endingLength = (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ? 2 : 1;
        lines.push_back({bytes.sliced(start, i - start).toByteArray(), bytes.sliced(i, endingLength).toByteArray()});
        i += endingLength;
        start = i;
    }
    if (start < size)
        lines.push_back({bytes.sliced(start).toByteArray(), QByteArray()});
    return lines;
}

TextLines ToTextLines(QByteArrayView bytes)
{
    TextLines out;
    const std::vector<RawLine> raw = SplitLines(bytes);
    int breaks = 0;
    for (std::size_t n = 0; n < raw.size(); ++n) {
        const DecodedText decoded = DecodeCp932(raw[n].text);
        if (!decoded.ok)
            out.badLines.push_back(static_cast<int>(n) + 1);
        out.lines.push_back(decoded.text);
        if (!raw[n].ending.isEmpty())
            ++breaks;
    }
    out.lineCount = breaks + 1;
    return out;
}

std::optional<QByteArray> ReadWholeFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

} // namespace zor
