#include "core/files/CsvText.h"

#include "core/files/Text.h"

namespace zor {

namespace {

// Whether bytes are valid UTF-8 with at least one sequence of three or more bytes. Stops
// at the first byte that can't be UTF-8: in CP932 text that is almost always the first
// byte past ASCII.
bool IsLongUtf8(QByteArrayView bytes)
{
    bool longSequence = false;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        int more = 0;
        char32_t value = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
            value = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            value = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            value = b & 0x07;
        } else {
            return false;
        }
        if (i + more >= size)
            return false;
        for (int k = 1; k <= more; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            value = value << 6 | (c & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are no UTF-8.
        if ((more == 2 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF)))
            || (more == 3 && (value < 0x10000 || value > 0x10FFFF)))
            return false;
        longSequence = longSequence || more >= 2;
        i += more + 1;
    }
    return longSequence;
}

} // namespace

CsvText DecodeCsv(QByteArrayView bytes)
{
    CsvText csv;
    csv.bom = bytes.startsWith("\xEF\xBB\xBF");
    if (csv.bom || IsLongUtf8(bytes)) {
        csv.utf8 = true;
        csv.text = ToCp932Forms(QString::fromUtf8(csv.bom ? bytes.sliced(3) : bytes));
    } else {
        csv.text = DecodeCp932(bytes).text;
    }
    csv.lines = SplitTextLines(csv.text);
    return csv;
}

bool IsUtf16(QByteArrayView bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || bytes.contains(QByteArrayView("\r\0", 2));
}

std::optional<CsvText> DecodeCp932Csv(QByteArrayView bytes)
{
    DecodedText decoded = DecodeCp932(bytes);
    if (!decoded.ok)
        return std::nullopt;
    CsvText csv;
    csv.text = std::move(decoded.text);
    csv.lines = SplitTextLines(csv.text);
    return csv;
}

std::vector<TextLine> SplitTextLines(QStringView text)
{
    std::vector<TextLine> lines;
    const qsizetype size = text.size();
    const QChar* chars = text.data();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = chars[i];
        if (c > u'\r' || (c != u'\r' && c != u'\n'))
            continue;
        lines.push_back({start, i - start});
        if (c == u'\r' && i + 1 < size && chars[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.push_back({start, size - start});
    return lines;
}

std::span<const CsvField> CsvSplitter::split(QStringView line, QChar separator)
{
    // One pass over the characters; the first quote hands the line to the quoted reading.
    const QChar* chars = line.data();
    const qsizetype size = line.size();
    const auto plain = [&](bool quotesMatter) {
        count_ = 0;
        qsizetype start = 0;
        for (qsizetype i = 0; i < size; ++i) {
            const QChar c = chars[i];
            if (c == separator) {
                add({QStringView(chars + start, i - start), start, false});
                start = i + 1;
            } else if (quotesMatter && c == u'"') {
                return false;
            }
        }
        add({QStringView(chars + start, size - start), start, false});
        return true;
    };
    if (!plain(true)) {
        count_ = 0;
        if (!splitQuoted(line, separator))
            plain(false);
    }
    return std::span<const CsvField>(fields_.data(), count_);
}

bool CsvSplitter::splitQuoted(QStringView line, QChar separator)
{
    unquoted_.clear();
    unquoted_.reserve(line.size());
    const qsizetype size = line.size();
    qsizetype i = 0;
    for (;;) {
        const qsizetype start = i;
        if (i < size && line[i] == u'"') {
            const qsizetype from = unquoted_.size();
            ++i;
            for (;;) {
                if (i >= size)
                    return false; // the quote never closes
                if (line[i] == u'"') {
                    if (i + 1 < size && line[i + 1] == u'"') {
                        unquoted_ += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                unquoted_ += line[i++];
            }
            // Whatever follows the closing quote up to the separator belongs to the field.
            while (i < size && line[i] != separator)
                unquoted_ += line[i++];
            add({QStringView(unquoted_).sliced(from, unquoted_.size() - from), start, true});
        } else {
            while (i < size && line[i] != separator)
                ++i;
            add({line.sliced(start, i - start), start, false});
        }
        if (i >= size)
            return true;
        ++i; // the separator
        if (i == size) {
            add({QStringView(), i, false}); // an empty last field
            return true;
        }
    }
}

} // namespace zor
