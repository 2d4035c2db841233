#include "guarded_match.h"

#include <algorithm>
#include <iterator>
#include <regex>

#include "engine_traits.h"
#include "large_stack.h"
#include "metered_iterator.h"
#include "pattern_error.h"

namespace tarnwick {
namespace {

using EngineRegex = std::basic_regex<wchar_t, EngineTraits>;

// Left free below the depth limit for the frames between two checks and for unwinding.
constexpr std::size_t stackHeadroom = std::size_t{8} << 20;

// Beyond this depth the time to fill the stack, page faults included, would
// pass the time a user waits for a stop to be reported. AddressSanitizer's
// frames are several times larger: its builds get the room the same
// recursion needs there.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t defaultStackLimit = std::size_t{3} << 30;
#else
constexpr std::size_t defaultStackLimit = std::size_t{1} << 30;
#endif

EngineRegex compile(const WideText& canonical) {
    try {
        EngineRegex regex;
        regex.imbue(EngineTraits::engineLocale());
        regex.assign(canonical, std::regex_constants::ECMAScript | std::regex_constants::multiline);
        return regex;
    } catch (const std::regex_error& e) {
        // The checker has let the pattern through, so this is the engine's own
        // limit (its automaton may hold at most 100,000 states).
        throw RegexError(static_cast<PatternError>(e.code()));
    }
}

// The size of the matching thread's stack while onMatchingStack's work runs
// there (0 elsewhere): a metered run started then needs no hand-off.
thread_local std::size_t matchingStackBytes = 0;

// Runs `body` on a large stack with a meter whose floor lies within that stack;
// gives the steps it took, throws RegexError when the meter stopped the match
// at a limit and MatchCancelled when it was cancelled.
template <class Body>
std::uint64_t runMetered(const MatchLimits& limits, Body&& body) {
    std::uint64_t steps = 0;
    bool cancelled = false;
    bool stopped = false;
    PatternError stop = PatternError::complexity;
    const StackJob job = [&](std::size_t stackBytes) -> std::size_t {
        const std::uintptr_t top = stackPosition();
        WorkMeter meter(limits.steps, top - std::min(limits.stackBytes, stackBytes - stackHeadroom), limits.cancel);
        struct Running {
            explicit Running(WorkMeter* meter) { runningMeter = meter; }
            ~Running() { runningMeter = nullptr; }
            Running(const Running&) = delete;
            Running& operator=(const Running&) = delete;
        } running(&meter);
        body(meter);
        steps = meter.stepsTaken();
        cancelled = meter.cancelled;
        stopped = meter.stopped;
        stop = meter.stop;
        return top - meter.lowest;
    };
    if (matchingStackBytes != 0) {
        job(matchingStackBytes);  // a few frames below the stack's top: the headroom covers them
    } else {
        runOnLargeStack(job);
    }
    // Thrown here, off the matching thread's deep stack, the error unwinds at once.
    if (cancelled) throw MatchCancelled();
    if (stopped) throw RegexError(stop, RegexError::noPosition, {}, steps);
    return steps;
}

// The text with a line feed before it. The engine starts a fresh matcher at
// the position of each look-ahead; only with a previous character available
// do ^, \b and \B see the real one there, and a line feed is what the text's
// start looks like to them.
WideText withLineBefore(const WideText& input) {
    WideText buffer;
    buffer.reserve(input.size() + 1);
    buffer += L'\n';
    buffer += input;
    return buffer;
}

std::optional<GroupSpan> groupSpan(const std::match_results<MeteredIterator>& match, const GroupSlots& slots,
                                   const wchar_t* begin) {
    if (slots.inNegativeLookahead) return std::nullopt;
    for (std::size_t marker : slots.markers) {
        if (!match[marker].matched) return std::nullopt;
    }
    for (auto slot = slots.engine.rbegin(); slot != slots.engine.rend(); ++slot) {
        const auto& group = match[*slot];
        if (group.matched) {
            return GroupSpan{static_cast<std::size_t>(group.first.base() - begin),
                             static_cast<std::size_t>(group.second.base() - begin)};
        }
    }
    return std::nullopt;
}

}  // namespace

void WorkMeter::checkLimits() {
    untilCheck = checkInterval;
    steps += checkInterval;
    const std::uintptr_t position = stackPosition();
    if (stopped) {
        if (mayAbandon && steps - stoppedAt > stepsToReturn && top - position < abandonDepth) throw Abandoned{};
        return;
    }
    if (position < lowest) lowest = position;
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        stopped = true;
        cancelled = true;
    } else if (steps > stepLimit || position < stackFloor) {
        stopped = true;
        stop = steps > stepLimit ? PatternError::complexity : PatternError::stack;
    }
    if (stopped) stoppedAt = steps;
}

void onMatchingStack(const std::function<void()>& work) {
    if (matchingStackBytes != 0) {
        work();
        return;
    }
    runOnLargeStack([&](std::size_t stackBytes) -> std::size_t {
        matchingStackBytes = stackBytes;
        struct Leaving {
            ~Leaving() { matchingStackBytes = 0; }
        } leaving;
        work();
        return 0;
    });
}

