#include "evaluator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::app {
namespace {

using Step = EvaluatorOutcome::Step;

// A match that runs into the work limit after about 150 ms, and a text whose
// whole match fails at once while the hint's search runs that long.
const std::string runaway = "(a+)+b";
const std::string slowText = std::string(30, 'a') + "c";
const std::string slowHintText = std::string("c").append(30, 'a');

void waitUntilStarted(const Evaluator& evaluator, std::uint64_t count) {
    while (evaluator.evaluationsStarted() < count) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // well into the match
}

std::vector<std::pair<Step, std::string>> stepsAndStatus(const std::vector<EvaluatorOutcome>& outcomes) {
    std::vector<std::pair<Step, std::string>> seen;
    for (const auto& outcome : outcomes) seen.emplace_back(outcome.step, outcome.evaluation.status);
    return seen;
}

TEST(Evaluator, TheNewestStateWinsAndACancelledMatchLeavesNoTrace) {
    testing::internal::CaptureStdout();
    Evaluator evaluator([] {});
    evaluator.change(runaway, slowText);
    waitUntilStarted(evaluator, 1);
    evaluator.setExpression("(a+)c");  // cancels the runaway match
    const auto outcomes = evaluator.waitAndTake(true);
    // No "11:regular expression error" line: the runaway match was given up, not stopped.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // The Result, then the warning that (a+)c grows with the square of a text it searches.
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].step, Step::result);
    EXPECT_EQ(outcomes[0].evaluation.result, "group[0] [" + slowText + "]\ngroup[1] [" + std::string(30, 'a') + "]\n");
    EXPECT_EQ(outcomes[1].step, Step::growth);
    EXPECT_EQ(evaluator.evaluationsStarted(), 2u);
}

TEST(Evaluator, WarnsLastWhereTheExpressionsCostExplodes) {
    Evaluator evaluator([] {});
    testing::internal::CaptureStdout();
    evaluator.change("(a+)+b", "abc");
    const auto outcomes = evaluator.waitAndTake(true);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(outcomes.size(), 3u);
    const Evaluation& warned = outcomes[2].evaluation;
    EXPECT_EQ(outcomes[2].step, Step::growth);
    EXPECT_EQ(warned.status.rfind(outcomes[1].evaluation.status + " — ⚠ exponential: «a» then ", 0), 0u) << warned.status;
    EXPECT_EQ(warned.marks.growth, (GroupSpan{0, 5}));
    EXPECT_GT(warned.attackText.size(), 10u);
    EXPECT_EQ(warned.attackText.find_first_not_of('a'), std::string::npos);
    EXPECT_EQ(warned.marks.matchedPart, outcomes[1].evaluation.marks.matchedPart) << "the hint's mark stays";
}

TEST(Evaluator, OutcomesArriveInOrderAndEachIsNotified) {
    std::atomic<int> notified{0};
    Evaluator evaluator([&] { ++notified; });
    struct Case {
        std::string expression, text;
        std::vector<std::pair<Step, std::string>> outcomes;
    };
    for (const Case& c : std::vector<Case>{
             {"a", "a", {{Step::result, "Match, no capture groups"}}},
             {"a", "ab",
              {{Step::result, "No match: the expression must describe the whole text"},
               {Step::hint, "No match: the expression matches «a» at character 1, but must describe the whole text"}}},
             {"(", "ab", {{Step::result, "Invalid expression (5) at character 2: unmatched parenthesis"}}},
             {"", "", {{Step::result, emptyBoxesStatus}}},
         }) {
        notified = 0;
        testing::internal::CaptureStdout();
        evaluator.change(c.expression, c.text);
        const auto outcomes = evaluator.waitAndTake(true);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(stepsAndStatus(outcomes), c.outcomes) << c.expression << " / " << c.text;
        EXPECT_EQ(notified, static_cast<int>(c.outcomes.size())) << c.expression;
    }
}

TEST(Evaluator, TheHintOfAnOldStateIsDropped) {
    Evaluator evaluator([] {});
    evaluator.change(runaway, slowHintText);
    const auto first = evaluator.waitAndTake(false);  // the Result is out; the hint's search runs on
    ASSERT_EQ(stepsAndStatus(first), (std::vector<std::pair<Step, std::string>>{
                                         {Step::result, "No match: the expression must describe the whole text"}}));
    evaluator.setExpression("c(a*)");
    const auto next = evaluator.waitAndTake(true);
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].step, Step::result);
    EXPECT_GT(next[0].state, first[0].state);
    EXPECT_EQ(next[0].evaluation.status, "Match: 1 capture group");
}

TEST(Evaluator, TheJoinedTextIsKeptWhileOnlyTheExpressionChanges) {
    Evaluator evaluator([] {});
    evaluator.change("a+", "a\r\na\na");
    EXPECT_EQ(evaluator.waitAndTake(true).back().evaluation.result, "group[0] [aaa]\n");
    evaluator.setExpression("(a)a+");
    EXPECT_EQ(evaluator.waitAndTake(true).back().evaluation.result, "group[0] [aaa]\ngroup[1] [a]\n");
    evaluator.setText("ab");
    EXPECT_EQ(evaluator.waitAndTake(true).front().evaluation.result, "");
}

// A failed evaluation (memory exhausted) is an outcome: the status says so, the
// Result stays, the waiter is released and the next state is evaluated.
TEST(Evaluator, AFailedEvaluationIsSaidAndTheNextStateEvaluated) {
    Evaluator evaluator([] {}, BoxLines::lineFeeds,
                        [](const std::string& expression, std::shared_ptr<const JoinedText> text,
                           const std::atomic<bool>* cancel, BoxLines lines) -> Evaluation {
                            if (expression == "bad_alloc") throw std::bad_alloc();
                            if (expression == "other") throw std::runtime_error("cannot reserve the matching stack");
                            return evaluateJoined(expression, std::move(text), NoMatchHint::none, cancel, lines);
                        });
    struct Case {
        std::string expression;
        std::string status;
        bool result;
    };
    for (const Case& c : std::vector<Case>{
             {"bad_alloc", "Out of memory evaluating this text: std::bad_alloc", false},
             {"other", "The evaluation failed: cannot reserve the matching stack", false},
             {"a+", "Match, no capture groups", true},
         }) {
        evaluator.change(c.expression, "aa");
        const auto outcomes = evaluator.waitAndTake(true);
        ASSERT_EQ(outcomes.size(), 1u) << c.expression;
        EXPECT_EQ(outcomes[0].evaluation.status, c.status);
        EXPECT_EQ(outcomes[0].evaluation.result.has_value(), c.result) << c.expression;
    }
}

// A runaway that reads no text is cancelled by the next state like any other.
TEST(Evaluator, ARunawayOfEmptyAlternativesIsCancelled) {
    std::string ladder;
    for (int i = 0; i < 40; ++i) ladder += "(?:|)";
    Evaluator evaluator([] {});
    evaluator.change(ladder + "(?!)", "");
    waitUntilStarted(evaluator, 1);
    evaluator.change("a", "a");
    const auto outcomes = evaluator.waitAndTake(true);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].evaluation.status, "Match, no capture groups");
    EXPECT_EQ(evaluator.evaluationsStarted(), 2u);
}

}  // namespace
}  // namespace tarnwick::app
