#pragma once

// A Result as a GoogleTest assertion, so that a failure says why: ASSERT_TRUE(Succeeded(...)).

#include "core/files/Failure.h"

#include <gtest/gtest.h>

namespace zor::test {

template <typename T>
::testing::AssertionResult Succeeded(const Result<T>& result)
{
    if (result)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << result.failure().message().toStdString();
}

} // namespace zor::test
