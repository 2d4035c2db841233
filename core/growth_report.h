#pragma once
// The growth analysis in words, for the status lines and tarnwick-check.

#include <string>

#include "growth_analysis.h"

namespace tarnwick {

// The attack as a user reads it, UTF-8: "«x» then 21 × «a» then «!»".
std::string describeAttack(const GrowthVerdict& verdict);

// The warning a status line adds: the whole-text growth where it is
// super-linear, else the search's ("⚠ quadratic when searched: …"); empty
// when both are linear. "⚠ exponential: 21 × «a» then «!» takes about 94 M steps".
std::string growthWarning(const GrowthAnalysis& analysis);

// Which verdict the warning speaks of, if any.
const GrowthVerdict* warnedVerdict(const GrowthAnalysis& analysis);

}  // namespace tarnwick
