#pragma once
// An expression as a C++ wide string literal, and back: what a programmer
// copies between this checker and a std::wregex in their source.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text_types.h"

namespace tarnwick {

// A literal that compiles to exactly `expression` on every compiler, whatever
// the source file's encoding: printable ASCII only. A raw literal LR"(...)"
// where that is shorter; otherwise L"..." with escapes, every character beyond
// ASCII as a universal character name (\u6771).
std::string toCppLiteral(const WideText& expression);

struct CppLiteralRead {
    std::optional<WideText> text;  // no value: refused
    std::size_t position = 0;      // refused: the character of the input where it fails, from 0
    std::string reason;            // refused: "not a string literal: unterminated \" at character 12"
};

// One literal or several adjacent ones (L"a" L"b"), with or without an
// encoding prefix (L, u8, u, U), raw literals with any delimiter, and every
// escape of the language; each escape gives one code unit of a wide literal.
CppLiteralRead fromCppLiteral(const WideText& source);

}  // namespace tarnwick
