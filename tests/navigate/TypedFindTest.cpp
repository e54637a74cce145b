// Find over typed cells: numbers by each cell's size, names shown in cells as text.

#include "core/navigate/Find.h"
#include "tests/support/TypedTables.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace zor {
namespace {

class TypedFind : public test::TypedTables {
protected:
    std::tuple<int, int, int> find(const QString& text, FindFrom from, bool backwards = false)
    {
        const FindHit hit = finder.find(doc, FindQuery(text), from, false, backwards);
        return {hit.kind, hit.row, hit.col};
    }
    Finder finder;
};

TEST_F(TypedFind, ASectionIsSearchedInItsOwnBytes)
{
    // 種別 of 盾 holds 7; the byte column after 価格's two is 種別's own.
    EXPECT_EQ(find(u"0x07"_s, {TabIdSection, kItems, 1, 1}), std::tuple(FindHit::Cell, 2, 2));
}

} // namespace
} // namespace zor
