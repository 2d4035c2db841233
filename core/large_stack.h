#pragma once
// Runs a job on a thread with a large stack and waits for it, one backend per
// platform. The engine recurses once per character it reads, so the matching
// thread needs far more stack than a main thread has. Each calling thread has
// a matching thread of its own, started at its first job and kept, so that
// evaluations from different threads never wait for each other. An exception
// thrown by the job is rethrown in the caller.

#include <cstddef>
#include <functional>

namespace tarnwick {

// Address space reserved for each matching thread; pages are committed only
// as the engine touches them. Enough for `(.)*` on a few million characters.
// Where the address space is limited (ulimit -v, a container), the largest
// half of it down to the smallest size is taken instead: a long text then
// stops at the stack limit sooner, and a short one matches as ever.
inline constexpr std::size_t largeStackBytes = std::size_t{4} << 30;
inline constexpr std::size_t smallestStackBytes = std::size_t{16} << 20;

// Touched stack kept between jobs; a job that went deeper gives the rest back
// once a shallower job follows it, so one big text does not keep its memory.
inline constexpr std::size_t keptStackBytes = std::size_t{64} << 20;

// `job` is given the size of the stack it runs on, and returns how many bytes
// of it it used, as far as it knows (0: unknown). Throws std::runtime_error
// when not even the smallest stack can be had.
using StackJob = std::function<std::size_t(std::size_t stackBytes)>;
void runOnLargeStack(const StackJob& job);

}  // namespace tarnwick
