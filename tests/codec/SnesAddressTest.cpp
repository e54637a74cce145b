#include "core/codec/SnesAddress.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

namespace zor {
namespace {

TEST(SnesAddress, WorkedValues)
{
    struct Row {
        std::uint8_t bank, high, low;
        std::int32_t offset;
    };
    const Row rows[] = {
        {0x80, 0x80, 0x00, 0},        {0x80, 0xFF, 0xFF, 32767},     {0x81, 0x80, 0x00, 32768},
        {0xBD, 0x80, 0x00, 1998848},  {0xFF, 0x80, 0x00, 4161536},   {0xFF, 0xFF, 0xFF, 4194303},
        {0x80, 0x12, 0x34, -28108},   {0x00, 0x80, 0x00, -4194304},
    };
    for (const Row& r : rows)
        EXPECT_EQ(SnesAddressToOffset(r.low, r.high, r.bank), r.offset)
            << std::hex << int(r.bank) << ":" << int(r.high) << int(r.low);
    // Consecutive banks are 0x8000 apart, with no gap.
    EXPECT_EQ(SnesAddressToOffset(0xFF, 0xFF, 0x80) + 1, SnesAddressToOffset(0x00, 0x80, 0x81));
}

TEST(SnesAddress, BackFromAnOffset)
{
    for (std::int32_t offset : {0, 1, 0x7FFF, 0x8000, 0x15A92, 0x1E8000, 0x2A0002, 0x3F8000, 0x3FFFFF}) {
        const std::optional<SnesAddress> a = OffsetToSnesAddress(offset);
        ASSERT_TRUE(a.has_value()) << offset;
        EXPECT_GE(a->high, 0x80);
        EXPECT_EQ(SnesAddressToOffset(a->low, a->high, a->bank), offset);
    }
    const SnesAddress table = OffsetToSnesAddress(0x1E8000).value();
    EXPECT_EQ(std::tuple(table.bank, table.high, table.low), std::tuple(0xBD, 0x80, 0x00));
    EXPECT_FALSE(OffsetToSnesAddress(-1) || OffsetToSnesAddress(0x400000));
}

TEST(SnesAddress, BytesToValue)
{
    EXPECT_EQ((std::vector<std::int32_t>{BytesToValue(0xFF, 0x7F, 0), BytesToValue(0x34, 0x12, 0), BytesToValue(0x00, 0x00, 0),
                                         BytesToValue(0x01, 0x02, 0x03), BytesToValue(0xFF, 0x7F, 0xFF)}),
              (std::vector<std::int32_t>{32767, 0x1234, 0, 0x030201, 0xFF7FFF}));
    EXPECT_THROW(BytesToValue(0x00, 0x80, 0), std::overflow_error);
    EXPECT_THROW(BytesToValue(0xFF, 0xFF, 0x01), std::overflow_error);
}

} // namespace
} // namespace zor
