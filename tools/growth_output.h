#pragma once
// tarnwick-check --analyse: the growth analysis as lines of text or one JSON object.

#include <string>

#include "growth_analysis.h"

namespace tarnwick::tools {

// Two paragraphs, whole-text matching then searching; `pattern` for quoting
// the repetitions responsible.
std::string growthText(const GrowthAnalysis& analysis, const WideText& pattern);

// {"whole": {...}, "search": {...}}; texts UTF-8, or with `cp932` the hex
// digits of their code page 932 bytes.
std::string growthJson(const GrowthAnalysis& analysis, bool cp932);

}  // namespace tarnwick::tools
