#include "core/files/Text.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

QByteArray Joined(const std::vector<RawLine>& lines)
{
    QByteArray out;
    for (const RawLine& line : lines)
        out += line.text + line.ending;
    return out;
}

TEST(Text, SplitsAtEveryKindOfLineEndAndJoinsBackExactly)
{
    const QByteArray bytes("a\r\nb\nc\rd\r\r\ne");
    const std::vector<RawLine> lines = SplitLines(bytes);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].text, "a");
    EXPECT_EQ(lines[0].ending, "\r\n");
    EXPECT_EQ(lines[1].ending, "\n");
    EXPECT_EQ(lines[2].ending, "\r");
    EXPECT_EQ(lines[3].text, "d");
    EXPECT_EQ(lines[3].ending, "\r");
    EXPECT_EQ(lines[4].text, "");
    EXPECT_EQ(lines[4].ending, "\r\n");
    EXPECT_EQ(lines[5].text, "e");
    EXPECT_TRUE(lines[5].ending.isEmpty());
    EXPECT_EQ(Joined(lines), bytes);
}

TEST(Text, LineCountIsBreaksPlusOne)
{
    EXPECT_EQ(ToTextLines("a\r\nb\r\nc\r\n").lineCount, 4);
    EXPECT_EQ(ToTextLines("a\r\nb\r\nc\r\n").lines.size(), 3);
    EXPECT_EQ(ToTextLines("a\r\nb\r\nc").lineCount, 3);
    EXPECT_EQ(ToTextLines("").lineCount, 1);
    EXPECT_TRUE(ToTextLines("").lines.isEmpty());
    EXPECT_EQ(ToTextLines("a\n\nb\n").lineCount, 4);
    EXPECT_EQ(ToTextLines("a\n\nb\n").lines, QStringList({u"a"_s, QString(), u"b"_s}));
}

TEST(Text, Cp932KeepsBackslashAndFindsBadBytes)
{
    // 0x5C is the backslash in CP932, never the yen sign.
    EXPECT_EQ(DecodeCp932("C:\\x").text, u"C:\\x"_s);
    const QByteArray kana("\x83\x4E\x83\x89\x83\x58", 6);
    EXPECT_EQ(DecodeCp932(kana).text, u"クラス"_s);
    EXPECT_TRUE(DecodeCp932(kana).ok);
    EXPECT_EQ(EncodeCp932(u"クラス"_s).value_or(QByteArray()), kana);

    const TextLines text = ToTextLines(QByteArray("ok\r\n\x81\r\nok\r\n\xFF\xFF", 13));
    EXPECT_EQ(text.badLines, (std::vector<int>{2, 4}));
    EXPECT_FALSE(EncodeCp932(u"😀"_s).has_value());
}

TEST(Text, Cp932SingleBytesAreAsciiOrKatakanaAndComeBackUnchanged)
{
    for (int b = 0; b < 0x100; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        const DecodedText decoded = DecodeCp932(byte);
        const bool character = b < 0x80 || (b >= 0xA1 && b <= 0xDF); // else 0x80, 0xA0, 0xFD-0xFF or a lead byte
        const char16_t expected = b < 0x80 ? char16_t(b) : character ? char16_t(0xFF61 + b - 0xA1) : char16_t(0xFFFD);
        EXPECT_EQ(decoded.ok, character) << b;
        EXPECT_EQ(decoded.text, QString(QChar(expected))) << b;
        if (character) {
            EXPECT_EQ(EncodeCp932(decoded.text).value_or(QByteArray()), byte) << b;
        }
    }
}

TEST(Text, Cp932BadPairsBecomeReplacementsNotControlCharacters)
{
    // A lead byte before a byte that cannot trail it is bad alone; a pair that names nothing is one bad character.
    EXPECT_EQ(DecodeCp932("\x81 \x81\x7F\x81\x1A").text, u"\uFFFD \uFFFD\u007F\uFFFD\u001A"_s);
    EXPECT_EQ(DecodeCp932("\x85\x40x\xEB\x40\xFC\xFC\x81").text, u"\uFFFDx\uFFFD\uFFFD\uFFFD"_s);
    EXPECT_FALSE(DecodeCp932("\x85\x40").ok);
    for (const QString& text : {u"\u00A5"_s, u"\u0080"_s, u"\uFFFD"_s, QString(QChar(0xD800)), u"\u301C"_s})
        EXPECT_FALSE(EncodeCp932(text).has_value()) << text.toStdString();
}

TEST(Text, Cp932DoubleBytesReadAndWriteAsWindowsDoes)
{
    int characters = 0;
    for (int pair = 0x8140; pair <= 0xFCFC; ++pair) {
        const char bytes[2] = {static_cast<char>(pair >> 8), static_cast<char>(pair)};
        const DecodedText decoded = DecodeCp932(QByteArrayView(bytes, 2));
        if (!decoded.ok || !IsCp932LeadByte(bytes[0]))
            continue;
        ++characters;
        ASSERT_EQ(decoded.text.size(), 1) << pair;
        EXPECT_EQ(DecodeCp932(EncodeCp932(decoded.text).value_or(QByteArray())).text, decoded.text) << pair;
    }
    // JIS X 0208, the NEC and IBM rows and the 1880 user-defined characters.
    EXPECT_EQ(characters, 6879 + 83 + 374 + 388 + 1880);
    // Characters with two or three pairs are written with the one Windows picks.
    EXPECT_EQ(EncodeCp932(u"\u2252\u7E8A\uFFE2\u2160\u2170"_s).value_or(QByteArray()),
              "\x81\xE0\xFA\x5C\x81\xCA\x87\x54\xFA\x40");
}

TEST(Text, Utf8IsRecognisedByABomOrALongSequence)
{
    EXPECT_TRUE(LooksLikeUtf8("\xEF\xBB\xBF[A]\r\nx=1\r\n"));
    EXPECT_TRUE(LooksLikeUtf8(u"クラス\r\n"_s.toUtf8()));
    EXPECT_TRUE(LooksLikeUtf8(u"a😀"_s.toUtf8()));
    EXPECT_FALSE(LooksLikeUtf8("plain ASCII\r\n"));
    EXPECT_FALSE(LooksLikeUtf8(""));
    EXPECT_FALSE(LooksLikeUtf8(EncodeCp932(u"クラス、戦士"_s).value()));
    // Half-width kana that happen to form two-byte UTF-8: 0xC2 0xB1 is also U+00B1.
    EXPECT_FALSE(LooksLikeUtf8("\xC2\xB1\xC3\xA9"));
    // A long lead byte without its continuation is no UTF-8, nor is one cut off at the end.
    EXPECT_FALSE(LooksLikeUtf8("\xE3\x41\x42"));
    EXPECT_FALSE(LooksLikeUtf8(u"ク"_s.toUtf8().left(2)));
}

TEST(Text, QuoteTextCutsLongTextAtEightyCharacters)
{
    EXPECT_EQ(QuoteText(QString(80, u'x')), QString(80, u'x'));
    EXPECT_EQ(QuoteText(QString(81, u'x')), QString(80, u'x') + u'…');
    EXPECT_EQ(QuoteText(QString()), QString());
    // A character outside the BMP is never split: the cut comes before it.
    const QString wide = QString(79, u'x') + QString::fromUcs4(U"\U0001F600") + u'y';
    EXPECT_EQ(QuoteText(wide), QString(79, u'x') + u'…');
}

} // namespace
} // namespace zor
