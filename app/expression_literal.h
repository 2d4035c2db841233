#pragma once
// The Expression box and C++ source: its text as a wide string literal to
// copy, and a literal copied out of a program read back into it.

#include <optional>
#include <string>

namespace tarnwick::app {

// UTF-8 in, an ASCII literal out (see toCppLiteral).
std::string expressionAsCppLiteral(const std::string& utf8);

struct PastedExpression {
    std::optional<std::string> utf8;  // no value: refused, and `reason` says why
    std::string reason;
};

PastedExpression expressionFromCppLiteral(const std::string& utf8);

}  // namespace tarnwick::app
