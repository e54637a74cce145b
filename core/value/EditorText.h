#pragma once

// What a text typed into a cell's editor gives for a cell of a size, and the forms a
// tooltip names when it gives nothing.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace zor {

// How digits without a prefix read: as decimal (the default everywhere), or as
// hexadecimal, which the caller chooses for cells written in hexadecimal when the user
// asked for it.
enum class BareDigits { Decimal, Hexadecimal };

// The value of the editor's text for a cell of size bytes (1 to 4), or nullopt when it
// has none of these forms (blanks around the text ignored, an input method's full-width
// forms read as their half-width ones): the empty text (0); "0x" or "0X" and 1 to 2 × size
// hexadecimal digits; a decimal number, a leading "+" allowed, that rounds (halves to
// even) into 0..2^(8 × size) - 1; "-" and a decimal number from -2^(8 × size - 1) up to 0,
// stored as the two's complement of its integer part toward minus infinity ("-0" is 0).
// Exponents are refused. With BareDigits::Hexadecimal, a text of hexadecimal digits alone
// is hexadecimal: 1 to 2 × size of them, more is refused (never read as decimal). Never
// reads the cell's notation.
std::optional<std::uint32_t> ReadEditorText(QStringView text, int size, BareDigits bare = BareDigits::Decimal);

// The forms ReadEditorText takes for a size, as a tooltip says them:
// "0x00〜0xFF、0〜255、−128〜−1" for size 1; with hexExample, an example of a "0x" value
// follows, for a column written in hexadecimal.
QString EditorTextForms(int size, bool hexExample = false);

} // namespace zor
