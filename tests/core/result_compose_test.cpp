#include "result_compose.h"

#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

struct ComposeCase {
    const char* name;
    NarrowText expression;
    NarrowText text;
    std::optional<NarrowText> result;
};
// ctest and failures name the case, not its bytes.
void PrintTo(const ComposeCase& c, std::ostream* os) { *os << c.name; }

class Compose : public testing::TestWithParam<ComposeCase> {};

TEST_P(Compose, GivesTheResultText) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(composeResult(GetParam().expression, GetParam().text), GetParam().result);
    testing::internal::GetCapturedStdout();
}

INSTANTIATE_TEST_SUITE_P(
    Result, Compose,
    testing::Values(
        ComposeCase{"bothEmpty", "", "", std::nullopt}, ComposeCase{"emptyExpression", "", "abc", ""},
        ComposeCase{"emptyText", "b", "", ""}, ComposeCase{"starOnEmpty", "a*", "", "group[0] []\r\n"},
        ComposeCase{"joinedLines", ".*cd.*", "abc\r\ndef", "group[0] [abcdef]\r\n"},
        ComposeCase{"wholeTextOnly", "def", "abc\r\ndef", ""},
        ComposeCase{"groupAcrossLines", "(.*)def", "abc\r\ndef", "group[0] [abcdef]\r\ngroup[1] [abc]\r\n"},
        ComposeCase{"unsetGroup", "a(x)?", "a", "group[0] [a]\r\ngroup[1] []\r\n"},
        ComposeCase{"telephone", "(\\d+)-(\\d+)", "03-1234", "group[0] [03-1234]\r\ngroup[1] [03]\r\ngroup[2] [1234]\r\n"},
        ComposeCase{"notThePart", "(\\d+)-(\\d+)", "tel 03-1234", ""}, ComposeCase{"invalid", "(", "abc", ""},
        ComposeCase{"loneLineFeedStays", "a$\\n^b", "a\nb", "group[0] [a\nb]\r\n"},
        ComposeCase{"pairFormedByJoiningStays", "\\r\\n", "\r\r\n\n", "group[0] [\r\n]\r\n"},
        ComposeCase{"crlfInPatternMissesTypedBreaks", "a\\r\\nb", "a\r\nb", ""},
        ComposeCase{"japanese", "(\x82\xA0+)(.)", "\x82\xA0\x82\xA0\x8A\xBF",
                    "group[0] [\x82\xA0\x82\xA0\x8A\xBF]\r\ngroup[1] [\x82\xA0\x82\xA0]\r\ngroup[2] [\x8A\xBF]\r\n"},
        ComposeCase{"tenthGroupIndex", "(a)(a)(a)(a)(a)(a)(a)(a)(a)(a)", "aaaaaaaaaa",
                    "group[0] [aaaaaaaaaa]\r\ngroup[1] [a]\r\ngroup[2] [a]\r\ngroup[3] [a]\r\ngroup[4] [a]\r\n"
                    "group[5] [a]\r\ngroup[6] [a]\r\ngroup[7] [a]\r\ngroup[8] [a]\r\ngroup[9] [a]\r\ngroup[10] [a]\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Compose, InvalidExpressionReportsOnStandardOutput) {
    testing::internal::CaptureStdout();
    const auto composed = composeOutcome("(", "abc");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "5:regular expression error\n");
    ASSERT_TRUE(composed.has_value());
    EXPECT_EQ(composed->outcome.status, MatchStatus::invalid);
    EXPECT_EQ(composed->text, "");
}

TEST(Compose, EveryLineHoldsItsWholeGroupText) {
    // A fixed line buffer once cut group texts after about 1010 bytes.
    for (std::size_t length : {1009u, 1010u, 1011u, 5000u, 10239u}) {
        const NarrowText text(length, 'x');
        EXPECT_EQ(composeResult("(x*)", text), "group[0] [" + text + "]\r\ngroup[1] [" + text + "]\r\n") << length;
    }
}

TEST(Compose, SpansCountCharactersOfTheTextBeforeTheJoin) {
    using Spans = std::vector<std::optional<GroupSpan>>;
    struct Case {
        const char* expression;
        NarrowText text;
        Spans spans;
    };
    const auto span = [](std::size_t start, std::size_t end) { return std::optional<GroupSpan>(GroupSpan{start, end}); };
    for (const Case& c : std::vector<Case>{
             {"(a(b))c", "abc", {span(0, 3), span(0, 2), span(1, 2)}},
             {"(.*)def", "abc\r\ndef", {span(0, 8), span(0, 3)}},
             {"(.*c)(d.*)", "abc\r\ndef", {span(0, 8), span(0, 3), span(5, 8)}},
             {"(.)(.*)", "a\r\nbc", {span(0, 5), span(0, 1), span(3, 5)}},
             {"a(bc)d", "ab\r\ncd", {span(0, 6), span(1, 5)}},             // across the break: it spans it
             {"a()b", "a\r\nb", {span(0, 4), span(3, 3)}},                  // empty, at the break: after it
             {"a(x)?", "a", {span(0, 1), std::nullopt}},                      // took no part
             {"(\x93\x8C)(.)", "\x93\x8C\x8B\x9E", {span(0, 2), span(0, 1), span(1, 2)}},  // characters, not bytes
             {"(.+)", "\x93\x8C\r\n\x8B\x9E", {span(0, 4), span(0, 4)}},
             {"(.)\r?\n?(.)", "\r\r\n\nx", {}},                          // no match: no spans
         }) {
        testing::internal::CaptureStdout();
        const auto composed = composeOutcome(c.expression, c.text);
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(composed.has_value());
        EXPECT_EQ(composed->outcome.spans, c.spans) << c.expression;
    }
}

TEST(Compose, TheHintCountsCharactersOfTheTextBeforeTheJoin) {
    testing::internal::CaptureStdout();
    const auto composed = composeOutcome("b+", "a\r\nbbc");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_TRUE(composed && composed->outcome.partial);
    EXPECT_EQ(composed->outcome.partial->span, (GroupSpan{3, 5}));
    EXPECT_EQ(explainOutcome(composed->outcome),
              "No match: the expression matches «bb» at characters 4–5, but must describe the whole text");
    // Callers that show no hint do not pay for its search.
    const auto withoutHint = composeOutcome("b+", "a\r\nbbc", NoMatchHint::none);
    ASSERT_TRUE(withoutHint);
    EXPECT_EQ(withoutHint->outcome.status, MatchStatus::noMatch);
    EXPECT_FALSE(withoutHint->outcome.partial);
}

TEST(Compose, LongTextsAreJoinedAndMatchedWithoutAnError) {
    // The join once ran through the engine under its work limit and threw on
    // about two megabytes, which ended the program.
    NarrowText text;
    for (int i = 0; i < 200000; ++i) text += "xxxxxxxxx\r\n";
    testing::internal::CaptureStdout();
    const auto composed = composeOutcome("x+", text);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(composed.has_value());
    EXPECT_NE(composed->outcome.status, MatchStatus::invalid);
    EXPECT_EQ(joinLines(text), NarrowText(1800000, 'x'));
}

// Random patterns and texts from the characters that matter to the grammar:
// every evaluation ends, with a Result or an error report, and never crashes.
TEST(ComposeFuzz, RandomInputsEndCleanly) {
    const std::string alphabet = "ab()[]{}*+?|^$.\\-,:=!0123dwsbBcxu\r\n\x82\xA0\xB1";
    std::mt19937 random(20261209);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    auto randomText = [&] {
        std::string s;
        for (int n = length(random); n > 0; --n) s += alphabet[pick(random)];
        return s;
    };
    int matched = 0;
    int invalid = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string expression = randomText();
        const std::string text = randomText();
        testing::internal::CaptureStdout();
        const auto composed = composeOutcome(expression, text);
        const std::string report = testing::internal::GetCapturedStdout();
        if (!composed) continue;
        const bool failed = composed->outcome.status == MatchStatus::invalid ||
                            composed->outcome.status == MatchStatus::stopped;
        EXPECT_EQ(failed, !report.empty()) << expression;
        if (composed->outcome.status == MatchStatus::matched) {
            ++matched;
            EXPECT_EQ(composed->outcome.groups[0], joinLines(text)) << expression;
        }
        if (failed) ++invalid;
    }
    EXPECT_GT(matched, 0);
    EXPECT_GT(invalid, 0);
}

}  // namespace
}  // namespace tarnwick
