#pragma once
// tarnwick-check --json: the evaluation as one JSON object.

#include <string>

#include "result_compose.h"

namespace tarnwick::tools {

// Spans count characters of the text as the user gave it. Group texts are
// UTF-8, or with `cp932` the hex digits of their bytes.
std::string jsonResult(const ComposedResult* composed, bool cp932);

}  // namespace tarnwick::tools
