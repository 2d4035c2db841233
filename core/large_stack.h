#pragma once
// Runs a job on a fresh thread with a large stack and waits for it, one
// backend per platform. The engine recurses once per character it reads, so
// the matching thread needs far more stack than a main thread has.
// An exception thrown by the job is rethrown in the caller.

#include <cstddef>
#include <functional>

namespace tarnwick {

void runOnLargeStack(std::size_t stackBytes, const std::function<void()>& job);

}  // namespace tarnwick
