#include "expression_literal.h"

#include "code_page.h"
#include "cpp_literal.h"

namespace tarnwick::app {

// Straight between UTF-8 and wide characters: a literal for a program keeps
// the characters that code page 932 lacks.
std::string expressionAsCppLiteral(const std::string& utf8) {
    return toCppLiteral(codepage::decodeUtf8(utf8.data(), utf8.size()));
}

PastedExpression expressionFromCppLiteral(const std::string& utf8) {
    const CppLiteralRead read = fromCppLiteral(codepage::decodeUtf8(utf8.data(), utf8.size()));
    if (!read.text) return {std::nullopt, read.reason};
    return {codepage::encodeUtf8(read.text->data(), read.text->size()), {}};
}

}  // namespace tarnwick::app
