#pragma once
// Stage "check": our own reading of the ECMAScript pattern grammar, run before
// the engine compiles anything. It decides validity and the error code, and
// writes a canonical pattern that the standard library's engine reads the way
// the pattern is meant: every escape spelled out, back references made to
// match the empty string when their group took no part, classes renamed to the
// Unicode-aware ones of EngineTraits.

#include <cstddef>
#include <vector>

#include "text_types.h"

namespace tarnwick {

struct CheckedPattern {
    WideText canonical;
    // Engine sub-match index of each group of the pattern, group 0 first; the
    // canonical pattern may hold helper groups in between.
    std::vector<std::size_t> groupIndex;
};

// Throws RegexError with the code of the first place where the pattern fails.
CheckedPattern checkPattern(const WideText& pattern);

}  // namespace tarnwick
