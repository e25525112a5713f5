// Scope guards put things back when the scope is left by an exception too.
#include "platform/core/ScopeExit.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace velmoran;

TEST(ScopeExit, RunsOnNormalExitAndOnException)
{
    int runs = 0;
    { ScopeExit guard([&] { ++runs; }); }
    EXPECT_EQ(runs, 1);
    try {
        ScopeExit guard([&] { ++runs; });
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(runs, 2);
}

TEST(ScopeExit, ScopedValueRestoresTheOldValue)
{
    int depth = 3;
    try {
        ScopedValue<int> inner(depth, 4);
        EXPECT_EQ(depth, 4);
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(depth, 3);
}
