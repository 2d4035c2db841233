#pragma once
// The iterator through which the engine reads the text. Every step it takes is
// counted against a work limit and checked against a stack limit, so that a
// runaway match ends in an error report instead of a hang or a crash.

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "pattern_error.h"

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace tarnwick {

inline std::uintptr_t stackPosition() {
#if defined(_MSC_VER)
    return reinterpret_cast<std::uintptr_t>(_AddressOfReturnAddress());
#else
    return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
#endif
}

struct WorkMeter {
    std::uint64_t steps = 0;
    std::uint64_t stepLimit;
    std::uintptr_t stackFloor;  // the stack grows down towards this address

    void step() {
        if (++steps > stepLimit) throw RegexError(PatternError::complexity);
        if (stackPosition() < stackFloor) throw RegexError(PatternError::stack);
    }
};

class MeteredIterator {
public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = wchar_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const wchar_t*;
    using reference = const wchar_t&;

    MeteredIterator() = default;
    MeteredIterator(const wchar_t* position, WorkMeter* meter) : position_(position), meter_(meter) {}

    const wchar_t* base() const { return position_; }

    reference operator*() const {
        tick();
        return *position_;
    }
    MeteredIterator& operator++() {
        tick();
        ++position_;
        return *this;
    }
    MeteredIterator operator++(int) {
        MeteredIterator old = *this;
        ++*this;
        return old;
    }
    MeteredIterator& operator--() {
        tick();
        --position_;
        return *this;
    }
    MeteredIterator operator--(int) {
        MeteredIterator old = *this;
        --*this;
        return old;
    }
    friend bool operator==(const MeteredIterator& a, const MeteredIterator& b) {
        (a.meter_ != nullptr ? a : b).tick();
        return a.position_ == b.position_;
    }

private:
    void tick() const {
        if (meter_ != nullptr) meter_->step();
    }

    const wchar_t* position_ = nullptr;
    WorkMeter* meter_ = nullptr;
};

}  // namespace tarnwick
