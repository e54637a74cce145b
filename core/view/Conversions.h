#pragma once

// Conversions between bytes and cell text shared by the grid, the cell editor and
// the CSV export.

#include "core/files/Numbers.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace zor {

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

// The byte for the cell editor's text, or nullopt when it has none of these forms
// (blanks around the text ignored, an input method's full-width forms read as their
// half-width ones): the empty text (0); "0x" or "0X" and one or two hexadecimal digits;
// a decimal number, a leading "+" allowed, that rounds (halves to even) into 0..255;
// "-" and a decimal number from -128 up to 0, stored as the signed byte of its integer
// part toward minus infinity ("-0" is 0). Exponents are refused. ReadEditorText of size 1.
std::optional<std::uint8_t> ParseCellText(QStringView text);

// The accepted forms as a tooltip says them: EditorTextForms of size 1.
QString CellTextForms();

} // namespace zor
