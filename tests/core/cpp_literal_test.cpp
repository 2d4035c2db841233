#include "cpp_literal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpp_literal_cases.h"

namespace tarnwick {
namespace {

WideText wide(const std::string& ascii) { return WideText(ascii.begin(), ascii.end()); }

TEST(CppLiteral, WritesTheShorterOfEscapedAndRaw) {
    struct Case {
        WideText expression;
        std::string literal;
    };
    for (const Case& c : std::vector<Case>{
             {L"\x6771\x4EAC(.*)", R"#(L"\u6771\u4EAC(.*)")#"},  // the same whatever the source's encoding
             {L"\\d", R"(L"\\d")"},
             {L"\\d\\d\\d\\d", R"#(LR"(\d\d\d\d)")#"},
             {L"\\\\\\\\\\\\)\"", R"#(LR"x(\\\\\\)")x")#"},  // the delimiter never occurs in it
             {L"a\"b", R"(L"a\"b")"},
             {L"?\?=", R"(L"?\?=")"},  // not a trigraph to an older compiler
             {L"a\x01" L"2\t\n\r", R"(L"a\0012\t\n\r")"},
             {L"", R"(L"")"},
         }) {
        EXPECT_EQ(toCppLiteral(c.expression), c.literal);
    }
}

TEST(CppLiteral, ReadsWhatProgrammersWrite) {
    struct Case {
        std::string source;
        WideText text;
    };
    for (const Case& c : std::vector<Case>{
             {R"(L"a" L"b")", L"ab"},
             {"u8\"x\"\n  \"y\" U\"z\" u\"w\"", L"xyzw"},
             {R"==(R"--(a)"b)--")==", L"a)\"b"},
             {R"#(LR"(\d)")#", L"\\d"},
             {R"("\101\x42\u0043\U00000044\0101")", L"ABCD\b1"},  // octal takes three digits at most
             {R"("\'\"\?\\\a\b\f\n\r\t\v")", L"'\"?\\\a\b\f\n\r\t\v"},
             {"  L\"\\\\d+\"  ", L"\\d+"},
         }) {
        const CppLiteralRead read = fromCppLiteral(wide(c.source));
        ASSERT_TRUE(read.text) << c.source << ": " << read.reason;
        EXPECT_EQ(*read.text, c.text) << c.source;
    }
    const CppLiteralRead japanese = fromCppLiteral(L"L\"\x6771\x4EAC\"");
    ASSERT_TRUE(japanese.text);
    EXPECT_EQ(*japanese.text, L"\x6771\x4EAC");
}

TEST(CppLiteral, RefusesWithReasonAndPosition) {
    struct Case {
        std::string source;
        std::size_t position;
        std::string reason;
    };
    for (const Case& c : std::vector<Case>{
             {"", 0, "no string literal at character 1"},
             {"L\"abc", 1, "unterminated \" at character 2"},
             {"\"a\nb\"", 0, "unterminated \" at character 1"},
             {"L\"a\" x", 5, "expected \" at character 6"},
             {"L\"a\";", 4, "expected \" at character 5"},
             {"std::wregex(L\"a\")", 0, "expected \" at character 1"},
             {R"("ab\q")", 3, "unknown escape \\q at character 4"},
             {R"("\u12")", 1, "\\u needs 4 hex digits at character 2"},
             {R"("\U00110000")", 1, "\\U names no character at character 2"},
             {R"("\uD800")", 1, "\\u names no character at character 2"},
             {R"("\x")", 1, "\\x needs a hex digit at character 2"},
             {R"("\xFFFFFFFFF")", 1, "\\x value too large at character 2"},
             {R"("a\0")", 2, "a zero character cannot be part of an expression at character 3"},
             {R"(R"ab(x)a")", 0, "unterminated raw literal at character 1"},
             {R"(R"a b(x)a b")", 3, "bad raw literal delimiter at character 4"},
         }) {
        const CppLiteralRead read = fromCppLiteral(wide(c.source));
        EXPECT_FALSE(read.text) << c.source;
        EXPECT_EQ(read.position, c.position) << c.source;
        EXPECT_EQ(read.reason, "not a string literal: " + c.reason) << c.source;
    }
}

TEST(CppLiteral, ReadsBackEveryLiteralItWrites) {
    for (const WideText& expression : testdata::cppLiteralCases(3, 3000, 5000)) {
        const std::string literal = toCppLiteral(expression);
        const CppLiteralRead read = fromCppLiteral(wide(literal));
        ASSERT_TRUE(read.text) << literal << ": " << read.reason;
        EXPECT_EQ(*read.text, expression) << literal;
    }
}

}  // namespace
}  // namespace tarnwick
