#include "core/files/Text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace zor {

namespace {

bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

constexpr char16_t kHalfwidthKatakana = 0xFF61; // 0xA1-0xDF in order
constexpr char16_t kNoChar = 0;

// The double-byte characters, both ways. ICU's "CP932" supplies them, but its single
// bytes follow IBM: it swaps 0x1A, 0x1C and 0x7F and turns bytes it cannot read into
// U+001A, so single bytes never go through it.
struct Cp932Tables {
    std::vector<char16_t> toUnicode = std::vector<char16_t>(0x10000, kNoChar); // lead << 8 | trail
    std::vector<quint16> fromUnicode = std::vector<quint16>(0x10000, 0);        // 0: no double-byte form
};

Cp932Tables buildTables()
{
    Cp932Tables tables;
    // Every lead and trail pair in one pass, each on its own line: ICU never takes the
    // line break as a trail byte, so the n-th piece is what the n-th pair decodes to.
    std::vector<quint16> pairs;
    QByteArray bytes;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsCp932LeadByte(static_cast<char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!isTrailByte(static_cast<unsigned char>(trail)))
                continue;
            pairs.push_back(static_cast<quint16>(lead << 8 | trail));
            bytes += static_cast<char>(lead);
            bytes += static_cast<char>(trail);
            bytes += '\n';
        }
    }
    QStringDecoder decoder("CP932", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return tables;
    const QString decoded = decoder.decode(bytes);
    const QList<QStringView> pieces = QStringView(decoded).split(u'\n');
    if (pieces.size() != static_cast<qsizetype>(pairs.size()) + 1)
        return tables;
    QString characters;
    std::vector<bool> listed(0x10000, false);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const QStringView piece = pieces[static_cast<qsizetype>(i)];
        if (piece.size() != 1 || piece[0] == QChar::ReplacementCharacter || piece[0].unicode() < 0x20)
            continue;
        const char16_t c = piece[0].unicode();
        tables.toUnicode[pairs[i]] = c;
        if (!listed[c])
            characters += QChar(c);
        listed[c] = true;
    }

    // A character with several pairs (NEC and IBM rows) is written the way ICU picks;
    // a pick that would not read back as the same character is no form at all.
    QStringEncoder encoder("CP932", QStringEncoder::Flag::Stateless);
    const QByteArray encoded = encoder.encode(characters);
    if (encoder.hasError() || encoded.size() != characters.size() * 2)
        return tables;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const auto pair = static_cast<quint16>(static_cast<unsigned char>(encoded[2 * i]) << 8
                                               | static_cast<unsigned char>(encoded[2 * i + 1]));
        if (tables.toUnicode[pair] == characters[i].unicode())
            tables.fromUnicode[characters[i].unicode()] = pair;
    }
    return tables;
}

const Cp932Tables& cp932Tables()
{
    static const Cp932Tables tables = buildTables();
    return tables;
}

} // namespace

bool IsCp932LeadByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

DecodedText DecodeCp932(QByteArrayView bytes)
{
    const Cp932Tables& tables = cp932Tables();
    DecodedText out;
    // Written in place: no character is longer than its bytes, and appending one at a time
    // was the larger part of reading a long file.
    out.text.resize(bytes.size());
    QChar* to = out.text.data();
    qsizetype n = 0;
    const auto bad = [&] {
        to[n++] = QChar::ReplacementCharacter;
        out.ok = false;
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        while (b < 0x80) { // runs of ASCII, the most of most files
            to[n++] = QChar(static_cast<char16_t>(b));
            if (++i == bytes.size())
                break;
            b = static_cast<unsigned char>(bytes[i]);
        }
        if (i == bytes.size())
            break;
        if (b >= 0xA1 && b <= 0xDF) {
            to[n++] = QChar(static_cast<char16_t>(kHalfwidthKatakana + (b - 0xA1)));
        } else if (IsCp932LeadByte(static_cast<char>(b)) && i + 1 < bytes.size()
                   && isTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            const char16_t c = tables.toUnicode[b << 8 | static_cast<unsigned char>(bytes[++i])];
            if (c == kNoChar)
                bad();
            else
                to[n++] = QChar(c);
        } else {
            bad();
        }
    }
    out.text.truncate(n);
    return out;
}

std::optional<QByteArray> EncodeCp932(QStringView text)
{
    const Cp932Tables& tables = cp932Tables();
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c >= kHalfwidthKatakana && c <= kHalfwidthKatakana + (0xDF - 0xA1)) {
            out += static_cast<char>(0xA1 + (c - kHalfwidthKatakana));
        } else if (const quint16 pair = tables.fromUnicode[c]) {
            out += static_cast<char>(pair >> 8);
            out += static_cast<char>(pair & 0xFF);
        } else {
            return std::nullopt;
        }
    }
    return out;
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

bool LooksLikeUtf8(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    const bool longSequence = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0xE0 && b <= 0xF4;
    });
    if (!longSequence)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder.decode(bytes); // decoding sets hasError()
    return !decoder.hasError();
}

QString QuoteText(QStringView text)
{
    if (text.size() <= kMaxQuotedChars)
        return text.toString();
    qsizetype cut = kMaxQuotedChars;
    if (text[cut - 1].isHighSurrogate())
        --cut;
    return text.left(cut).toString() + u'…';
}

QString ToCp932Forms(QString text)
{
    static constexpr std::pair<char16_t, char16_t> kForms[] = {
        {u'\u301C', u'\uFF5E'}, {u'\u2016', u'\u2225'}, {u'\u2212', u'\uFF0D'}, {u'\u2014', u'\u2015'},
        {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'},
    };
    for (QChar& c : text)
        for (const auto& [jis, microsoft] : kForms)
            if (c == jis)
                c = microsoft;
    return text;
}

bool FitsCp932(const QString& text) { return EncodeCp932(text).has_value(); }

} // namespace zor
