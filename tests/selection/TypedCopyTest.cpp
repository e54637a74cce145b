// Typed cells copied as text: each its number in its section's notation, never a name.

#include "core/selection/TextClipboard.h"
#include "tests/support/TypedTables.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

using TypedCopy = test::TypedTables;

TEST_F(TypedCopy, NamesAndBitsCellsCopyTheirNumber)
{
    // 価格, 種別 (防具), 属性 (火・氷), 差 signed, 重さ, 大 unsigned; then 盾's 種別, which has no name.
    EXPECT_EQ(SelectionText(doc, {TabIdSection, kItems}, {1, 1, 2, 6}),
              u"0x1234\t0x01\t0x05\t-1\t0xFF\t4294967295\n0x00FF\t0x07\t0x00\t10\t0x01\t1\n"_s);
    EXPECT_EQ(SelectionText(doc, {TabBattle, 0}, {1, 3, 1, 4}), u"0x00FF\t0x00\n"_s);
}

} // namespace
} // namespace zor
