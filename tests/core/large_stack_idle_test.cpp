// POSIX only: the process's CPU time, which counts every thread's.
#include "large_stack.h"

#include <gtest/gtest.h>

#include <time.h>

#include <chrono>
#include <thread>

namespace tarnwick {
namespace {

double processCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// After a job both sides sleep: nothing spins while no key comes.
TEST(LargeStack, NoThreadBurnsCpuWhileIdle) {
    for (int job = 0; job < 3; ++job) runOnLargeStack([](std::size_t) -> std::size_t { return 0; });
    const double before = processCpuMilliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_LT(processCpuMilliseconds() - before, 1.0);
}

}  // namespace
}  // namespace tarnwick
