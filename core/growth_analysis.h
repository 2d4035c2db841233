#pragma once
// How the engine's work on a pattern grows with the text, for a whole-text
// match (as the boxes match) and for a search (as regex_search and the
// no-match hint do): linear, polynomial or exponential, with a text that
// shows it. The road: the pattern's tree as an automaton
// (growth_automaton.h), candidate texts from its ambiguity
// (growth_candidates.h), each measured by the engine's own steps
// (growth_measure.h). A verdict is only given where the steps confirm it.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "text_types.h"

namespace tarnwick {

enum class Growth { linear, polynomial, exponential };

// prefix + pump × n + suffix.
struct AttackText {
    WideText prefix;
    WideText pump;
    WideText suffix;
    WideText repeated(std::size_t n) const;
};

struct StepsAtSize {
    std::size_t repeats;
    std::uint64_t steps;
};

struct GrowthVerdict {
    Growth growth = Growth::linear;
    unsigned degree = 1;  // polynomial: 2 for quadratic, 3 for cubic, ...
    // Where super-linear only:
    AttackText attack;
    std::size_t atStart = 0;  // the repetitions responsible, in characters of the pattern: [atStart, atEnd)
    std::size_t atEnd = 0;
    std::vector<StepsAtSize> steps;  // measured
    // The repeats of the pump whose steps pass the work limit of a text that
    // long (or as many as a mebibyte of text holds), and those steps, estimated.
    std::size_t attackRepeats = 0;
    double attackSteps = 0;

    bool superLinear() const { return growth != Growth::linear; }
};

struct GrowthAnalysis {
    GrowthVerdict whole;
    GrowthVerdict search;
};

// Throws RegexError for an invalid pattern, MatchCancelled when `cancel` is set meanwhile.
GrowthAnalysis analyseGrowth(const WideText& pattern, const std::atomic<bool>* cancel = nullptr);

// "linear", "quadratic", "cubic", "polynomial of degree 4", "exponential".
std::string growthName(const GrowthVerdict& verdict);

}  // namespace tarnwick
