#pragma once
// The iterator through which the engine reads the text. Every move, read,
// comparison and copy is counted against a work limit, and the stack is
// checked against a limit, so that a runaway match ends in an error report
// instead of a hang or a crash. The copies and comparisons matter: the engine
// enters a group, a repetition's pass or a look-ahead by copying its position,
// and fails an empty alternative by comparing it, without moving or reading;
// counting only moves and reads let such backtracking run unbounded.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "pattern_error.h"

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace tarnwick {

// The engine's loops call the iterator for every character; an out-of-line
// call there costs more than the count itself.
#if defined(__GNUC__)
#define TARNWICK_ALWAYS_INLINE [[gnu::always_inline]] inline
#else
#define TARNWICK_ALWAYS_INLINE inline
#endif

inline std::uintptr_t stackPosition() {
#if defined(_MSC_VER)
    return reinterpret_cast<std::uintptr_t>(_AddressOfReturnAddress());
#else
    return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
#endif
}

// Counts the engine's steps. The count runs down to the next check
// in one inlined decrement; the limits are checked out of line every
// `checkInterval` steps, few enough frames apart for the stack's headroom.
//
// A match past a limit is stopped without an exception: the engine's
// recursion may be millions of frames deep, and unwinding them takes seconds.
// Instead every position then compares equal to the end of the text, so each
// frame fails or accepts at once and returns; the caller checks `stopped`.
// Backtracking that reads no text (empty alternatives, look-aheads) does not
// end that way, so a stopped match that keeps running on a shallow stack is
// abandoned with an Abandoned exception, which unwinds a shallow stack at once.
struct WorkMeter {
    static constexpr std::uint32_t checkInterval = 256;
    // After a stop, the steps the engine may still take to return on its own.
    static constexpr std::uint64_t stepsToReturn = 16 * 1024;
    // Only this little of the stack is unwound by an exception.
    static constexpr std::uintptr_t abandonDepth = std::uintptr_t{1} << 20;

    struct Abandoned {};

    WorkMeter(std::uint64_t limit, std::uintptr_t floor, const std::atomic<bool>* cancelFlag = nullptr)
        : stepLimit(limit), stackFloor(floor), top(stackPosition()), lowest(top), cancel(cancelFlag) {}

    TARNWICK_ALWAYS_INLINE void step() {
        if (--untilCheck == 0) [[unlikely]] checkLimits();
    }
    // A step where no exception may leave (inside the engine's noexcept
    // members): the check is left to the next step.
    TARNWICK_ALWAYS_INLINE void quietStep() {
        if (untilCheck > 1) --untilCheck;
    }
    // Stops the match: complexity past the step limit, stack below the floor,
    // or cancelled when the cancel flag is set; throws Abandoned (if
    // `mayAbandon`) when a stopped match goes on near the top of its stack.
    void checkLimits();
    // Every step taken so far, the ones since the last check included.
    std::uint64_t stepsTaken() const { return steps + (checkInterval - untilCheck); }
    // A fresh count, to this limit, for another run of the engine.
    void restart(std::uint64_t limit) {
        untilCheck = checkInterval;
        steps = 0;
        stepLimit = limit;
        stopped = false;
        cancelled = false;
        stoppedAt = 0;
    }

    std::uint32_t untilCheck = checkInterval;
    std::uint64_t steps = 0;     // counted up to the last check
    std::uint64_t stepLimit;
    std::uintptr_t stackFloor;   // the stack grows down towards this address
    std::uintptr_t top;          // where the stack stood when the meter was made
    std::uintptr_t lowest;       // the deepest stack position seen at a check
    const std::atomic<bool>* cancel;  // set by another thread: a newer evaluation wants the thread
    bool stopped = false;
    bool cancelled = false;  // stopped for the cancel flag, not for a limit
    PatternError stop = PatternError::complexity;  // why, when stopped for a limit
    std::uint64_t stoppedAt = 0;  // the steps when it stopped
    // Whether an exception may leave the engine's code that runs now: not in
    // regex_iterator's noexcept members, which regex_replace calls.
    bool mayAbandon = true;
};

// The meter of the match running on this thread. The engine makes unset
// positions (a sub-match, a repetition's counter) for every group and state
// at each look-ahead; they are counted here, since a pattern's size would
// otherwise make one counted step arbitrarily long.
inline thread_local WorkMeter* runningMeter = nullptr;

class MeteredIterator {
public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = wchar_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const wchar_t*;
    using reference = const wchar_t&;

    // For the engine's unset sub-matches only: never moved or read.
    TARNWICK_ALWAYS_INLINE MeteredIterator() {
        if (runningMeter != nullptr) runningMeter->quietStep();
    }
    MeteredIterator(const wchar_t* position, WorkMeter* meter) : position_(position), meter_(meter) {}
    // A copy is how the engine enters a group, a pass or a look-ahead.
    TARNWICK_ALWAYS_INLINE MeteredIterator(const MeteredIterator& other)
        : position_(other.position_), meter_(other.meter_) {
        count();
    }
    TARNWICK_ALWAYS_INLINE MeteredIterator& operator=(const MeteredIterator& other) {
        position_ = other.position_;
        meter_ = other.meter_;
        count();
        return *this;
    }
    ~MeteredIterator() = default;

    const wchar_t* base() const { return position_; }

    TARNWICK_ALWAYS_INLINE reference operator*() const {
        tick();
        return *position_;
    }
    TARNWICK_ALWAYS_INLINE MeteredIterator& operator++() {
        tick();
        ++position_;
        return *this;
    }
    MeteredIterator operator++(int) {
        MeteredIterator old = *this;
        ++*this;
        return old;
    }
    TARNWICK_ALWAYS_INLINE MeteredIterator& operator--() {
        tick();
        --position_;
        return *this;
    }
    MeteredIterator operator--(int) {
        MeteredIterator old = *this;
        --*this;
        return old;
    }
    // A comparison is the one step of a failing empty alternative.
    // The engine's unset sub-matches hold iterators without a meter.
    TARNWICK_ALWAYS_INLINE friend bool operator==(const MeteredIterator& a, const MeteredIterator& b) {
        WorkMeter* meter = a.meter_ != nullptr ? a.meter_ : b.meter_;
        if (meter == nullptr) return a.position_ == b.position_;
        meter->step();
        return a.position_ == b.position_ || meter->stopped;
    }

private:
    TARNWICK_ALWAYS_INLINE void tick() const { meter_->step(); }
    TARNWICK_ALWAYS_INLINE void count() const {
        if (meter_ != nullptr) meter_->step();
    }

    const wchar_t* position_ = nullptr;
    WorkMeter* meter_ = nullptr;
};

}  // namespace tarnwick
