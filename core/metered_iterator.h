#pragma once
// The iterator through which the engine reads the text. Every move and read is
// counted against a work limit, and the stack is checked against a limit, so
// that a runaway match ends in an error report instead of a hang or a crash.

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

// Counts the engine's moves and reads. The count runs down to the next check
// in one inlined decrement; the limits are checked out of line every
// `checkInterval` steps, few enough frames apart for the stack's headroom.
//
// A match past a limit is stopped without an exception: the engine's
// recursion may be millions of frames deep, and unwinding them takes seconds.
// Instead every position then compares equal to the end of the text, so each
// frame fails or accepts at once and returns; the caller checks `stopped`.
struct WorkMeter {
    static constexpr std::uint32_t checkInterval = 256;

    WorkMeter(std::uint64_t limit, std::uintptr_t floor, const std::atomic<bool>* cancelFlag = nullptr)
        : stepLimit(limit), stackFloor(floor), lowest(stackPosition()), cancel(cancelFlag) {}

    TARNWICK_ALWAYS_INLINE void step() {
        if (--untilCheck == 0) [[unlikely]] checkLimits();
    }
    // Stops the match: complexity past the step limit, stack below the floor,
    // or cancelled when the cancel flag is set.
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
    }

    std::uint32_t untilCheck = checkInterval;
    std::uint64_t steps = 0;     // counted up to the last check
    std::uint64_t stepLimit;
    std::uintptr_t stackFloor;   // the stack grows down towards this address
    std::uintptr_t lowest;       // the deepest stack position seen at a check
    const std::atomic<bool>* cancel;  // set by another thread: a newer evaluation wants the thread
    bool stopped = false;
    bool cancelled = false;  // stopped for the cancel flag, not for a limit
    PatternError stop = PatternError::complexity;  // why, when stopped for a limit
};

class MeteredIterator {
public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = wchar_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const wchar_t*;
    using reference = const wchar_t&;

    MeteredIterator() = default;  // for the engine's unset sub-matches only: never moved or read
    MeteredIterator(const wchar_t* position, WorkMeter* meter) : position_(position), meter_(meter) {}

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
    // Comparing is neither a move nor a read: the engine compares after each of them.
    // The engine's unset sub-matches hold iterators without a meter.
    friend bool operator==(const MeteredIterator& a, const MeteredIterator& b) {
        const WorkMeter* meter = a.meter_ != nullptr ? a.meter_ : b.meter_;
        return a.position_ == b.position_ || (meter != nullptr && meter->stopped);
    }

private:
    TARNWICK_ALWAYS_INLINE void tick() const { meter_->step(); }

    const wchar_t* position_ = nullptr;
    WorkMeter* meter_ = nullptr;
};

}  // namespace tarnwick
