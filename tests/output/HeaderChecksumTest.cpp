#include "core/output/HeaderChecksum.h"
#include "tests/patch/PatchPairs.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zor {
namespace {

using test::NoisyImage;

// The plain sum of [from, from + count), the checksum bytes counted as FF FF 00 00.
std::uint32_t PlainSum(const QByteArray& image, qsizetype from, qsizetype count)
{
    std::uint32_t sum = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (i == 0x7FDC || i == 0x7FDD)
            sum += 0xFF;
        else if (i != 0x7FDE && i != 0x7FDF)
            sum += static_cast<std::uint8_t>(image[i]);
    }
    return sum;
}

TEST(HeaderChecksum, PowersOfTwoSumEveryByte)
{
    for (const qsizetype size : {qsizetype{0x8000}, qsizetype{0x100000}}) {
        const QByteArray image = NoisyImage(size, 7);
        const Result<HeaderChecksum> sums = ComputeHeaderChecksum(image);
        ASSERT_TRUE(sums);
        const auto word = [&](qsizetype at) { return static_cast<std::uint8_t>(image[at]) | static_cast<std::uint8_t>(image[at + 1]) << 8; };
        EXPECT_EQ(std::tuple(sums->checksum, sums->complement, sums->storedComplement, sums->storedChecksum),
                  std::tuple(PlainSum(image, 0, size) & 0xFFFF, static_cast<std::uint16_t>(~sums->checksum), word(0x7FDC), word(0x7FDE)));
    }
}

TEST(HeaderChecksum, OtherSizesAreMirrored)
{
    constexpr qsizetype kMiB = 0x100000;
    const QByteArray three = NoisyImage(3 * kMiB, 8);
    EXPECT_EQ(ComputeHeaderChecksum(three)->checksum, (PlainSum(three, 0, 2 * kMiB) + 2 * PlainSum(three, 2 * kMiB, kMiB)) & 0xFFFF);

    // 2 MiB + 1 MiB + 2^20 times the last byte; 2^20 times anything is 0 modulo 0x10000.
    QByteArray odd = three + QByteArray(1, '\x03');
    const std::uint16_t oddSum = ComputeHeaderChecksum(odd)->checksum;
    EXPECT_EQ(oddSum, PlainSum(odd, 0, 3 * kMiB) & 0xFFFF);
    odd[3 * kMiB] = '\x7F';
    EXPECT_EQ(ComputeHeaderChecksum(odd)->checksum, oddSum);

    // 0x8000 + 0x4000 + 0x1000 + 2: the last two bytes fill 0x1000, and with the 0x1000 before them twice over 0x4000.
    const QByteArray nested = NoisyImage(0xD002, 9);
    const std::uint32_t expected = PlainSum(nested, 0, 0x8000) + PlainSum(nested, 0x8000, 0x4000)
                                   + 2 * PlainSum(nested, 0xC000, 0x1000) + 2 * 0x800 * PlainSum(nested, 0xD000, 2);
    EXPECT_EQ(ComputeHeaderChecksum(nested)->checksum, expected & 0xFFFF);
}

TEST(HeaderChecksum, FixWritesWhatItComputesAndIgnoresTheOldValues)
{
    QByteArray image = NoisyImage(0x28000, 10);
    const Result<HeaderChecksum> before = ComputeHeaderChecksum(image);
    ASSERT_TRUE(before);
    EXPECT_FALSE(before->matches());
    const QByteArray original = image;
    ASSERT_TRUE(FixHeaderChecksum(image));
    const Result<HeaderChecksum> after = ComputeHeaderChecksum(image);
    EXPECT_EQ(std::tuple(after->matches(), after->checksum, static_cast<std::uint16_t>(after->storedChecksum + after->storedComplement)),
              std::tuple(true, before->checksum, 0xFFFF));
    for (qsizetype i = 0; i < image.size(); ++i) {
        if (i < 0x7FDC || i > 0x7FDF) {
            ASSERT_EQ(image[i], original[i]) << i;
        }
    }
    const QByteArray fixed = image;
    ASSERT_TRUE(FixHeaderChecksum(image));
    EXPECT_EQ(image, fixed);
}

TEST(HeaderChecksum, ImagesWithoutAHeaderWhereZorLooksAreRefused)
{
    for (const qsizetype size : {qsizetype{0}, qsizetype{0x7FFF}, qsizetype{0x8200}, qsizetype{0x300200}}) {
        QByteArray image(size, '\x01');
        const Result<HeaderChecksum> sums = ComputeHeaderChecksum(image);
        ASSERT_FALSE(sums) << size;
        EXPECT_FALSE(sums.failure().reason().isEmpty());
        EXPECT_FALSE(FixHeaderChecksum(image));
        EXPECT_EQ(image, QByteArray(size, '\x01'));
    }
    const QString reason = ComputeHeaderChecksum(QByteArray(0x7FFF, '\0')).failure().reason();
    EXPECT_TRUE(reason.contains(QStringLiteral("ヘッダがありません"))) << reason.toStdString();
    EXPECT_TRUE(ComputeHeaderChecksum(QByteArray(0x8000, '\0')));
}

} // namespace
} // namespace zor
