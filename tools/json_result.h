#pragma once
// tarnwick-check --json: the evaluation as one JSON object.

#include <string>

#include "result_compose.h"

namespace tarnwick::tools {

// `input` is the text as the user gave it (before its line breaks were made
// CR LF, unless `lineBreaksKept`); spans count its characters. Group texts are
// UTF-8, or with `cp932` the hex digits of their bytes.
std::string jsonResult(const ComposedResult* composed, const std::string& input, bool cp932, bool lineBreaksKept);

}  // namespace tarnwick::tools
