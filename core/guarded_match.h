#pragma once
// Stage "match": the standard library's engine run on a checked pattern, on a
// stack large enough for its recursion and within a bounded amount of work.
// A runaway match throws RegexError: complexity (11) when it exceeds its work
// limit, stack (12) when its recursion would exceed its stack limit; a pattern
// too large for the engine throws space (9).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "pattern_check.h"
#include "text_types.h"

namespace tarnwick {

struct MatchLimits {
    std::uint64_t steps;     // the engine's steps: moves, reads, comparisons and copies of positions
    std::size_t stackBytes;  // how deep its recursion may go
    // When another thread sets it, the match ends within a few microseconds
    // (it is read where the limits are checked) and MatchCancelled is thrown.
    const std::atomic<bool>* cancel = nullptr;
};

// A runaway match on a short text stops after about 150 ms here; every
// character of the text adds room for a legitimate match of it.
inline constexpr std::uint64_t baseStepLimit = 64'000'000;
inline constexpr std::uint64_t stepsPerCharacter = 192;

// The limits for a text of this many characters.
MatchLimits limitsFor(std::size_t textLength);

// Where each group matched, group 0 first (no value for a group that took no
// part); `groups` has no value when the pattern does not match the whole input.
// `part`: the first non-empty part of the input that the pattern matches, found
// by one search under the same stack limit and at most the base work limit (no
// part when that search finds none or is stopped). `steps`: the meter's count.
struct MatchAttempt {
    std::optional<std::vector<std::optional<GroupSpan>>> groups;
    std::optional<GroupSpan> part;
    std::uint64_t steps = 0;
};

// The whole input; a stopped match throws RegexError with the steps it took.
MatchAttempt matchWhole(const CheckedPattern& pattern, const WideText& input, const MatchLimits& limits);
// The whole input, and where it does not match, the search for a part.
MatchAttempt matchWholeOrPart(const CheckedPattern& pattern, const WideText& input, const MatchLimits& limits);
// The search for a part alone, for a caller that has shown the whole match's failure already.
MatchAttempt matchPart(const CheckedPattern& pattern, const WideText& input, const MatchLimits& limits);

// One run of a series: the engine's steps, and whether it stopped at the run's limit.
struct MeteredRun {
    std::uint64_t steps = 0;
    bool stopped = false;
};
enum class MatchMode { whole, search };
// Gives the series' next input and its step limit, after the previous run
// (none before the first); false ends the series.
using NextRun = std::function<bool(const MeteredRun* previous, WideText& input, std::uint64_t& stepLimit)>;
// Runs the engine (compiled once) on each input `next` gives, whole-text or
// searching as the hint does, each run metered afresh; for measuring how a
// pattern's work grows. Throws MatchCancelled when `cancel` is set meanwhile.
void runMeteredSeries(const CheckedPattern& pattern, MatchMode mode, const NextRun& next,
                      const std::atomic<bool>* cancel = nullptr);

// Runs `work` on the matching thread's large stack, where the metered runs
// it starts need no hand-off between threads each: for a caller that starts
// many short ones. Exceptions reach the caller.
void onMatchingStack(const std::function<void()>& work);

// The input with every match, searched from left to right, replaced in the ECMAScript format syntax.
WideText replaceAll(const CheckedPattern& pattern, const WideText& input, const WideText& replacement,
                    const MatchLimits& limits);

}  // namespace tarnwick
