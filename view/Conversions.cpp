#include "view/Conversions.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zor {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

} // namespace

std::optional<double> ParseDecimal(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    // Check the form by hand: from_chars alone would take "inf", "nan" and a partial number.
    std::string ascii;
    qsizetype i = begin;
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
        const int digit = hexDigit(c);
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

int ByteToSigned(std::uint8_t value) { return value < 128 ? value : value - 256; }

std::uint8_t ParseHexByte(QStringView text)
{
    if (text.size() >= 5)
        return 0;
    const std::int32_t value = HexTextToLong(text.right(2)).value_or(0);
    return static_cast<std::uint8_t>(value);
}

std::uint8_t ParseNegativeByte(QStringView text)
{
    const std::optional<double> value = ParseDecimal(text);
    if (!value)
        return 0;
    const double shifted = std::floor(*value) + 256.0;
    if (shifted < 0.0 || shifted > 255.0)
        return 0;
    return static_cast<std::uint8_t>(shifted);
}

void ParseByte(std::uint8_t& target, QStringView text)
{
    if (text.startsWith(u'-')) {
        target = ParseNegativeByte(text);
        return;
    }
    if (text.startsWith(u"0x")) {
        target = ParseHexByte(text);
        return;
    }
    const std::optional<double> value = ParseDecimal(text);
    const double rounded = value ? std::nearbyint(*value) : -1.0;
    target = (rounded >= 0.0 && rounded <= 255.0) ? static_cast<std::uint8_t>(rounded) : 0;
}

} // namespace zor
