#include "core/navigate/SnesAddressText.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

TEST(SnesAddressText, OffsetsAtTheBankEdges)
{
    for (const auto& [offset, text, address] : std::vector<std::tuple<std::int64_t, QString, QString>>{
             {0, u"0x000000"_s, u"$80:8000"_s},          {0x7FFF, u"0x007FFF"_s, u"$80:FFFF"_s},
             {0x8000, u"0x008000"_s, u"$81:8000"_s},     {0x061002, u"0x061002"_s, u"$8C:9002"_s},
             {0x3FFFFF, u"0x3FFFFF"_s, u"$FF:FFFF"_s},   {0x400000, u"0x400000"_s, QString()},
             {0x1234567, u"0x1234567"_s, QString()},     {-0x10, u"-0x000010"_s, QString()}}) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(OffsetText(offset), text);
        EXPECT_EQ(SnesAddressText(offset), address);
        // Every address written reads back as its offset.
        if (!address.isEmpty()) {
            EXPECT_EQ(ParseSnesAddress(address), offset);
        }
    }
}

TEST(SnesAddressText, AddressesReadWithMirrorsAndRefusals)
{
    for (const auto& [text, offset] : std::vector<std::pair<QString, std::int64_t>>{
             {u"$8C:9002"_s, 0x061002}, {u"$0C:9002"_s, 0x061002}, {u" $8c9002 "_s, 0x061002},
             {u"＄８Ｃ：９００２"_s, 0x061002}, {u"$00:8000"_s, 0}, {u"$7D:FFFF"_s, 0x3EFFFF}}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(ParseSnesAddress(text), offset);
    }
    for (const auto& [text, says] : std::vector<std::pair<QString, QString>>{
             {u"$7E:8000"_s, u"$7E"_s}, {u"$7F:FFFF"_s, u"$7F"_s}, {u"$80:7FFF"_s, u"$7FFF"_s}, {u"$80:8"_s, u"$0008"_s},
             {u"$8C:90021"_s, u"$BB:AAAA"_s}, {u"$100:8000"_s, u"$BB:AAAA"_s}, {u"8C:9002"_s, u"$BB:AAAA"_s},
             {u"$8C:"_s, u"$BB:AAAA"_s}, {u"$8G:9002"_s, u"$BB:AAAA"_s}, {u"$8C9002FF"_s, u"$BB:AAAA"_s}}) {
        SCOPED_TRACE(text.toStdString());
        const Result<std::int64_t> parsed = ParseSnesAddress(text);
        ASSERT_FALSE(parsed);
        EXPECT_TRUE(parsed.failure().message().contains(says)) << parsed.failure().message().toStdString();
    }
}

TEST(SnesAddressText, OffsetsAfterAnAtSign)
{
    for (const QString& text : {u"@61002"_s, u"@0x61002"_s, u" ＠６１００２ "_s, u"@ 0X061002"_s})
        EXPECT_EQ(ParseOffsetText(text), 0x061002) << text.toStdString();
    EXPECT_EQ(ParseOffsetText(u"@FFFFFFFF"_s), 0xFFFFFFFFLL);
    for (const QString& text : {u"@"_s, u"@0x"_s, u"@123456789"_s, u"@-1"_s, u"61002"_s, u"@61g02"_s})
        EXPECT_FALSE(ParseOffsetText(text)) << text.toStdString();
}

} // namespace
} // namespace zor
