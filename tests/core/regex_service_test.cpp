#include "regex_service.h"

#include <gtest/gtest.h>

#include <ostream>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "guarded_match.h"
#include "metered_iterator.h"
#include "pattern_check.h"
#include "pattern_error.h"
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
// ctest and failures name the case, not its bytes.
void PrintTo(const MatchCase& c, std::ostream* os) { *os << "«" << c.pattern << "» on «" << c.text << "»"; }

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
        // ... also where the body references its own groups (V8's differential)
        MatchCase{"(|(x)\\2)+", "xx", GroupList{"xx", "xx", "x"}},
        MatchCase{"(?!c)(|(())\\3\\sb)+", " b", GroupList{" b", " b", "", ""}},
        // ... also where the body has several parts that can each match empty (V8's differential)
        MatchCase{"(a*b*)*", "ab", GroupList{"ab", "ab"}}, MatchCase{"(.{0,}(a{1})?)+c", "aaaaaaaaaa", none},
        MatchCase{"(.*(a)?)+", "aa", GroupList{"aa", "aa", ""}},
        // known difference: a body whose first part prefers its empty match keeps the engine's reading
        MatchCase{"(a*?b*)*", "ab", GroupList{"ab", ""}},
        // captures in a look-ahead that the match backtracked out of took no part
        MatchCase{"(?:(?=(a))b|a)", "a", GroupList{"a", ""}}, MatchCase{"(?:(?!(a))|a)", "a", GroupList{"a", ""}},
        MatchCase{"(?=(a))a", "a", GroupList{"a", "a"}}, MatchCase{"(?!(b))a", "a", GroupList{"a", ""}},
        // and back references to them match the empty string
        MatchCase{"(?:(?=(a))b|a)\\1", "a", GroupList{"a", ""}}, MatchCase{"(?=(a))\\1", "a", GroupList{"a", "a"}},
        MatchCase{"(?!([\\d ]))|(?:\\1)", "1", none}, MatchCase{"(?!(a)\\1)..", "ab", GroupList{"ab", ""}},
        // a failed attempt of a negative look-ahead leaves nothing for its next attempt (V8's differential)
        MatchCase{".+?(?!(-)|\\1)", "a-", none}, MatchCase{"(?:.(?!(b)|\\1c))+", "abc", none},
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
// ctest and failures name the case, not its bytes.
void PrintTo(const ReportCase& c, std::ostream* os) { *os << "«" << c.pattern << "»"; }

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

TEST(Service, AnInvalidPatternSaysWhereAndWhy) {
    testing::internal::CaptureStdout();
    const MatchOutcome named = matchGroups("ab(?<n>c)", "abc");
    const MatchOutcome engineLimit = matchGroups("a{100000}", "a");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "14:regular expression error\n9:regular expression error\n");
    EXPECT_EQ(named.errorPosition, 2u);
    EXPECT_EQ(explainOutcome(named),
              "Invalid expression (14) at character 3: named groups are not part of this grammar; use a plain group "
              "and its number");
    EXPECT_EQ(engineLimit.errorPosition, RegexError::noPosition);  // the engine's limit has no one place
    EXPECT_EQ(explainOutcome(engineLimit), "Invalid expression (9): expression too large");
}

struct HintCase {
    const char* pattern;
    std::string text;
    std::optional<GroupSpan> part;
    const char* explanation;
};
// ctest and failures name the case, not its bytes.
void PrintTo(const HintCase& c, std::ostream* os) { *os << "«" << c.pattern << "»"; }

class NoMatchHint : public testing::TestWithParam<HintCase> {};

TEST_P(NoMatchHint, SaysWhichPartTheExpressionMatches) {
    const MatchOutcome outcome = matchGroups(GetParam().pattern, GetParam().text);
    ASSERT_EQ(outcome.status, MatchStatus::noMatch);
    EXPECT_EQ(outcome.partial ? std::optional(outcome.partial->span) : std::nullopt, GetParam().part);
    EXPECT_EQ(explainOutcome(outcome), GetParam().explanation);
}

