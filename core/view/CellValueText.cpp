#include "core/view/CellValueText.h"

#include "core/document/Definitions.h"
#include "core/document/Problems.h"

namespace zor {

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
    const std::int64_t value = ReadCsvNumber(text, notation, 1);
    return value < 0 ? std::nullopt : std::optional<std::uint8_t>(static_cast<std::uint8_t>(value));
}

} // namespace zor
