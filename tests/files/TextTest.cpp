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

} // namespace
} // namespace zor
