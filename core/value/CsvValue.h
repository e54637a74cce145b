#pragma once

// A value's text in a CSV file (and a paste of text, which reads the same): the fixed
// notation CSVNotation names, widened to the cell's size, then the cell editor's forms.

#include "core/value/EditorText.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace zor {

// The notation of the CSV export's values, from CSVNotation of ZOR.ini.
enum class CsvNotation {
    Own,      // each section's own notation, as the grid shows it
    Hex,      // "16": upper-case hexadecimal digits, no prefix, no padding
    Unsigned, // "10": 0..2^(8 × size) - 1
    Signed,   // "-10": signed by the size, two's complement
};

// The export's text of a value of size bytes: Hex "1F", Unsigned "31", Signed "-1" for
// 0xFF at size 1; Own writes it as FormatValue does in ownNotation. Never fails.
QString CsvValueText(std::uint32_t value, int size, CsvNotation notation, int ownNotation);

// The value a text gives for a cell of size bytes. A text in the form notation writes
// (blanks around it ignored) is read in it: Hex 1 to 2 × size hexadecimal digits of either
// case, so "10" is 0x10; Unsigned decimal digits up to the size's maximum; Signed an
// optional "-" and digits within the size's signed range. Any other text, and every text
// under Own, is read by ReadEditorText (with bare, which also makes plain digits under Own
// hexadecimal). nullopt when neither reads it; a number outside the size's range reads as
// nothing.
std::optional<std::uint32_t> ReadCsvValue(QStringView text, CsvNotation notation, int size,
                                          BareDigits bare = BareDigits::Decimal);

// The same, -1 for nothing: an import reads every field through it, and an optional
// returned from another file costs it a stall of the processor's stores on each one.
std::int64_t ReadCsvNumber(QStringView text, CsvNotation notation, int size, BareDigits bare = BareDigits::Decimal);

} // namespace zor