MatchLimits limitsFor(std::size_t textLength) {
    return {baseStepLimit + stepsPerCharacter * textLength, defaultStackLimit};
}

namespace {

enum class Search { whole, wholeThenPart, part };

// One run of the engine; an abandoned run ends as the stopped run it is.
template <class Run>
bool engineRun(Run&& run) {
    try {
        return run();
    } catch (const WorkMeter::Abandoned&) {
        return false;
    }
}

MatchAttempt attempt(const CheckedPattern& pattern, const WideText& input, const MatchLimits& limits, Search search) {
    const WideText text = withLineBefore(input);
    MatchAttempt result;
    std::uint64_t wholeSteps = 0;
    result.steps = runMetered(limits, [&](WorkMeter& meter) {
        const EngineRegex regex = compile(pattern.canonical);
        const wchar_t* begin = text.data() + 1;
        const MeteredIterator first(begin, &meter);
        const MeteredIterator last(begin + input.size(), &meter);
        std::match_results<MeteredIterator> match;
        if (search != Search::part) {
            if (engineRun([&] { return std::regex_match(first, last, match, regex, std::regex_constants::match_prev_avail); }) &&
                !meter.stopped) {
                std::vector<std::optional<GroupSpan>> spans;
                spans.reserve(pattern.groups.size());
                for (const GroupSlots& slots : pattern.groups) spans.push_back(groupSpan(match, slots, begin));
                result.groups = std::move(spans);
                return;
            }
            if (meter.stopped || search == Search::whole) return;  // a stopped match's groups are meaningless
            wholeSteps = meter.stepsTaken();
        }
        // The search is a hint only: it gets the same limits afresh, but no
        // more work than a short text's match, so that a long text's hint
        // never takes seconds; its stop is no error, only no hint.
        meter.restart(std::min(limits.steps, baseStepLimit));
        if (engineRun([&] {
                return std::regex_search(first, last, match, regex,
                                         std::regex_constants::match_prev_avail | std::regex_constants::match_not_null);
            }) &&
            !meter.stopped) {
            result.part = GroupSpan{static_cast<std::size_t>(match[0].first.base() - begin),
                                    static_cast<std::size_t>(match[0].second.base() - begin)};
        }
        if (!meter.cancelled) meter.stopped = false;
    });
    result.steps += wholeSteps;
    return result;
}

}  // namespace

MatchAttempt matchWhole(const CheckedPattern& pattern, const WideText& input, const MatchLimits& limits) {
    return attempt(pattern, input, limits, Search::whole);
}

MatchAttempt matchWholeOrPart(const CheckedPattern& pattern, const WideText& input, const MatchLimits& limits) {
    return attempt(pattern, input, limits, Search::wholeThenPart);
}

MatchAttempt matchPart(const CheckedPattern& pattern, const WideText& input, const MatchLimits& limits) {
    return attempt(pattern, input, limits, Search::part);
}

void runMeteredSeries(const CheckedPattern& pattern, MatchMode mode, const NextRun& next,
                      const std::atomic<bool>* cancel) {
    const MatchLimits limits{baseStepLimit, defaultStackLimit, cancel};
    runMetered(limits, [&](WorkMeter& meter) {
        const EngineRegex regex = compile(pattern.canonical);
        WideText input;
        std::uint64_t stepLimit = 0;
        MeteredRun run;
        const MeteredRun* previous = nullptr;
        while (next(previous, input, stepLimit)) {
            // The meter reads the flag only every few hundred steps, which a
            // series of short runs may never take: asked before each run too.
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
                meter.stopped = meter.cancelled = true;
                return;
            }
            const WideText text = withLineBefore(input);
            const wchar_t* begin = text.data() + 1;
            const MeteredIterator first(begin, &meter);
            const MeteredIterator last(begin + input.size(), &meter);
            std::match_results<MeteredIterator> match;
            meter.restart(stepLimit);
            engineRun([&] {
                return mode == MatchMode::whole
                           ? std::regex_match(first, last, match, regex, std::regex_constants::match_prev_avail)
                           : std::regex_search(first, last, match, regex,
                                               std::regex_constants::match_prev_avail |
                                                   std::regex_constants::match_not_null);
            });
            if (meter.cancelled) return;
            run = {meter.stepsTaken(), meter.stopped};
            meter.stopped = false;
            previous = &run;
        }
    });
}

WideText replaceAll(const CheckedPattern& pattern, const WideText& input, const WideText& replacement,
                    const MatchLimits& limits) {
    const WideText text = withLineBefore(input);
    WideText out;
    runMetered(limits, [&](WorkMeter& meter) {
        const EngineRegex regex = compile(pattern.canonical);
        const wchar_t* begin = text.data() + 1;
        meter.mayAbandon = false;
        std::regex_replace(std::back_inserter(out), MeteredIterator(begin, &meter),
                           MeteredIterator(begin + input.size(), &meter), regex, replacement,
                           std::regex_constants::match_prev_avail);
    });
    return out;
}

}  // namespace tarnwick
