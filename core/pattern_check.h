#pragma once
// Stage "check": our own reading of the ECMAScript pattern grammar, run before
// the engine compiles anything. It decides validity and the error code, and
// writes a canonical pattern that the standard library's engine reads the way
// the pattern is meant: every escape spelled out, back references made to
// match the empty string when their group took no part, classes renamed to the
// Unicode-aware ones of EngineTraits, and repetitions of a body that can match
// the empty string rewritten so that no pass after the minimum is empty.
// It runs as three stages of its own: parse, rewrite, print (pattern_stages.h).

#include <atomic>
#include <cstddef>
#include <vector>

#include "text_types.h"

namespace tarnwick {

// Where the engine keeps one group of the pattern.
struct GroupSlots {
    // Sub-matches that hold the group: the first, then copies made by the
    // rewriting of repetitions; the last one that took part holds its value.
    std::vector<std::size_t> engine;
    // Markers after the look-aheads around the group: the group took part only
    // if each of them did (the engine keeps look-ahead captures on backtracking).
    std::vector<std::size_t> markers;
    bool inNegativeLookahead = false;  // such a group never takes part in a match
};

struct CheckedPattern {
    WideText canonical;
    // Group 0 first; the canonical pattern may hold helper groups in between.
    std::vector<GroupSlots> groups;
};

// The engine's pattern is at most this many times as long as the pattern (and
// checkedLengthAllowance more): rewriting a repetition writes its body again,
// which nesting could double at every level.
inline constexpr std::size_t checkedLengthFactor = 8;
inline constexpr std::size_t checkedLengthAllowance = 256;

// Throws RegexError with the code of the first place where the pattern fails,
// or space (9) where its engine form would be too long; MatchCancelled when
// `cancel` is set meanwhile.
CheckedPattern checkPattern(const WideText& pattern, const std::atomic<bool>* cancel = nullptr);

}  // namespace tarnwick
