#include "large_stack.h"

#include <gtest/gtest.h>

#include <ctime>
#include <stdexcept>
#include <thread>

namespace tarnwick {
namespace {

// Uses about `bytes` of stack, a page at a time, and gives the deepest frame's distance.
std::size_t descend(std::size_t bytes, const char* top) {
    volatile char page[4096];
    page[0] = 1;
    const auto used = static_cast<std::size_t>(top - const_cast<const char*>(&page[0]));
    if (used >= bytes) return used + page[0] - 1;
    return descend(bytes, top);
}

TEST(LargeStack, RunsAJobFarDeeperThanAThreadsStack) {
    std::size_t reached = 0;
    runOnLargeStack([&](std::size_t stackBytes) -> std::size_t {
        EXPECT_GE(stackBytes, smallestStackBytes);
        const char here = 0;
        reached = descend(std::size_t{64} << 20, &here);
        return reached;
    });
    EXPECT_GE(reached, std::size_t{64} << 20);
}

TEST(LargeStack, AnExceptionFromTheJobReachesTheCaller) {
    EXPECT_THROW(runOnLargeStack([](std::size_t) -> std::size_t { throw std::runtime_error("from the job"); }),
                 std::runtime_error);
    int ran = 0;
    runOnLargeStack([&](std::size_t) -> std::size_t { return static_cast<std::size_t>(++ran); });
    EXPECT_EQ(ran, 1) << "the matching thread goes on after a failed job";
}

TEST(LargeStack, EachCallingThreadHasOneOfItsOwnThatEndsWithIt) {
    for (int round = 0; round < 20; ++round) {
        std::thread caller([] {
            for (int job = 0; job < 3; ++job) runOnLargeStack([](std::size_t) -> std::size_t { return 0; });
        });
        caller.join();  // its matching thread and reserved stack go with it
    }
    SUCCEED();
}

}  // namespace
}  // namespace tarnwick
