#include "core/view/CellValueText.h"

#include "core/document/Definitions.h"
#include "core/document/Problems.h"
#include "core/files/Numbers.h"
#include "core/view/Conversions.h"

namespace zor {

namespace {

// ASCII decimal digits only, at least one, as a number; anything past 999 is 1000.
std::optional<int> Digits(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), 1000);
    }
    return value;
}

std::optional<std::uint8_t> InNotation(QStringView text, CsvNotation notation)
{
    switch (notation) {
    case CsvNotation::Hex: {
        if (text.isEmpty() || text.size() > 2)
            return std::nullopt;
        int value = 0;
        for (const QChar c : text) {
            const int digit = HexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        return static_cast<std::uint8_t>(value);
    }
    case CsvNotation::Unsigned: {
        const std::optional<int> value = Digits(text);
        if (!value || *value > 255)
            return std::nullopt;
        return static_cast<std::uint8_t>(*value);
    }
    case CsvNotation::Signed: {
        const bool negative = text.startsWith(u'-');
        const std::optional<int> value = Digits(negative ? text.sliced(1) : text);
        if (!value || *value > (negative ? 128 : 127))
            return std::nullopt;
        return static_cast<std::uint8_t>(negative ? 256 - *value : *value) ;
    }
    case CsvNotation::Own:
        break;
    }
    return std::nullopt;
}

// The grid's own texts ("0x0A", "10", "-1"), read as ParseCellText reads them without
// its normalisation, which is the larger part of its cost; nullopt leaves the text to it.
std::optional<std::uint8_t> CommonEditorForm(QStringView text)
{
    if (text.size() >= 3 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        return text.size() <= 4 ? InNotation(text.sliced(2), CsvNotation::Hex) : std::nullopt;
    if (text.startsWith(u'-')) {
        const std::optional<int> value = Digits(text.sliced(1));
        if (!value || *value > 128)
            return std::nullopt;
        return static_cast<std::uint8_t>((256 - *value) & 0xFF); // "-0" is 0
    }
    return InNotation(text, CsvNotation::Unsigned);
}

} // namespace

CsvNotation CsvNotationFromText(const QString& text)
{
    if (text == QStringLiteral("16"))
        return CsvNotation::Hex;
    if (text == QStringLiteral("10"))
        return CsvNotation::Unsigned;
    if (text == QStringLiteral("-10"))
        return CsvNotation::Signed;
    return CsvNotation::Own;
}

CsvNotation ReadCsvNotation(const QString& programFolder)
{
    // The file read has already reported what is wrong with ZOR.ini; here only one value counts.
    ProblemLog ignored;
    return CsvNotationFromText(ReadZorSettings(programFolder, ignored).CSVNotation);
}

std::optional<std::uint8_t> ParseValueText(QStringView text, CsvNotation notation)
{
    // Most values are one to three plain digits, read alike in every notation but Hex.
    if (notation != CsvNotation::Hex && !text.isEmpty() && text.size() <= 3) {
        int value = 0;
        for (const QChar c : text) {
            if (c < u'0' || c > u'9') {
                value = -1;
                break;
            }
            value = value * 10 + (c.unicode() - u'0');
        }
        if (value >= 0 && value <= (notation == CsvNotation::Signed ? 127 : 255))
            return static_cast<std::uint8_t>(value);
    }
    // And the grid's hexadecimal texts, read alike in every notation.
    if (text.size() == 4 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        const int high = HexDigit(text[2]);
        const int low = HexDigit(text[3]);
        if (high >= 0 && low >= 0)
            return static_cast<std::uint8_t>(high * 16 + low);
    }
    const QStringView trimmed = WithoutBlanks(text);
    if (const std::optional<std::uint8_t> value = InNotation(trimmed, notation))
        return value;
    if (const std::optional<std::uint8_t> value = CommonEditorForm(trimmed))
        return value;
    return ParseCellText(text);
}

} // namespace zor
