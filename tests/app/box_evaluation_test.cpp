#include "box_evaluation.h"

#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <string>
#include <vector>

#include "evaluator.h"
#include "version_text.h"

namespace tarnwick::app {
namespace {

const std::string noMatch = "No match: the expression must describe the whole text";

struct EvaluationCase {
    const char* name;
    std::string expression;
    std::string text;
    std::optional<std::string> result;
    std::string status;
};
// ctest and failures name the case, not its bytes.
void PrintTo(const EvaluationCase& c, std::ostream* os) { *os << c.name; }

class Evaluate : public testing::TestWithParam<EvaluationCase> {};

TEST_P(Evaluate, GivesTheResultAndWhy) {
    testing::internal::CaptureStdout();
    const auto evaluation = evaluate(GetParam().expression, GetParam().text);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(evaluation.result, GetParam().result);
    EXPECT_EQ(evaluation.status, GetParam().status);
}

const std::string manyA(40, 'a');
const std::string longExpression = "(" + std::string(1500, 'x') + ")";
const std::string longText(1500, 'x');
const std::string longGroup = "group[0] [" + longText + "]\ngroup[1] [" + longText + "]\n";

INSTANTIATE_TEST_SUITE_P(
    Boxes, Evaluate,
    testing::Values(
        EvaluationCase{"bothEmpty", "", "", std::nullopt, emptyBoxesStatus},
        EvaluationCase{"expressionOnly", "a", "", "", noMatch},
        EvaluationCase{"wholeMatch", "a", "a", "group[0] [a]\n", "Match, no capture groups"},
        EvaluationCase{"partOnly", "a", "ab", "",
                       "No match: the expression matches «a» at character 1, but must describe the whole text"},
        EvaluationCase{"linesJoined", "(.*)b", "a\nb", "group[0] [ab]\ngroup[1] [a]\n", "Match: 1 capture group"},
        EvaluationCase{"japanese", "(東)(.+)", "東京\n都", "group[0] [東京都]\ngroup[1] [東]\ngroup[2] [京都]\n",
                       "Match: 2 capture groups"},
        EvaluationCase{"fullwidthDigits", "\\d+", "１２３", "group[0] [１２３]\n", "Match, no capture groups"},
        EvaluationCase{"outsideCodePage", "(.)", "😀", "group[0] [?]\ngroup[1] [?]\n", "Match: 1 capture group"},
        EvaluationCase{"invalid", "(", "x", "", "Invalid expression (5) at character 2: unmatched parenthesis"},
        EvaluationCase{"nothingToRepeat", "*a", "a", "", "Invalid expression (10) at character 1: nothing to repeat"},
        EvaluationCase{"workLimit", "(a+)+b", manyA, "", "Stopped (11): the match exceeded the engine's work limit"},
        EvaluationCase{"longerThanTheOldBuffers", longExpression, longText, longGroup, "Match: 1 capture group"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Evaluate, MarksCountCharactersOfEachBox) {
    using Spans = std::vector<std::optional<GroupSpan>>;
    struct Case {
        std::string expression, text;
        Spans groups;
        std::optional<GroupSpan> matchedPart;
        std::optional<std::size_t> fault;
        std::vector<GroupSpan> resultLines;
        BoxLines lines = BoxLines::lineFeeds;
    };
    for (const Case& c : std::vector<Case>{
             // "group[0] [ab]" then "group[1] [a]" then "group[2] [b]", each line and its LF.
             {"(a)(b)", "a\nb", {GroupSpan{0, 3}, GroupSpan{0, 1}, GroupSpan{2, 3}}, {}, {},
              {{0, 13}, {14, 26}, {27, 39}}},
             {"(x)?東(京)", "東\n京", {GroupSpan{0, 3}, std::nullopt, GroupSpan{2, 3}}, {}, {},
              {{0, 13}, {14, 25}, {26, 38}}},
             {"(.)", "😀", {GroupSpan{0, 1}, GroupSpan{0, 1}}, {}, {}, {{0, 12}, {13, 25}}},  // one character as "?"
             {"b+", "a\nbbc", {}, GroupSpan{2, 4}, {}, {}},
             {"a{2,1}", "aa", {}, {}, 5, {}},
             {"東(", "東", {}, {}, 2, {}},  // at the end of the expression
             // An edit control's Result keeps each CR LF: two characters after each line.
             {"(a)(b)", "a\r\nb", {GroupSpan{0, 4}, GroupSpan{0, 1}, GroupSpan{3, 4}}, {}, {},
              {{0, 13}, {15, 27}, {29, 41}}, BoxLines::crLf},
         }) {
        testing::internal::CaptureStdout();
        const auto evaluation =
            evaluateJoined(c.expression, joinedTextBox(c.text, c.lines), NoMatchHint::search, nullptr, c.lines);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(evaluation.marks.groups, c.groups) << c.expression;
        EXPECT_EQ(evaluation.marks.matchedPart, c.matchedPart) << c.expression;
        EXPECT_EQ(evaluation.marks.fault, c.fault) << c.expression;
        EXPECT_EQ(evaluation.marks.resultLines, c.resultLines) << c.expression;
    }
}

TEST(Evaluate, EachStateGivesItsOwnResult) {
    // One after another, as a user's changes come: nothing of a state stays for the next.
    struct Step {
        std::string expression, text;
        std::optional<std::string> result;
    };
    for (const Step& step : std::vector<Step>{
             {"a+", "aaa", "group[0] [aaa]\n"},
             {"(a)a+", "aaa", "group[0] [aaa]\ngroup[1] [a]\n"},
             {"(a)a+", "aab", ""},            // same length, one character changed
             {"a+b", "aab", "group[0] [aab]\n"},
             {"a+b", "a\nab", "group[0] [aab]\n"},
             {"", "", std::nullopt},
             {"", "\n", "group[0] []\n"},   // joins to nothing, but the box is not empty
         }) {
        EXPECT_EQ(evaluate(step.expression, step.text).result, step.result) << step.expression << " / " << step.text;
    }
}

TEST(Evaluate, StackLimitIsNamed) {
    testing::internal::CaptureStdout();
    const auto evaluation = evaluate("(.)*", std::string(std::size_t{12} << 20, 'a'));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(evaluation.result, "");
    EXPECT_EQ(evaluation.status, "Stopped (12): the match exceeded the engine's stack limit");
}

// Boxes in memory; every keystroke into Expression or Text goes to the
// evaluator, and its outcomes are shown, as the window does.
struct FakeBoxes : WindowBoxes {
    std::string expressionText, textText, result, status;
    int resultWrites = 0;
    Evaluator evaluator{[] {}};

    void showResult(const std::string& shown, const ShownResult&) override {
        result = shown;
        ++resultWrites;
    }
    void showStatus(const std::string& shown) override { status = shown; }

    void type(std::string& box, const std::string& keys) {
        for (std::size_t i = 0; i < keys.size();) {
            std::size_t length = 1;
            while (i + length < keys.size() && (static_cast<unsigned char>(keys[i + length]) & 0xC0) == 0x80) ++length;
            box += keys.substr(i, length);
            i += length;
            changed(box);
        }
    }
    // Select all, then Delete: one change.
    void clear(std::string& box) {
        box.clear();
        changed(box);
    }
    void changed(const std::string& box) {
        if (&box == &expressionText) evaluator.setExpression(box);
        else evaluator.setText(box);
        settle();
    }
    void settle() {
        testing::internal::CaptureStdout();  // the report line of invalid expressions
        for (const EvaluatorOutcome& outcome : evaluator.waitAndTake(true)) showOutcome(*this, outcome);
        testing::internal::GetCapturedStdout();
        status = withoutCost(status);
    }
    // The time a match takes varies; the sentence before it does not.
    static std::string withoutCost(const std::string& status) {
        const auto cost = status.find(" · ");
        return cost == std::string::npos ? status : status.substr(0, cost);
    }
};

class WindowSequence : public testing::Test {
protected:
    FakeBoxes boxes;
};

TEST_F(WindowSequence, TypingAThenBIntoTheBoxes) {
    boxes.result = "left by the user";
    boxes.type(boxes.expressionText, "a");
    EXPECT_EQ(boxes.result, "");
    EXPECT_EQ(boxes.status, noMatch);
    boxes.type(boxes.textText, "a");
    EXPECT_EQ(boxes.result, "group[0] [a]\n");
    boxes.type(boxes.textText, "b");
    EXPECT_EQ(boxes.result, "");
}

TEST_F(WindowSequence, ClearingBothBoxesKeepsTheLastResult) {
    boxes.type(boxes.expressionText, "a*");
    boxes.type(boxes.textText, "aa");
    EXPECT_EQ(boxes.result, "group[0] [aa]\n");
    boxes.clear(boxes.textText);
    EXPECT_EQ(boxes.result, "group[0] []\n");
    const int writes = boxes.resultWrites;
    boxes.clear(boxes.expressionText);
    EXPECT_EQ(boxes.resultWrites, writes);
    EXPECT_EQ(boxes.result, "group[0] []\n");
    EXPECT_EQ(boxes.status, emptyBoxesStatus);
}

TEST_F(WindowSequence, WhatTheUserTypedIntoResultStaysUntilTheNextChange) {
    boxes.type(boxes.expressionText, "(a");
    EXPECT_EQ(boxes.status, "Invalid expression (5) at character 3: unmatched parenthesis");
    boxes.clear(boxes.expressionText);
    boxes.result = "my notes";  // the Result box is editable
    boxes.clear(boxes.textText);  // both empty now
    EXPECT_EQ(boxes.result, "my notes");
    boxes.type(boxes.textText, "東");
    EXPECT_EQ(boxes.result, "");
    boxes.type(boxes.expressionText, "東");
    EXPECT_EQ(boxes.result, "group[0] [東]\n");
    EXPECT_EQ(boxes.status, "Match, no capture groups");
}

TEST(VersionText, FirstLineIsVersionThenDateAndEveryLineEndsInCrLf) {
    const auto text = versionInfoText();
    EXPECT_EQ(text.rfind("ver1.2 (Jul 26 2020)\r\n", 0), 0U);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_FALSE(lines[1].empty());
    EXPECT_FALSE(lines[2].empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

}  // namespace
}  // namespace tarnwick::app
