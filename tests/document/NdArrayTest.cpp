#include "core/document/NdArray.h"

#include <QString>

#include <gtest/gtest.h>

#include <tuple>

namespace zor {
namespace {

TEST(NdArray, AccessOutsideTheBoundsAndImpossibleBoundsThrow)
{
    NdArray<int, 2> a(3, 4);
    a(3, 4) = 7;
    EXPECT_EQ(a(3, 4), 7);
    for (const auto& [i, j] : {std::pair{4, 0}, {0, 5}, {-1, 0}})
        EXPECT_THROW(a(i, j), std::out_of_range) << i << " " << j;
    EXPECT_TRUE(a.contains(0, 0) && !a.contains(0, 5));

    NdArray<int, 1> unallocated;
    EXPECT_TRUE(unallocated.empty());
    EXPECT_THROW(unallocated(0), std::out_of_range);
    EXPECT_THROW(unallocated.redim(-2), std::length_error);
    EXPECT_THROW((NdArray<int, 3>(70000, 70000, 70000)), std::length_error);
    unallocated.redim(-1);
    EXPECT_TRUE(unallocated.empty());
}

TEST(NdArray, RedimZeroesAndRedimPreserveKeepsWhatFits)
{
    NdArray<int, 3> a(2, 2, 2);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 2; ++j)
            for (int k = 0; k <= 2; ++k)
                a(i, j, k) = 100 * i + 10 * j + k;

    a.redimPreserve(3, 1, 4);
    EXPECT_EQ(std::tuple(a.upper(0), a.upper(1), a.upper(2)), std::tuple(3, 1, 4));
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 1; ++j)
            for (int k = 0; k <= 2; ++k)
                EXPECT_EQ(a(i, j, k), 100 * i + 10 * j + k);
    EXPECT_EQ(std::tuple(a(3, 1, 4), a(2, 1, 3)), std::tuple(0, 0));

    a.redim(1, 1, 1);
    EXPECT_EQ(a(1, 1, 1), 0);

    NdArray<QString, 1> names(1);
    names(1) = QStringLiteral("x");
    names.redimPreserve(5);
    EXPECT_EQ(names(1), QStringLiteral("x"));
    EXPECT_TRUE(names(5).isEmpty());
}

} // namespace
} // namespace zor
