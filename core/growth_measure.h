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
// spend in all (some 250 ms here, spent only on an expression whose cost
// explodes); it runs after every key, cancelled by the next.
inline constexpr std::uint64_t measuringBudget = 64'000'000;

// The first of two phases, cheap: the candidate's suffixes likeliest to make
// the match fail slowly, each pumped one more at a time; an exponential
// growth shows itself there. `budget` is what is left of the analysis'
// steps; the runs' steps are taken from it.
struct ExponentialProbe {
    std::optional<Measurement> exponential;
    std::vector<WideText> suffixes;             // where it showed no exponential growth
    std::vector<std::vector<StepsAtSize>> series;  // their steps, one more pump at a time
};
ExponentialProbe probeExponential(const CheckedPattern& pattern, MatchMode mode, const Candidate& candidate,
                                  std::uint64_t& budget, const std::atomic<bool>* cancel = nullptr);

// The second, on longer texts: the pumps doubled on; a polynomial growth
// with its degree, or nothing where each suffix's growth is linear.
std::optional<Measurement> measurePolynomial(const CheckedPattern& pattern, MatchMode mode, const Candidate& candidate,
                                             const ExponentialProbe& probe, std::uint64_t& budget,
                                             const std::atomic<bool>* cancel = nullptr);

// The steps of prefix + pump × n + suffix, estimated from the measured ones.
double estimatedSteps(const Measurement& m, std::size_t repeats);

}  // namespace tarnwick::growth
