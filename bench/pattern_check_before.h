#pragma once
// The one-pass checker the stages replaced, for side-by-side timing and comparison.

#include "pattern_check.h"

namespace tarnwick::bench {

CheckedPattern checkPatternBefore(const WideText& pattern);

}  // namespace tarnwick::bench
