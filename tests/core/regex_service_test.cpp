#include "regex_service.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text_conversion.h"

namespace tarnwick {
namespace {

// Patterns and texts are written in UTF-8 here and handed to the core in code page 932.
GroupList groupsOf(const std::string& pattern, const std::string& text) {
    GroupList groups = regexGroups(utf8ToCodePage932(pattern), utf8ToCodePage932(text));
    for (auto& g : groups) g = codePage932ToUtf8(g);
    return groups;
}

struct MatchCase {
    const char* pattern;
    const char* text;
    std::optional<GroupList> groups;  // no value: no match
};

class WholeMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(WholeMatch, GivesTheGroupsOfTheFirstWayFound) {
    testing::internal::CaptureStdout();
    const GroupList got = groupsOf(GetParam().pattern, GetParam().text);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "a valid pattern reports nothing";
    EXPECT_EQ(got, GetParam().groups.value_or(GroupList{}));
}

const std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Semantics, WholeMatch,
    testing::Values(
        MatchCase{"", "", GroupList{""}}, MatchCase{"", "abc", none}, MatchCase{"b+", "abbbc", none},
        MatchCase{"a(b+)c", "abbbc", GroupList{"abbbc", "bbb"}}, MatchCase{"a(b)?c", "ac", GroupList{"ac", ""}},
        MatchCase{"(x)|(y)", "y", GroupList{"y", "", "y"}}, MatchCase{"(a*)(a*)", "aa", GroupList{"aa", "aa", ""}},
        MatchCase{"z", "abc", none}, MatchCase{"(a*?)(a*)", "aa", GroupList{"aa", "", "aa"}},
        // greedy repetition backtracks fully; a group in a repeated group keeps its last value
        MatchCase{"(a|ab)*c", "abc", GroupList{"abc", "ab"}}, MatchCase{"(?:(a)|b)+", "ab", GroupList{"ab", "a"}},
        // escapes the library's own reading gets wrong
        MatchCase{"\\cJ", "\n", GroupList{"\n"}}, MatchCase{"(a)\\01", "aa", GroupList{"aa", "a"}},
        MatchCase{"[\\d-z]+", "1-z", GroupList{"1-z"}}, MatchCase{"[\\d-z]", "y", none},
        MatchCase{"\\x414", "A4", GroupList{"A4"}}, MatchCase{"\\u3042", "あ", GroupList{"あ"}},
        MatchCase{"\\q\\a", "qa", GroupList{"qa"}}, MatchCase{"[\\b]", "\b", GroupList{"\b"}},
        MatchCase{"a\\0b", "a", none}, MatchCase{"[]", "a", none}, MatchCase{"[^]", "\n", GroupList{"\n"}},
        MatchCase{"[a-]+", "a-", GroupList{"a-"}}, MatchCase{"[^a-c]", "d", GroupList{"d"}},
        MatchCase{"[[.-.]a]+", "-a", GroupList{"-a"}}, MatchCase{"[[=x=]]", "x", GroupList{"x"}},
        MatchCase{"a{2,3}", "aaaa", none}, MatchCase{"(?:ab){2}", "abab", GroupList{"abab"}},
        MatchCase{"(?=(a))a", "a", GroupList{"a", "a"}}, MatchCase{"(?!b)\\w", "a", GroupList{"a"}},
        // a back reference to a group that took no part matches the empty string
        MatchCase{"(a)?b\\1", "b", GroupList{"b", ""}}, MatchCase{"(a)?b\\1", "aba", GroupList{"aba", "a"}},
        MatchCase{"(a)?b\\1", "abb", none}, MatchCase{"(?:(a)|b)\\1c", "bc", GroupList{"bc", ""}},
        MatchCase{"(a)\\1*", "aaa", GroupList{"aaa", "a"}},
        // back references to nested groups and to groups with alternatives
        MatchCase{"((a))\\2", "aa", GroupList{"aa", "a", "a"}}, MatchCase{"((a)b)\\1\\2", "ababa", GroupList{"ababa", "ab", "a"}},
        MatchCase{"(a|b)\\1", "aa", GroupList{"aa", "a"}}, MatchCase{"(a|b)\\1", "a", none},
        MatchCase{"(?:(a)|b)(a|b)\\2\\1", "baa", GroupList{"baa", "", "a"}},
        // assertions at the start of a look-ahead see the character before it
        MatchCase{"a(?=^)b", "ab", none}, MatchCase{"a(?=\\b)", "a", GroupList{"a"}},
        MatchCase{"\\w+(?=\\b)", "abc", GroupList{"abc"}}, MatchCase{"a(?=\\B)b", "ab", GroupList{"ab"}},
        MatchCase{"a\\n(?=^)b", "a\nb", GroupList{"a\nb"}}, MatchCase{"(?=^)a", "a", GroupList{"a"}},
        // a pass of a repetition past its minimum may not be empty
        MatchCase{"(b|)*a", "ba", GroupList{"ba", "b"}}, MatchCase{"(.?)+", "a", GroupList{"a", "a"}},
        MatchCase{"(b*)+", "b", GroupList{"b", "b"}}, MatchCase{"(b*)+", "", GroupList{"", ""}},
        MatchCase{"(a?){2,}", "a", GroupList{"a", ""}}, MatchCase{"(?:a|())*b", "ab", GroupList{"ab", ""}},
        MatchCase{"(|a)*b", "aaaaaaaaaaaaaaaaaaaa", none},
        // captures in a look-ahead that the match backtracked out of took no part
        MatchCase{"(?:(?=(a))b|a)", "a", GroupList{"a", ""}}, MatchCase{"(?:(?!(a))|a)", "a", GroupList{"a", ""}},
        MatchCase{"(?=(a))a", "a", GroupList{"a", "a"}}, MatchCase{"(?!(b))a", "a", GroupList{"a", ""}},
        // and back references to them match the empty string
        MatchCase{"(?:(?=(a))b|a)\\1", "a", GroupList{"a", ""}}, MatchCase{"(?=(a))\\1", "a", GroupList{"a", "a"}},
        MatchCase{"(?!([\\d ]))|(?:\\1)", "1", none}, MatchCase{"(?!(a)\\1)..", "ab", GroupList{"ab", ""}},
        // line rules: '.' stops at CR and LF; ^ and $ break at LF only
        MatchCase{".", "\r", none}, MatchCase{".", "\n", none}, MatchCase{"x\\n^y$", "x\ny", GroupList{"x\ny"}},
        MatchCase{"x$\\n^y", "x\ny", GroupList{"x\ny"}}, MatchCase{"x\\r^y", "x\ry", none},
        MatchCase{"x$\\ry", "x\ry", none}, MatchCase{"x\\r\\ny", "x\r\ny", GroupList{"x\r\ny"}},
        // Unicode-aware classes; \b sees ASCII words only
        MatchCase{"\\w+", "ひらがなカタカナ漢字ＡＢｃ", GroupList{"ひらがなカタカナ漢字ＡＢｃ"}},
        MatchCase{"[[:alpha:]]+", "ｱｲｳ日本", GroupList{"ｱｲｳ日本"}}, MatchCase{"\\d+", "１２３45", GroupList{"１２３45"}},
        MatchCase{"[[:alpha:]]", "１", none}, MatchCase{"\\s", "\u3000", GroupList{"\u3000"}},
        MatchCase{"\\W", "、", GroupList{"、"}}, MatchCase{"[\\W]", "あ", none}, MatchCase{"[^\\W]", "あ", GroupList{"あ"}},
        MatchCase{"[[:upper:]]", "Ａ", GroupList{"Ａ"}}, MatchCase{"[[:punct:]]", "。", GroupList{"。"}},
        MatchCase{"\\bあ", "あ", none}, MatchCase{"a\\b", "a", GroupList{"a"}}, MatchCase{"a\\bあ", "aあ", GroupList{"aあ"}}, MatchCase{"a\\Bあ", "aあ", none},
        MatchCase{"(\\d+)-(\\d+)", "03-1234", GroupList{"03-1234", "03", "1234"}},
        MatchCase{"(.+)は(.+)です", "これはペンです", GroupList{"これはペンです", "これ", "ペン"}}));

struct ReportCase {
    const char* pattern;
    MatchStatus status;
    const char* line;
};

class Reports : public testing::TestWithParam<ReportCase> {};

TEST_P(Reports, FailuresWriteOneLineAndGiveNoGroups) {
    testing::internal::CaptureStdout();
    const MatchOutcome outcome = matchGroups(GetParam().pattern, "a");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), GetParam().line);
    EXPECT_EQ(outcome.status, GetParam().status);
    EXPECT_EQ(outcome.groups.empty(), GetParam().status != MatchStatus::matched);
}

