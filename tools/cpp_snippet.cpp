#include "cpp_snippet.h"

#include "cpp_literal.h"
#include "text_conversion.h"

namespace tarnwick::tools {
namespace {

// A group's text in a comment: as a literal, so the snippet stays ASCII, and cut when long.
std::string groupInComment(const NarrowText& group) {
    constexpr std::size_t longest = 60;
    WideText text = toWideString(group);
    const bool cut = text.size() > longest;
    if (cut) text.resize(longest);
    return toCppLiteral(text) + (cut ? " ..." : "");
}

std::string resultComment(const ComposedResult* composed) {
    if (!composed) return "    // Here: both empty, no Result.\n";
    const MatchOutcome& outcome = composed->outcome;
    const std::string code = std::to_string(static_cast<int>(outcome.error));
    switch (outcome.status) {
        case MatchStatus::matched: {
            std::string comment = "    // Here it matches:\n";
            for (std::size_t i = 0; i < outcome.groups.size(); ++i) {
                comment += "    //   group[" + std::to_string(i) + "] " + groupInComment(outcome.groups[i]) + "\n";
            }
            return comment;
        }
        case MatchStatus::noMatch: return "    // Here: no match, an empty Result.\n";
        case MatchStatus::invalid:
            return "    // Here: invalid expression (" + code + "); the std::wregex constructor throws std::regex_error.\n";
        case MatchStatus::stopped:
            return "    // Here: stopped (" + code + ") at the checker's limit; a plain engine may take very long\n"
                   "    // or overflow its stack.\n";
    }
    return {};
}

}  // namespace

std::string cppSnippet(const WideText& expression, const WideText& joinedText, const ComposedResult* composed) {
    const bool anchors = expression.find_first_of(L"^$") != WideText::npos;
    std::string flags = "std::regex_constants::ECMAScript";
    std::string snippet =
        "// The expression and text of tarnwick-check, as std::wregex reads them.\n"
        "#include <clocale>\n#include <cstdio>\n#include <regex>\n#include <string>\n\n"
        "int main() {\n";
    if (anchors) {
        flags += " | std::regex_constants::multiline";
        snippet +=
            "    // ^ and $ match at line feeds here as well; libstdc++ and libc++ need\n"
            "    // std::regex_constants::multiline (C++17) for that, and some libraries read them so without it.\n";
    }
    snippet += "    const std::wregex pattern(" + toCppLiteral(expression) + ",\n                              " + flags + ");\n";
    snippet += "    const std::wstring text = " + toCppLiteral(joinedText) + ";  // its lines joined\n";
    snippet += "    std::wsmatch match;\n";
    snippet += resultComment(composed);
    snippet +=
        "    if (!std::regex_match(text, match, pattern)) return 1;\n"
        "    std::setlocale(LC_ALL, \"\");\n"
        "    for (std::size_t i = 0; i < match.size(); ++i) std::printf(\"group[%zu] [%ls]\\n\", i, match.str(i).c_str());\n"
        "}\n";
    return snippet;
}

}  // namespace tarnwick::tools
