#include "core/files/Text.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

// Every kind of line end splits, the pieces join back exactly, and lines that aren't CP932 are named.
TEST(Text, SplitsAtEveryKindOfLineEndAndCountsBreaksPlusOne)
{
    std::vector<std::pair<QByteArray, QByteArray>> split;
    for (const RawLine& line : SplitLines("a\r\nb\nc\rd\r\r\ne"))
        split.emplace_back(line.text, line.ending);
    EXPECT_EQ(split, (std::vector<std::pair<QByteArray, QByteArray>>{
                         {"a", "\r\n"}, {"b", "\n"}, {"c", "\r"}, {"d", "\r"}, {"", "\r\n"}, {"e", ""}}));
    for (const auto& [bytes, count, lines] : {std::tuple{QByteArray("a\r\nb\r\nc\r\n"), 4, QStringList{u"a"_s, u"b"_s, u"c"_s}},
                                              {"a\r\nb\r\nc", 3, {u"a"_s, u"b"_s, u"c"_s}}, {"", 1, {}},
                                              {"a\n\nb\n", 4, {u"a"_s, QString(), u"b"_s}}}) {
        EXPECT_EQ(ToTextLines(bytes).lineCount, count) << bytes.toStdString();
        EXPECT_EQ(ToTextLines(bytes).lines, lines) << bytes.toStdString();
    }
    EXPECT_EQ(ToTextLines(QByteArray("ok\r\n\x81\r\nok\r\n\xFF\xFF", 13)).badLines, (std::vector<int>{2, 4}));
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
    for (const QString& text : {u"😀"_s, u"\u00A5"_s, u"\u0080"_s, u"\uFFFD"_s, QString(QChar(0xD800)), u"\u301C"_s})
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
    EXPECT_EQ(DecodeCp932("\x83\x4E\x83\x89\x83\x58").text, u"クラス"_s);
    // JIS X 0208, the NEC and IBM rows and the 1880 user-defined characters.
    EXPECT_EQ(characters, 6879 + 83 + 374 + 388 + 1880);
    // Characters with two or three pairs are written with the one Windows picks.
    EXPECT_EQ(EncodeCp932(u"\u2252\u7E8A\uFFE2\u2160\u2170"_s).value_or(QByteArray()),
              "\x81\xE0\xFA\x5C\x81\xCA\x87\x54\xFA\x40");
}

TEST(Text, Utf8IsRecognisedByABomOrALongSequence)
{
    // Half-width kana that happen to form two-byte UTF-8 (0xC2 0xB1 is also U+00B1) are no UTF-8,
    // nor is a long lead byte without its continuation or cut off at the end.
    for (const auto& [bytes, utf8] : {std::pair{QByteArray("\xEF\xBB\xBF[A]\r\nx=1\r\n"), true}, {u"クラス\r\n"_s.toUtf8(), true},
                                      {u"a😀"_s.toUtf8(), true}, {"plain ASCII\r\n", false}, {"", false},
                                      {EncodeCp932(u"クラス、戦士"_s).value(), false}, {"\xC2\xB1\xC3\xA9", false},
                                      {"\xE3\x41\x42", false}, {u"ク"_s.toUtf8().left(2), false}})
        EXPECT_EQ(LooksLikeUtf8(bytes), utf8) << bytes.toHex().toStdString();
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