INSTANTIATE_TEST_SUITE_P(Service, Reports,
                         testing::Values(ReportCase{"(", MatchStatus::invalid, "5:regular expression error\n"},
                                         ReportCase{"*a", MatchStatus::invalid, "10:regular expression error\n"},
                                         ReportCase{"a{100000}", MatchStatus::invalid, "9:regular expression error\n"},
                                         ReportCase{"z", MatchStatus::noMatch, ""},
                                         ReportCase{"a", MatchStatus::matched, ""}));

TEST(Guards, CatastrophicBacktrackingStopsWithComplexity) {
    testing::internal::CaptureStdout();
    const MatchOutcome outcome = matchGroups("(a+)+b", std::string(40, 'a'));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "11:regular expression error\n");
    EXPECT_EQ(outcome.status, MatchStatus::stopped);
    EXPECT_EQ(outcome.error, PatternError::complexity);
}

TEST(Guards, LongTextsNeverOverflowTheStack) {
    const std::string mebibyte(1 << 20, 'a');
    for (const char* pattern : {".*", "(.)*", "(?:a|b)*"}) {
        testing::internal::CaptureStdout();
        const MatchOutcome outcome = matchGroups(pattern, mebibyte);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(outcome.status, MatchStatus::stopped) << pattern;
        EXPECT_TRUE(outcome.error == PatternError::stack || outcome.error == PatternError::complexity) << pattern;
    }
}

