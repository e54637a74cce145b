#pragma once

// Text files are CP932 (Shift-JIS as Windows writes it); inside the program all text
// is Unicode. Lines end at CRLF, LF or a lone CR.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zor {

struct DecodedText {
    QString text;   // undecodable bytes become U+FFFD
    bool ok = true; // false when some bytes are not CP932
};

// Bytes 0x00-0x7F are ASCII, control bytes included. A byte that is not CP932 (0x80,
// 0xA0, 0xFD-0xFF, a lead byte without a trail byte) becomes one U+FFFD; a lead and
// trail byte pair that names no character becomes one U+FFFD for both.
DecodedText DecodeCp932(QByteArrayView bytes);

// nullopt when some character has no CP932 form.
std::optional<QByteArray> EncodeCp932(QStringView text);

// 0x81-0x9F and 0xE0-0xFC start a double-byte character. The byte after one belongs
// to it even when it looks like ASCII: 転 is 0x93 0x5D, and 0x5D is ']'.
bool IsCp932LeadByte(char c);

struct RawLine {
    QByteArray text;
    QByteArray ending; // "\r\n", "\n", "\r", or empty for a last line without a break
};

// Every line of the bytes with its own ending; a final empty piece after the last
// break is not a line. Joining text + ending of all lines gives the bytes back.
std::vector<RawLine> SplitLines(QByteArrayView bytes);

// A definition file as line-oriented reading sees it.
struct TextLines {
    QStringList lines;       // the lines in order; the empty piece after a final break is not one
    int lineCount = 1;       // line breaks + 1: three lines and a final break count 4, an empty file 1
    std::vector<int> badLines; // 1-based numbers of lines that are not valid CP932
};

TextLines ToTextLines(QByteArrayView bytes);

// Whether bytes meant as CP932 were more likely saved as UTF-8: a UTF-8 byte order
// mark, or valid UTF-8 with at least one sequence of three or more bytes. Two-byte
// sequences don't count, as two half-width kana can form one; ASCII alone is no UTF-8.
bool LooksLikeUtf8(QByteArrayView bytes);

// Characters of a user's text a message quotes at most: a whole 10 MB line would hang
// the message box that lays it out and flood a terminal.
inline constexpr qsizetype kMaxQuotedChars = 80;

// text as a message quotes it: at most kMaxQuotedChars characters, ending in "…" when
// cut (never between the halves of a surrogate pair).
QString QuoteText(QStringView text);

// Characters that Linux input methods give in their JIS form, replaced by the form CP932 holds:
// 〜 ‖ − — ¢ £ ¬ become ～ ∥ － ― ￠ ￡ ￢.
QString ToCp932Forms(QString text);
// Whether every character of text has a CP932 form.
bool FitsCp932(const QString& text);

} // namespace zor
