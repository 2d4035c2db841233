#pragma once
// The third step of the growth analysis: a candidate's text run through the
// engine itself at growing sizes, its meter's steps telling how the work
// grows. Only what these steps show becomes a verdict.

#include <atomic>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "growth_analysis.h"
#include "growth_candidates.h"
#include "guarded_match.h"

namespace tarnwick::growth {

// What one candidate showed: its growth where super-linear, the attack that
// showed it and the steps at each size.
struct Measurement {
    Growth growth = Growth::linear;
    unsigned degree = 1;
    double perPump = 1;  // exponential: the factor each more pump multiplies the steps by
    AttackText attack;
    std::vector<StepsAtSize> steps;
};

// Steps the measuring of each of whole-text matching and searching may
// spend in all (some 50 ms here); it runs on every key.
inline constexpr std::uint64_t measuringBudget = 12'000'000;

// Measures the candidate with each of its suffixes and gives the worst growth
// seen, or nothing where each grows linearly. `budget` is what is left of the
// analysis' steps; the runs' steps are taken from it.
std::optional<Measurement> measureCandidate(const CheckedPattern& pattern, MatchMode mode, const Candidate& candidate,
                                            std::uint64_t& budget, const std::atomic<bool>* cancel = nullptr);

// The steps of prefix + pump × n + suffix, estimated from the measured ones.
double estimatedSteps(const Measurement& m, std::size_t repeats);

}  // namespace tarnwick::growth