TEST(Guards, TextsFarBeyondTheWindowsLimitStillMatch) {
    // The library's recursion crashed a plain 8 MiB stack at 20,000 characters.
    const std::string text(40000, 'a');
    for (const char* pattern : {".*", "(.)*", "(a|b)*"}) {
        const GroupList groups = regexGroups(pattern, text);
        ASSERT_FALSE(groups.empty()) << pattern;
        EXPECT_EQ(groups[0], text);
    }
}

TEST(Guards, HugePatternsAreRefusedNotCrashed) {
    for (const char* unit : {"a", "[a]", "(?:a)", "a|", "\\w"}) {
        std::string pattern;
        for (int i = 0; i < 200000; ++i) pattern += unit;
        testing::internal::CaptureStdout();
        const MatchOutcome outcome = matchGroups(pattern, "a");
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(outcome.status, MatchStatus::invalid) << unit;
        EXPECT_EQ(outcome.error, PatternError::space) << unit;
    }
}

TEST(Replace, RemovesEveryPairInOnePass) {
    EXPECT_EQ(regexReplace("\r\n", "", "a\r\nb\r\n"), "ab");
    EXPECT_EQ(regexReplace("\r\n", "", "a\rb\nc"), "a\rb\nc");
    EXPECT_EQ(regexReplace("\r\n", "", "\r\r\n\n"), "\r\n");
    EXPECT_EQ(regexReplace("(\\w)(\\d)", "$2$1", "a1b2"), "1a2b");
}

TEST(Replace, PropagatesInvalidPatterns) {
    try {
        regexReplace("(", "", "a");
        FAIL() << "no error";
    } catch (const RegexError& e) {
        EXPECT_EQ(e.code(), PatternError::paren);
    }
}

}  // namespace
}  // namespace tarnwick