const std::string wholeText = "No match: the expression must describe the whole text";

INSTANTIATE_TEST_SUITE_P(
    Service, NoMatchHint,
    testing::Values(
        HintCase{"b+", "abbbc", GroupSpan{1, 4},
                 "No match: the expression matches «bbb» at characters 2–4, but must describe the whole text"},
        HintCase{"c", "abc", GroupSpan{2, 3},
                 "No match: the expression matches «c» at character 3, but must describe the whole text"},
        // The first part found, not the longest; an empty match is no part.
        HintCase{"b*", "abcbb", GroupSpan{1, 2},
                 "No match: the expression matches «b» at character 2, but must describe the whole text"},
        HintCase{"x*", "abc", std::nullopt, wholeText.c_str()},
        HintCase{"x", "", std::nullopt, wholeText.c_str()},
        // Characters, not bytes; a long part is cut, a line break shown as written.
        HintCase{"\x8B\x9E.", "\x93\x8C\x8B\x9E\x93\x73\x82\xA0", GroupSpan{1, 3},
                 "No match: the expression matches «京都» at characters 2–3, but must describe the whole text"},
        HintCase{"a+", "b" + std::string(100, 'a'), GroupSpan{1, 101},
                 "No match: the expression matches «aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa…» at characters 2–101, but "
                 "must describe the whole text"},
        HintCase{"a\\s", "a\rb", GroupSpan{0, 2},
                 "No match: the expression matches «a\\r» at characters 1–2, but must describe the whole text"},
        // A search that runs into the work limit gives no hint, and no error.
        HintCase{"(a+)+b|x", "c" + std::string(40, 'a'), std::nullopt, wholeText.c_str()}));

TEST(Guards, CatastrophicBacktrackingStopsWithComplexity) {
    testing::internal::CaptureStdout();
    const MatchOutcome outcome = matchGroups("(a+)+b", std::string(40, 'a'));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "11:regular expression error\n");
    EXPECT_EQ(outcome.status, MatchStatus::stopped);
    EXPECT_EQ(outcome.error, PatternError::complexity);
}

TEST(Guards, MebibyteTextsGiveTheirResult) {
    // The stack once held about a hundred thousand characters of recursion.
    const std::string mebibyte(1 << 20, 'a');
    for (const char* pattern : {".*", "(.)*", "(?:a|b)*", "(.*)a(.*)"}) {
        testing::internal::CaptureStdout();
        const MatchOutcome outcome = matchGroups(pattern, mebibyte);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << pattern;
        ASSERT_EQ(outcome.status, MatchStatus::matched) << pattern;
        EXPECT_EQ(outcome.groups[0].size(), mebibyte.size()) << pattern;
    }
}

TEST(Guards, RecursionDeeperThanTheStackStopsWithCode12) {
    testing::internal::CaptureStdout();
    const MatchOutcome outcome = matchGroups("(.)*", std::string(std::size_t{12} << 20, 'a'));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "12:regular expression error\n");
    EXPECT_EQ(outcome.status, MatchStatus::stopped);
    EXPECT_EQ(outcome.error, PatternError::stack);
}

