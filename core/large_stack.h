#pragma once
// Runs a job on a thread with a large stack and waits for it, one backend per
// platform. The engine recurses once per character it reads, so the matching
// thread needs far more stack than a main thread has. Jobs run one at a time;
// an exception thrown by the job is rethrown in the caller.

#include <cstddef>
#include <functional>

namespace tarnwick {

// Enough for the engine to read about a hundred thousand characters in one
// repetition, while unwinding from the depth limit stays quick.
inline constexpr std::size_t largeStackBytes = std::size_t{64} << 20;

void runOnLargeStack(const std::function<void()>& job);

}  // namespace tarnwick
