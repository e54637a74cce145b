#include "core/value/CsvValue.h"

#include "core/files/Numbers.h"
#include "core/value/CellValue.h"
#include "core/value/ValueText.h"

#include <algorithm>
#include <array>

namespace zor {

namespace {

// What the readers below give for a text they don't read. Values travel as plain numbers
// here: an optional returned through a few calls costs the import a stall on every field.
constexpr std::int64_t kNone = -1;

// ASCII decimal digits only, at least one, as a number; anything past 2^32 is 2^32 + 1,
// beyond every size's range.
std::int64_t Digits(QStringView text)
{
    if (text.isEmpty())
        return kNone;
    constexpr std::int64_t kBeyond = (std::int64_t{1} << 32) + 1;
    std::int64_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return kNone;
        value = std::min(value * 10 + (c.unicode() - u'0'), kBeyond);
    }
    return value;
}

std::int64_t HexDigits(QStringView text, int size)
{
    const std::optional<std::uint32_t> value = HexDigitsValue(text, 2 * size);
    return value ? std::int64_t{*value} : kNone;
}

std::int64_t InNotation(QStringView text, CsvNotation notation, int size)
{
    switch (notation) {
    case CsvNotation::Hex:
        return HexDigits(text, size);
    case CsvNotation::Unsigned: {
        const std::int64_t value = Digits(text);
        return value <= MaxUnsigned(size) ? value : kNone;
    }
    case CsvNotation::Signed: {
        const bool negative = text.startsWith(u'-');
        const std::int64_t value = Digits(negative ? text.sliced(1) : text);
        if (value == kNone || value > (negative ? -MinSigned(size) : MaxSigned(size)))
            return kNone;
        return FromSigned(negative ? -value : value, size);
    }
    case CsvNotation::Own:
        break;
    }
    return kNone;
}

// The grid's own texts ("0x0A", "10", "-1"), read as ReadEditorText reads them without
// its normalisation, which is the larger part of its cost; kNone leaves the text to it.
std::int64_t CommonEditorForm(QStringView text, int size)
{
    if (text.size() >= 3 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        return HexDigits(text.sliced(2), size);
    if (text.startsWith(u'-')) {
        const std::int64_t value = Digits(text.sliced(1));
        if (value == kNone || value > -MinSigned(size))
            return kNone;
        return FromSigned(-value, size); // "-0" is 0
    }
    return InNotation(text, CsvNotation::Unsigned, size);
}

// The reading of one size, made once per size so that its limits are constants: the
// import reads every field through it.
template <int size>
std::int64_t ReadOfSize(QStringView text, CsvNotation notation, BareDigits bare)
{
    const bool plainDigitsAreDecimal = notation != CsvNotation::Hex && (notation != CsvNotation::Own || bare == BareDigits::Decimal);
    // Most values are a few plain digits, read alike in every notation but Hex.
    constexpr qsizetype kMaxDigits = std::array{3, 5, 8, 10}[size - 1]; // of the size's largest value
    if (plainDigitsAreDecimal && text.size() <= kMaxDigits) {
        const std::int64_t value = Digits(text);
        if (value >= 0 && value <= (notation == CsvNotation::Signed ? MaxSigned(size) : std::int64_t{MaxUnsigned(size)}))
            return value;
    }
    // And the grid's hexadecimal texts, read alike in every notation.
    if (text.size() == 2 + 2 * size && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        if (const std::int64_t value = HexDigits(text.sliced(2), size); value != kNone)
            return value;
    const QStringView trimmed = WithoutBlanks(text);
    if (const std::int64_t value = InNotation(trimmed, notation, size); value != kNone)
        return value;
    if (bare == BareDigits::Decimal) // a shortcut of the editor's reading, which with bare hexadecimal it isn't
        if (const std::int64_t value = CommonEditorForm(trimmed, size); value != kNone)
            return value;
    const std::optional<std::uint32_t> value = ReadEditorText(text, size, bare);
    return value ? std::int64_t{*value} : kNone;
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
    const std::int64_t value = ReadCsvNumber(text, notation, size, bare);
    return value < 0 ? std::nullopt : std::optional<std::uint32_t>(static_cast<std::uint32_t>(value));
}

std::int64_t ReadCsvNumber(QStringView text, CsvNotation notation, int size, BareDigits bare)
{
    switch (std::clamp(size, 1, 4)) {
    case 1:
        return ReadOfSize<1>(text, notation, bare);
    case 2:
        return ReadOfSize<2>(text, notation, bare);
    case 3:
        return ReadOfSize<3>(text, notation, bare);
    default:
        return ReadOfSize<4>(text, notation, bare);
    }
}

} // namespace zor
