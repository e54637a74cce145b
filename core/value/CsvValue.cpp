#include "core/value/CsvValue.h"

#include "core/files/Numbers.h"
#include "core/value/CellValue.h"
#include "core/value/ValueText.h"

#include <algorithm>

namespace zor {

namespace {

// ASCII decimal digits only, at least one, as a number; anything past 2^32 is 2^32 + 1,
// beyond every size's range.
std::optional<std::int64_t> Digits(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    constexpr std::int64_t kBeyond = (std::int64_t{1} << 32) + 1;
    std::int64_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), kBeyond);
    }
    return value;
}

std::optional<std::uint32_t> HexDigits(QStringView text, int size)
{
    if (text.isEmpty() || text.size() > 2 * size)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const QChar c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::optional<std::uint32_t> InNotation(QStringView text, CsvNotation notation, int size)
{
    switch (notation) {
    case CsvNotation::Hex:
        return HexDigits(text, size);
    case CsvNotation::Unsigned: {
        const std::optional<std::int64_t> value = Digits(text);
        if (!value || *value > MaxUnsigned(size))
            return std::nullopt;
        return static_cast<std::uint32_t>(*value);
    }
    case CsvNotation::Signed: {
        const bool negative = text.startsWith(u'-');
        const std::optional<std::int64_t> value = Digits(negative ? text.sliced(1) : text);
        if (!value || *value > (negative ? -MinSigned(size) : MaxSigned(size)))
            return std::nullopt;
        return FromSigned(negative ? -*value : *value, size);
    }
    case CsvNotation::Own:
        break;
    }
    return std::nullopt;
}

// The grid's own texts ("0x0A", "10", "-1"), read as ReadEditorText reads them without
// its normalisation, which is the larger part of its cost; nullopt leaves the text to it.
std::optional<std::uint32_t> CommonEditorForm(QStringView text, int size)
{
    if (text.size() >= 3 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        return HexDigits(text.sliced(2), size);
    if (text.startsWith(u'-')) {
        const std::optional<std::int64_t> value = Digits(text.sliced(1));
        if (!value || *value > -MinSigned(size))
            return std::nullopt;
        return FromSigned(-*value, size); // "-0" is 0
    }
    return InNotation(text, CsvNotation::Unsigned, size);
}

} // namespace

QString CsvValueText(std::uint32_t value, int size, CsvNotation notation, int ownNotation)
{
    size = std::clamp(size, 1, 4);
    value &= MaxUnsigned(size);
    switch (notation) {
    case CsvNotation::Hex:
        return QString::number(value, 16).toUpper();
    case CsvNotation::Unsigned:
        return QString::number(value);
    case CsvNotation::Signed:
        return QString::number(SignedValue(value, size));
    case CsvNotation::Own:
        break;
    }
    return FormatValue(ownNotation, value, size);
}

std::optional<std::uint32_t> ReadCsvValue(QStringView text, CsvNotation notation, int size, BareDigits bare)
{
    size = std::clamp(size, 1, 4);
    const bool plainDigitsAreDecimal = notation != CsvNotation::Hex && (notation != CsvNotation::Own || bare == BareDigits::Decimal);
    // Most values are a few plain digits, read alike in every notation but Hex.
    if (plainDigitsAreDecimal && !text.isEmpty() && text.size() <= 10) {
        std::int64_t value = 0;
        for (const QChar c : text) {
            if (c < u'0' || c > u'9') {
                value = -1;
                break;
            }
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value >= 0 && value <= (notation == CsvNotation::Signed ? MaxSigned(size) : std::int64_t{MaxUnsigned(size)}))
            return static_cast<std::uint32_t>(value);
    }
    // And the grid's hexadecimal texts, read alike in every notation.
    if (text.size() == 2 + 2 * size && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        if (const std::optional<std::uint32_t> value = HexDigits(text.sliced(2), size))
            return value;
    const QStringView trimmed = WithoutBlanks(text);
    if (const std::optional<std::uint32_t> value = InNotation(trimmed, notation, size))
        return value;
    if (bare == BareDigits::Decimal) // a shortcut of the editor's reading, which with bare hexadecimal it isn't
        if (const std::optional<std::uint32_t> value = CommonEditorForm(trimmed, size))
            return value;
    return ReadEditorText(text, size, bare);
}

} // namespace zor
