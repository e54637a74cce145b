#pragma once

// The one reading of a value's text shared by the CSV import and a paste of text from
// the system clipboard: the notation the export writes, then the cell editor's forms.

#include "core/value/CsvValue.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace zor {

// CSVNotation's text as the export compares it: "16", "10", "-10"; anything else is Own.
CsvNotation CsvNotationFromText(const QString& text);

// CSVNotation of the program folder's ZOR.ini, read now.
CsvNotation ReadCsvNotation(const QString& programFolder);

// The byte a value's text gives. A text in the form notation writes (blanks around it
// ignored) is read in it: Hex one or two hexadecimal digits of either case, so "10" is
// 0x10; Unsigned decimal digits up to 255; Signed an optional "-" and digits from -128 up
// to 127. Any other text, and every text under Own, is read by the cell editor's forms
// (ParseCellText). nullopt when neither reads it; a number outside the byte's range reads
// as nothing. The size-1 case of ReadCsvValue.
std::optional<std::uint8_t> ParseValueText(QStringView text, CsvNotation notation);

} // namespace zor
