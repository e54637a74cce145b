#pragma once

// CSV text as the export writes it and as spreadsheets save it again: CP932, or UTF-8
// with or without a byte order mark; lines ending in CRLF, LF or a lone CR, with or
// without a break after the last; fields separated by commas (or another character),
// a field in double quotes taken without them, "" inside them read as one ".

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>
#include <vector>

namespace zor {

// A CSV file is read whole, but never one larger than an image may be.
inline constexpr qint64 kMaxCsvFileSize = 64 * 1024 * 1024;

// A line of text: where it starts in the decoded text and how long it is, its ending left out.
struct TextLine {
    qsizetype start = 0;
    qsizetype length = 0;
};

struct CsvText {
    QString text;               // the whole file, decoded; a byte order mark left out
    bool utf8 = false;          // read as UTF-8 rather than CP932
    bool bom = false;           // UTF-8 that starts with its byte order mark
    std::vector<TextLine> lines; // every line; the empty piece after a final break is none

    QStringView line(std::size_t i) const { return QStringView(text).sliced(lines[i].start, lines[i].length); }
};

// The bytes as text: UTF-8 when they start with its byte order mark or are valid UTF-8
// holding a sequence of three or more bytes (which CP932 text hardly ever forms), with
// the characters that JIS-minded programs write taken in the forms CP932 reads as
// (〜 as ～ and so on); CP932 otherwise, bytes it can't read becoming U+FFFD.
CsvText DecodeCsv(QByteArrayView bytes);

// Whether the bytes are UTF-16, which the import doesn't read: they start with its byte
// order mark (FF FE or FE FF), or hold a CR followed by a zero byte, as UTF-16 writes a
// line break and CP932 or UTF-8 never do (the export's CR is always followed by LF).
bool IsUtf16(QByteArrayView bytes);

// The bytes as CP932 text, however they look; nullopt when some bytes aren't CP932. CP932
// text can be UTF-8 as well (燿ｱ is E0 A0 B1), which DecodeCsv reads it as.
std::optional<CsvText> DecodeCp932Csv(QByteArrayView bytes);

// The lines of a text, split at CRLF, LF or a lone CR; a final break ends the last line
// rather than starting another.
std::vector<TextLine> SplitTextLines(QStringView text);

// One field of a line: its text, quotes taken away, and where it started in the line.
struct CsvField {
    QStringView text;
    qsizetype start = 0;
    bool quoted = false;
};

// Splits lines into fields at a separator outside double quotes. A field that starts with
// a quote runs to the quote that closes it ("" inside stands for one "); anything between
// that quote and the next separator is kept as it stands. A line whose quote never closes
// is split at every separator instead, quotes and all, as the export, which never quotes,
// would have meant it. The fields' texts stay valid until the next split.
class CsvSplitter {
public:
    std::span<const CsvField> split(QStringView line, QChar separator = u',');

private:
    [[nodiscard]] bool splitQuoted(QStringView line, QChar separator);
    void add(const CsvField& field)
    {
        // Kept, not cleared, between lines: a field is one store, not a vector's growth check.
        if (count_ == fields_.size())
            fields_.resize(fields_.size() * 2 + 32);
        fields_[count_++] = field;
    }

    std::vector<CsvField> fields_;
    std::size_t count_ = 0;
    QString unquoted_; // the texts of quoted fields; reserved to the line's length, so that they never move
};

} // namespace zor
