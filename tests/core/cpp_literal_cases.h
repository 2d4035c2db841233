#pragma once
// Expressions whose C++ literals the tests write and read back: the V8
// differential generator's patterns, and random strings of code page 932
// characters, quotes, backslashes, question marks and control characters.

#include <cstdint>
#include <vector>

#include "text_types.h"

namespace tarnwick::testdata {

std::vector<WideText> cppLiteralCases(std::uint32_t seed, int patterns, int strings);

}  // namespace tarnwick::testdata
