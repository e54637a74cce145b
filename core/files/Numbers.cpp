#include "core/files/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace zor {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

QStringView WithoutBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

int HexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

std::optional<double> ParseDecimal(QStringView text)
{
    text = WithoutBlanks(text);
    const qsizetype end = text.size();

    // Check the form by hand: from_chars alone would take "inf", "nan" and a partial number.
    std::string ascii;
    qsizetype i = 0;
    const auto take = [&](QChar c) {
        ascii += static_cast<char>(c.unicode());
        ++i;
    };
    const auto takeDigits = [&] {
        int count = 0;
        for (; i < end && isDigit(text[i]); ++count)
            take(text[i]);
        return count;
    };
    if (i < end && text[i] == u'-')
        take(text[i]);
    else if (i < end && text[i] == u'+')
        ++i; // from_chars takes no plus sign
    int mantissaDigits = takeDigits();
    if (i < end && text[i] == u'.') {
        take(text[i]);
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        take(text[i]);
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            take(text[i]);
        if (takeDigits() == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    double value = 0;
    const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec != std::errc() || ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int16_t> ToInt16(QStringView text)
{
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value); // the default rounding mode takes halves to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int32_t> HexTextToLong(QStringView text)
{
    std::uint64_t value = 0;
    int digits = 0;
    int significant = 0;
    for (QChar c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            break;
        ++digits;
        if (significant > 0 || digit != 0)
            ++significant;
        if (significant > 8)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    if (digits == 0 || value > 0x7FFFFFFFu)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ParseOffset(QStringView text)
{
    QStringView digits = WithoutBlanks(text);
    if (digits.startsWith(u"0x", Qt::CaseInsensitive))
        digits = digits.sliced(2);
    else if (digits.startsWith(u'$'))
        digits = digits.sliced(1);
    if (std::any_of(digits.begin(), digits.end(), [](QChar c) { return HexDigit(c) < 0; }))
        return std::nullopt;
    return HexTextToLong(digits);
}

} // namespace zor
