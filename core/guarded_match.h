#pragma once
// Stage "match": the standard library's engine run on a checked pattern, on a
// stack large enough for its recursion and within a bounded amount of work.
// A runaway match throws RegexError: complexity (11) when it exceeds its work
// limit, stack (12) when its recursion would exceed the stack; a pattern too
// large for the engine throws space (9).

#include <cstdint>
#include <optional>
#include <vector>

#include "pattern_check.h"
#include "text_types.h"

namespace tarnwick {

// The engine's reads and moves of the text that one call may make (about 150 ms here).
inline constexpr std::uint64_t matchStepLimit = 16'000'000;

// The group texts of a match of the whole input, group 0 first; no value when it does not match.
std::optional<std::vector<WideText>> matchWhole(const CheckedPattern& pattern, const WideText& input,
                                                std::uint64_t stepLimit = matchStepLimit);

// The input with every match, searched from left to right, replaced in the ECMAScript format syntax.
WideText replaceAll(const CheckedPattern& pattern, const WideText& input, const WideText& replacement,
                    std::uint64_t stepLimit = matchStepLimit);

}  // namespace tarnwick
