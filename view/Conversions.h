#pragma once

// Conversions between bytes, numbers and text shared by the definition reader,
// the grid, the cell editor and the CSV export.

#include <QStringView>

#include <cstdint>
#include <optional>

namespace zor {

// A plain decimal number: blanks around it, an optional sign, digits with an optional
// fraction and exponent. nullopt for anything else, and for values that are not finite.
std::optional<double> ParseDecimal(QStringView text);

// A decimal number rounded to the nearest integer (halves to even) when it fits in
// 16 bits; nullopt when the text is empty, not a number or out of range.
std::optional<std::int16_t> ToInt16(QStringView text);

// The hexadecimal digits (either case) at the start of text, up to the first other
// character, as an exact non-negative number. nullopt when there are no digits, more
// than eight significant ones, or the value is above 7FFFFFFF: such an offset is unusable.
std::optional<std::int32_t> HexTextToLong(QStringView text);

// b for b below 128, otherwise b - 256.
int ByteToSigned(std::uint8_t value);

// "0x" texts: texts of five or more characters give 0; otherwise the last two
// characters are read as hexadecimal digits, so "0x5" and "0x" give 0.
std::uint8_t ParseHexByte(QStringView text);

// "-" texts: the value rounded toward minus infinity, plus 256, when that lies in
// 0..255; otherwise 0. So "-1" gives 255 and "-0" gives 0.
std::uint8_t ParseNegativeByte(QStringView text);

// The byte for text typed into a cell, decided by the form of the text, never by
// the cell's notation. Text that cannot be read gives 0.
void ParseByte(std::uint8_t& target, QStringView text);

} // namespace zor
