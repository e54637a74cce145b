#pragma once

// Numbers written as text in the definition and settings files.

#include <QStringView>

#include <cstdint>
#include <optional>

namespace zor {

// text without the blanks (spaces and tabs) around it.
QStringView WithoutBlanks(QStringView text);

// A plain decimal number: blanks around it, an optional sign, digits with an optional
// fraction and exponent. nullopt for anything else, and for values that are not finite.
std::optional<double> ParseDecimal(QStringView text);

// The value of a hexadecimal digit (0-9, A-F, a-f); -1 for any other character.
int HexDigit(QChar c);

// 1 to maxDigits (at most 8) hexadecimal digits of either case and nothing else, as a
// number; nullopt for anything else (toUInt would also take a sign or blanks). Inline:
// the CSV import reads every field through it.
inline std::optional<std::uint32_t> HexDigitsValue(QStringView text, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
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

// A decimal number rounded to the nearest integer (halves to even) when it fits in
// 16 bits; nullopt when the text is empty, not a number or out of range.
std::optional<std::int16_t> ToInt16(QStringView text);

// The hexadecimal digits (either case) at the start of text, up to the first other
// character, as an exact non-negative number. nullopt when there are no digits, more
// than eight significant ones, or the value is above 7FFFFFFF.
std::optional<std::int32_t> HexTextToLong(QStringView text);

// An offset line of a section list, read whole: blanks (space or tab), an optional "0x",
// "0X" or "$", hexadecimal digits, blanks. nullopt for any other text (a comment after the
// digits included) and wherever HexTextToLong gives nullopt for the digits: a mistyped
// offset must never read as another one.
std::optional<std::int32_t> ParseOffset(QStringView text);

} // namespace zor