TEST(Guards, AStoppedMatchLeavesTheNextOneIntact) {
    // A stop abandons the engine's recursion without unwinding it by an exception.
    for (const auto& [limits, code] : {std::pair{MatchLimits{1000, std::size_t{1} << 30}, PatternError::complexity},
                                       std::pair{MatchLimits{1'000'000'000, std::size_t{1} << 20}, PatternError::stack}}) {
        const CheckedPattern checked = checkPattern(L"(a|b)*(c)");
        try {
            matchWhole(checked, WideText(100000, L'a') + L"c", limits);
            ADD_FAILURE() << "not stopped";
        } catch (const RegexError& e) {
            EXPECT_EQ(e.code(), code);
        }
        const auto groups = matchWhole(checked, L"abc", limitsFor(3)).groups;
        ASSERT_TRUE(groups.has_value());
        EXPECT_EQ(*groups, (std::vector<std::optional<GroupSpan>>{GroupSpan{0, 3}, GroupSpan{1, 2}, GroupSpan{2, 3}}));
    }
}

// A newer evaluation cancels the running one: it ends within moments, with no
// outcome and no report line, whether it is in the whole match or the hint's search.
TEST(Guards, ACancelledMatchEndsWithNoOutcomeAndNoReportLine) {
    const NarrowText runaway = std::string(30, 'a') + "c";
    for (const auto& [name, run] : std::vector<std::pair<const char*, std::function<void(const std::atomic<bool>*)>>>{
             {"whole", [&](const std::atomic<bool>* cancel) { matchGroups("(a+)+b", runaway, tarnwick::NoMatchHint::none, cancel); }},
             {"search", [&](const std::atomic<bool>* cancel) { searchPart("(a+)+b", runaway, cancel); }},
         }) {
        std::atomic<bool> cancel{false};
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            cancel = true;
        });
        testing::internal::CaptureStdout();
        EXPECT_THROW(run(&cancel), MatchCancelled) << name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << name;
        canceller.join();
    }
    // The matching thread is free for the next evaluation at once.
    EXPECT_EQ(matchGroups("(a)", "a").groups, (GroupList{"a", "a"}));
}

// Backtracking that reads no text (empty alternatives, look-aheads, nested
// empty passes) is counted like any other work: each of these stops at the
// work limit, within one check's steps after it, rather than running for
// seconds or hours; and a cancel ends it.
TEST(Guards, EveryRunawayStopsAtTheWorkLimit) {
    auto ladder = [](int rungs, const std::string& end) {
        std::string pattern;
        for (int i = 0; i < rungs; ++i) pattern += "(?:|)";
        return pattern + end;
    };
    struct Case {
        std::string pattern;
        std::string text;
    };
    for (const Case& c : std::vector<Case>{
             {ladder(25, "(?!)"), ""},
             {ladder(40, "(?!)"), ""},
             {ladder(40, "x"), ""},
             {ladder(40, "(?=a)b") + std::string(300, 'c'), "a"},
             {"(?:(?:|a?)*)*b", std::string(20, 'a')},
             {"(a+)+b", std::string(30, 'a') + "c"},
         }) {
        testing::internal::CaptureStdout();
        const MatchOutcome outcome = matchGroups(c.pattern, c.text);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "11:regular expression error\n") << c.pattern;
        EXPECT_EQ(outcome.status, MatchStatus::stopped) << c.pattern;
        const std::uint64_t limit = limitsFor(c.text.size()).steps;
        EXPECT_GT(outcome.cost.steps, limit) << c.pattern;
        EXPECT_LE(outcome.cost.steps, limit + 2 * WorkMeter::checkInterval + WorkMeter::stepsToReturn) << c.pattern;

        std::atomic<bool> cancel{true};
        EXPECT_THROW(matchGroups(c.pattern, c.text, tarnwick::NoMatchHint::none, &cancel), MatchCancelled) << c.pattern;
    }
}

