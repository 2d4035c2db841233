#include "pattern_check.h"

#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <string>
#include <vector>

#include "pattern_error.h"

namespace tarnwick {
namespace {

std::optional<int> errorOf(const WideText& pattern) {
    try {
        checkPattern(pattern);
        return std::nullopt;
    } catch (const RegexError& e) {
        return static_cast<int>(e.code());
    }
}

struct ErrorCase {
    const wchar_t* pattern;
    int code;  // -1: valid
};
// ctest and failures name the case, not its bytes.
void PrintTo(const ErrorCase& c, std::ostream* os) { for (const wchar_t* p = c.pattern; *p != 0; ++p) *os << (*p < 0x80 ? static_cast<char>(*p) : '?'); }

class CheckerErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(CheckerErrors, GivesTheCodeOfTheFirstFault) {
    const auto got = errorOf(GetParam().pattern);
    if (GetParam().code < 0) {
        EXPECT_FALSE(got.has_value()) << "code " << got.value_or(-1);
    } else {
        EXPECT_EQ(got, GetParam().code);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckerErrors,
    testing::Values(
        // valid
        ErrorCase{L"", -1}, ErrorCase{L"a|", -1}, ErrorCase{L"|", -1}, ErrorCase{L"()", -1}, ErrorCase{L"(?:)", -1},
        ErrorCase{L"a*?", -1}, ErrorCase{L"a{2}?", -1}, ErrorCase{L"a{0,}", -1}, ErrorCase{L"a{2147483647}", -1},
        ErrorCase{L"\\q\\a\\-", -1}, ErrorCase{L"\\x414", -1}, ErrorCase{L"\\u00e9", -1}, ErrorCase{L"\\0", -1},
        ErrorCase{L"(a)\\1", -1}, ErrorCase{L"(a)\\01", -1}, ErrorCase{L"[]", -1}, ErrorCase{L"[^]", -1},
        ErrorCase{L"[\\d-z]", -1}, ErrorCase{L"[a-]", -1}, ErrorCase{L"[-a]", -1}, ErrorCase{L"[a-c-e]", -1},
        ErrorCase{L"[[]", -1}, ErrorCase{L"[[:ALPHA:]]", -1}, ErrorCase{L"[[:w:][:d:]]", -1}, ErrorCase{L"[[.a.]-z]", -1},
        ErrorCase{L"[[=a=]]", -1}, ErrorCase{L"[\\b\\0]", -1}, ErrorCase{L"\\cJ", -1}, ErrorCase{L"(?=a)a", -1},
        ErrorCase{L"(?!a)b", -1}, ErrorCase{L"\\bx\\B", -1},
        // 0 collate
        ErrorCase{L"[[..]]", 0}, ErrorCase{L"[[.a", 0}, ErrorCase{L"[[==]]", 0}, ErrorCase{L"[[.ab.]]", 0},
        // 1 ctype
        ErrorCase{L"[[:foo:]]", 1}, ErrorCase{L"[[:alpha", 1}, ErrorCase{L"[[:~word:]]", 1}, ErrorCase{L"[[::]]", 1},
        // 2 escape
        ErrorCase{L"\\", 2}, ErrorCase{L"a\\", 2}, ErrorCase{L"\\c1", 2}, ErrorCase{L"\\c", 2}, ErrorCase{L"\\x4", 2},
        ErrorCase{L"\\xg0", 2}, ErrorCase{L"\\u12", 2}, ErrorCase{L"[\\1]", 2}, ErrorCase{L"[\\", 2},
        // 3 backref
        ErrorCase{L"\\1(a)", 3}, ErrorCase{L"(a\\1)", 3}, ErrorCase{L"(a)\\2", 3}, ErrorCase{L"(a)\\10", 3},
        // 4 brack
        ErrorCase{L"]", 4}, ErrorCase{L"a]", 4}, ErrorCase{L"[a", 4}, ErrorCase{L"[", 4}, ErrorCase{L"[^", 4},
        // 5 paren
        ErrorCase{L"(", 5}, ErrorCase{L")", 5}, ErrorCase{L"a)", 5}, ErrorCase{L"(a", 5}, ErrorCase{L"(?:a", 5},
        // 6 brace
        ErrorCase{L"}", 6}, ErrorCase{L"a}", 6},
        // 7 badbrace
        ErrorCase{L"a{", 7}, ErrorCase{L"a{x}", 7}, ErrorCase{L"a{,3}", 7}, ErrorCase{L"a{2", 7},
        ErrorCase{L"a{2,", 7}, ErrorCase{L"a{2,x}", 7}, ErrorCase{L"a{3,2}", 7}, ErrorCase{L"a{2147483648}", 7},
        ErrorCase{L"a{1,99999999999999999999}", 7},
        // 8 range
        ErrorCase{L"[z-a]", 8}, ErrorCase{L"[a-\\d]", 8}, ErrorCase{L"[a-[:alpha:]]", 8}, ErrorCase{L"[a-[=b=]]", 8},
        // 10 badrepeat
        ErrorCase{L"*a", 10}, ErrorCase{L"^*", 10}, ErrorCase{L"a|*", 10}, ErrorCase{L"(*a)", 10},
        ErrorCase{L"(?:+a)", 10}, ErrorCase{L"$?", 10}, ErrorCase{L"\\b+", 10}, ErrorCase{L"\\B{2}", 10},
        ErrorCase{L"(?=a)*", 10}, ErrorCase{L"a**", 10}, ErrorCase{L"a*??", 10}, ErrorCase{L"a{2}{3}", 10},
        ErrorCase{L"{", 10}, ErrorCase{L"{1}", 10},
        // 14 syntax
        ErrorCase{L"(?i)a", 14}, ErrorCase{L"(?<a)", 14}, ErrorCase{L"(?", 14}, ErrorCase{L"[[=a", 14},
        // the first fault from the left decides
        ErrorCase{L"a{3,2}(", 7}, ErrorCase{L"(*", 10}, ErrorCase{L"[z-a", 8}));

TEST(CheckerLimits, ThirtyOneGroupsAreTheMost) {
    WideText groups;
    for (int i = 0; i < 31; ++i) groups += L"(a)";
    EXPECT_FALSE(errorOf(groups).has_value());
    EXPECT_EQ(errorOf(groups + L"(a)"), 11);
    EXPECT_FALSE(errorOf(groups + L"(?:a)").has_value()) << "only capture groups count";
}

TEST(CheckerLimits, DeepNestingIsRefusedNotOverflowed) {
    const int levels = 200000;
    EXPECT_EQ(errorOf(WideText(levels, L'(') + WideText(levels, L')')), 11);  // the 32nd group is first
    WideText nested;
    for (int i = 0; i < levels; ++i) nested += L"(?:";
    EXPECT_EQ(errorOf(nested), 12);
    // The deepest valid nesting, each level a group, an alternation and a
    // repetition, goes through every stage within a main thread's stack (also
    // Windows' 2 MiB, where this runs under Wine).
    WideText deepest;
    for (int i = 0; i < 1000; ++i) deepest += L"(?:a|";
    deepest += L"b?";
    for (int i = 0; i < 1000; ++i) deepest += L")*";
    EXPECT_FALSE(errorOf(deepest).has_value());
}

std::vector<std::size_t> firstSlots(const CheckedPattern& checked) {
    std::vector<std::size_t> slots;
    for (const GroupSlots& group : checked.groups) slots.push_back(group.engine.front());
    return slots;
}

TEST(CheckerOutput, BackReferencesPointAtTheirGroupsPastTheMarkers) {
    const CheckedPattern checked = checkPattern(L"(a)(b)\\2");
    // Group 2 is referenced, so it carries a marker after its whole body; group indexes stay in order.
    EXPECT_EQ(firstSlots(checked), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(checked.canonical, L"(a)((?:b)())(?:\\3\\2|(?!\\3))");

    EXPECT_EQ(firstSlots(checkPattern(L"(a)\\1(b)")), (std::vector<std::size_t>{0, 1, 3}));
    // An outer group closing after an inner one keeps the inner one closed.
    EXPECT_EQ(firstSlots(checkPattern(L"((a))\\2")), (std::vector<std::size_t>{0, 1, 2}));
}

TEST(CheckerOutput, RepeatedBodiesThatCanMatchEmptyRepeatOnlyTheirNonEmptyMatches) {
    struct Case {
        const wchar_t* pattern;
        const wchar_t* canonical;
    };
    for (const Case& c : {
             Case{L"(b|)*a", L"(b|(?!))*a"},
             Case{L"(?:a*)*", L"(?:(?:a)+)*"},
             Case{L"(a?)+", L"(a?)(a)*"},
             Case{L"(^|a)*?", L"((?!)^|a)*?"},
             Case{L"(a|b)*", L"(a|b)*"},       // never empty: as written
             Case{L"(a?){3}", L"(a?){3}"},     // no pass beyond the minimum
             Case{L"(a*b*)*", L"((?:a)+b*|(?:b)+)*"},  // two parts of either width: the first non-empty, or the second
             Case{L"(a*?b*)*", L"(a*?b*)*"},  // the first prefers its empty match: as the engine reads it
             Case{L"(?:^a?)*", L"(?:^a)*"},   // one part of either width among empty ones: that part restricted
             Case{L"(?:\\b|a?){2,}", L"(?:\\b|a?){2}(?:(?!)\\b|a)*"},
             Case{L"(a)(?:\\1|b)*", L"((?:a)())(?:(?:\\2\\1|(?!\\2))|b)*"},  // a back reference cannot be restricted
         }) {
        EXPECT_EQ(checkPattern(c.pattern).canonical, c.canonical) << c.pattern;
    }
    // The copy of group 1 after the minimum is a second slot of the same group.
    EXPECT_EQ(checkPattern(L"(a?)+(b)").groups[1].engine, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(checkPattern(L"(a?)+(b)").groups[2].engine, (std::vector<std::size_t>{3}));
}

TEST(CheckerOutput, GroupsInLookaheadsCarryTheLookaheadsMarker) {
    const CheckedPattern checked = checkPattern(L"(?=(a))(?!(b))");
    EXPECT_EQ(checked.canonical, L"(?=(a))()(?=(?!(b)))");  // the negative one kept from leaking its groups
    EXPECT_EQ(checked.groups[1].markers, (std::vector<std::size_t>{2}));
    EXPECT_FALSE(checked.groups[1].inNegativeLookahead);
    EXPECT_TRUE(checked.groups[2].inNegativeLookahead);
}

}  // namespace
}  // namespace tarnwick

namespace tarnwick {
namespace {

// Where each error is found, and what the pattern tried where other engines have it.
TEST(CheckerErrors, SayWhereThePatternFailsAndWhy) {
    struct Case {
        WideText pattern;
        int code;
        std::size_t position;
        const char* reasonStart;  // "": the code's own description
    };
    WideText groups;
    for (int i = 0; i < 32; ++i) groups += L"(a)";
    WideText nested;
    for (int i = 0; i < 1001; ++i) nested += L"(?:";
    nested += L"a" + WideText(1001, L')');
    for (const Case& c : std::vector<Case>{
             {L"[[..]]", 0, 1, ""},
             {L"[[:foo:]]", 1, 1, ""},
             {L"\\c1", 2, 2, ""},
             {L"(a)\\2", 3, 3, ""},
             {L"[a", 4, 2, ""},
             {L"(a", 5, 2, ""},
             {L"a}", 6, 1, ""},
             {L"a{2,1}", 7, 5, ""},
             {L"[b-a]", 8, 1, ""},
             {L"*a", 10, 0, ""},
             {groups, 11, 93, ""},
             {nested, 12, 3000, ""},  // the group one level too deep
             {L"(?x)a", 14, 0, "inline flags"},
             {L"(?<n>a)", 14, 0, "named groups"},
             {L"(?<=a)b", 14, 0, "look-behind"},
             {L"a(?<!a)", 14, 1, "look-behind"},
             {L"x\\p{Han}", 7, 1, "Unicode properties"},
             {L"a*+", 10, 2, "possessive"},
         }) {
        try {
            checkPattern(c.pattern);
            ADD_FAILURE() << "valid: " << c.code;
        } catch (const RegexError& e) {
            EXPECT_EQ(static_cast<int>(e.code()), c.code) << c.code;
            EXPECT_EQ(e.position(), c.position) << c.code;
            EXPECT_EQ(e.reason().rfind(c.reasonStart, 0), 0u) << c.code << ": " << e.reason();
        }
    }
}

}  // namespace
}  // namespace tarnwick
