#pragma once
// One evaluation of the main window's boxes: compose the Result on code page
// 932 text, and say why it is what it is, with marks for each box.

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "growth_analysis.h"
#include "regex_service.h"
#include "result_view.h"
#include "text_join.h"
#include "window_boxes.h"

namespace tarnwick::app {

struct Evaluation {
    std::optional<std::string> result;  // UTF-8, line breaks as the boxes hold them; no value: leave the Result box as it is
    ShownResult shown;                  // the result as its box shows it; the marks' Result lines count in it
    std::string status;                 // why, without the cost: "Match: 2 capture groups"
    std::string statusWithCost;         // the status line: "Match: 2 capture groups · 0.4 ms · 1,234 steps"
    BoxMarks marks;                     // meaningful with a result only
    MatchOutcome outcome;               // what the sentences were made from (a no-match hint adds to it)
    std::string attackText;             // UTF-8: a Text on which the expression's cost explodes, where it does
};

// How a toolkit's boxes hold their lines. Both give and take UTF-8 here.
enum class BoxLines {
    lineFeeds,  // GTK: a line ends in LF (a lone LF of a paste counts as the CR LF it stands for)
    crLf,       // Windows edit controls: a line ends in CR LF, and only that pair is a line break;
                // their Result lines are cut sooner (editControlLineCharacters)
};

// The Text box's text, joined: the state an evaluator keeps while only the expression changes.
std::shared_ptr<const JoinedText> joinedTextBox(const std::string& text, BoxLines lines = BoxLines::lineFeeds);

// The Result for the Expression box's UTF-8 text against a joined Text box
// (unrepresentable characters become "?"), its lines as `lines` says. With
// `hint` none, a no-match hint may be added later with addHint. Throws
// MatchCancelled when `cancel` is set meanwhile.
Evaluation evaluateJoined(const std::string& expression, std::shared_ptr<const JoinedText> text, NoMatchHint hint,
                          const std::atomic<bool>* cancel = nullptr, BoxLines lines = BoxLines::lineFeeds);

// The same on the boxes' texts, the hint searched at once.
Evaluation evaluate(const std::string& expression, const std::string& text);

// An evaluation made without the hint, with the part that matches added.
void addHint(Evaluation& evaluation, const std::optional<PartialMatch>& part);

// An evaluation with the growth warning added to its status line, the
// responsible repetitions marked and the attack text kept; unchanged where
// the growth is linear. Gives whether it added one.
bool addGrowth(Evaluation& evaluation, const GrowthAnalysis& growth);

// Shows an evaluation: Result and marks when it has a result, and the status line.
void showEvaluation(WindowBoxes& boxes, const Evaluation& evaluation);

// The status line while both input boxes are empty.
inline constexpr const char* emptyBoxesStatus = "Both boxes are empty: the Result is left as it was";

}  // namespace tarnwick::app
