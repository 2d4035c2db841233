#pragma once
// tarnwick-check --cpp: the expression and text as a C++ program that compiles
// as it stands, for carrying them into a program's source.

#include <string>

#include "result_compose.h"
#include "text_types.h"

namespace tarnwick::tools {

// `composed` is what this checker made of them (no value: both were empty).
std::string cppSnippet(const WideText& expression, const WideText& joinedText, const ComposedResult* composed);

}  // namespace tarnwick::tools