// Repetitions nested in look-aheads would double the engine's pattern at every
// level; the check refuses such a pattern at once instead of writing gigabytes.
TEST(Guards, TheEnginesPatternStaysSmall) {
    for (int levels : {5, 21, 23, 26, 200}) {
        std::wstring pattern = L"a";
        for (int i = 0; i < levels; ++i) pattern = L"(?:(?=" + pattern + L")a?)+";
        try {
            const CheckedPattern checked = checkPattern(pattern);
            EXPECT_LE(checked.canonical.size(), checkedLengthFactor * pattern.size() + checkedLengthAllowance);
        } catch (const RegexError& e) {
            EXPECT_EQ(e.code(), PatternError::space) << levels;
            EXPECT_NE(e.reason().find("too complex to check"), std::string::npos) << levels;
            EXPECT_GT(levels, 5);
        }
    }
    std::atomic<bool> cancel{true};
    std::wstring alternatives = L"a";
    for (int i = 0; i < 10'000; ++i) alternatives += L"|a";
    EXPECT_THROW(checkPattern(alternatives, &cancel), MatchCancelled);
}

TEST(Service, TheOutcomeSaysWhatTheMatchCost) {
    testing::internal::CaptureStdout();
    const MatchOutcome matched = matchGroups("(a*)", std::string(1000, 'a'));
    const MatchOutcome stopped = matchGroups("(a+)+b", std::string(30, 'a') + "c");
    testing::internal::GetCapturedStdout();
    EXPECT_GT(matched.cost.steps, 1000u);  // at least one read of each character
    EXPECT_GT(matched.cost.milliseconds, 0.0);
    EXPECT_GT(stopped.cost.steps, limitsFor(31).steps);
    EXPECT_LT(stopped.cost.steps, limitsFor(31).steps + 1000);  // the check comes every 256 steps

    struct Case {
        MatchStatus status;
        PatternError error;
        MatchCost cost;
        std::size_t groups;
        std::string sentence;
    };
    for (const Case& c : std::vector<Case>{
             {MatchStatus::matched, PatternError::collate, {1234, 0.42}, 3, "Match: 2 capture groups · 0.4 ms · 1,234 steps"},
             {MatchStatus::matched, PatternError::collate, {1, 1530.4}, 1, "Match, no capture groups · 1,530 ms · 1 step"},
             {MatchStatus::noMatch, PatternError::collate, {16, 12.0}, 0,
              "No match: the expression must describe the whole text · 12 ms · 16 steps"},
             {MatchStatus::stopped, PatternError::complexity, {16777216, 148.2}, 0,
              "Stopped at the work limit (11) after 16,777,216 steps, 148 ms"},
             {MatchStatus::stopped, PatternError::stack, {3000000, 640}, 0,
              "Stopped at the stack limit (12) after 3,000,000 steps, 640 ms"},
             {MatchStatus::invalid, PatternError::paren, {}, 0, "Invalid expression (5): unmatched parenthesis"},
         }) {
        MatchOutcome outcome;
        outcome.status = c.status;
        outcome.error = c.error;
        outcome.cost = c.cost;
        outcome.groups.resize(c.groups);
        EXPECT_EQ(explainWithCost(outcome), c.sentence);
    }
}

TEST(Guards, ThreadsEvaluatingAtOnceGetTheirOwnResults) {
    testing::internal::CaptureStdout();
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &wrong] {
            const std::string text = std::string(static_cast<std::size_t>(1000 + t), 'a') + std::to_string(t);
            for (int i = 0; i < 50; ++i) {
                const GroupList groups = regexGroups("(a+)(\\d)", text);
                if (groups != GroupList{text, text.substr(0, text.size() - 1), std::to_string(t)}) ++wrong;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(wrong, 0);
}

TEST(Guards, AMatchAtTheWorkLimitHoldsUpNoOtherThread) {
    // Evaluations once shared one matching thread behind one lock, so a quick
    // one waited for a runaway one to reach its limit.
    testing::internal::CaptureStdout();
    std::atomic<bool> started{false};
    std::atomic<bool> stuckDone{false};
    std::thread stuck([&] {
        started = true;
        EXPECT_EQ(matchGroups("(a+)+b", std::string(40, 'a')).status, MatchStatus::stopped);
        stuckDone = true;
    });
    while (!started) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));  // let it get into the match
    for (int i = 0; i < 10; ++i) EXPECT_EQ(regexGroups("a+", "aaa"), GroupList{"aaa"});
    EXPECT_FALSE(stuckDone) << "the quick evaluations waited for the stuck one";
    stuck.join();
    testing::internal::GetCapturedStdout();
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
