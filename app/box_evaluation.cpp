#include "box_evaluation.h"

#include <memory>

#include "line_ends.h"
#include "result_compose.h"
#include "text_conversion.h"

namespace tarnwick::app {

std::string statusLine(const MatchOutcome& outcome) { return explainOutcome(outcome); }

namespace {

// The Text box's text as the core takes it. Typing in the Expression box
// leaves the text as it was, so the last one is kept: a long text is then
// neither converted nor joined again on every keystroke.
struct PreparedText {
    std::string utf8;
    std::shared_ptr<const JoinedText> joined;
};

const PreparedText& prepared(const std::string& text) {
    thread_local PreparedText last;
    if (!last.joined || last.utf8 != text) {
        last.joined = std::make_shared<const JoinedText>(joinUserLines(utf8ToCodePage932(text)));
        last.utf8 = text;
    }
    return last;
}

BoxMarks marksOf(const ComposedResult& composed) {
    const MatchOutcome& outcome = composed.outcome;
    BoxMarks marks;
    marks.groups = outcome.spans;
    if (outcome.partial) marks.matchedPart = outcome.partial->span;
    if (outcome.status == MatchStatus::invalid && outcome.errorPosition != RegexError::noPosition) {
        marks.fault = outcome.errorPosition;
    }
    // The Result box shows each CR LF as one line feed.
    for (std::size_t i = 0; i < composed.lines.size(); ++i) {
        marks.resultLines.push_back({composed.lines[i].start - i, composed.lines[i].end - i});
    }
    return marks;
}

}  // namespace

Evaluation evaluate(const std::string& expression, const std::string& text) {
    const PreparedText& prepared = app::prepared(text);
    auto composed = composeJoined(utf8ToCodePage932(expression), prepared.joined);
    if (!composed) return {std::nullopt, emptyBoxesStatus, {}};
    return {fromCrLf(codePage932ToUtf8(composed->text)), statusLine(composed->outcome), marksOf(*composed)};
}

void evaluateBoxes(WindowBoxes& boxes) {
    const auto evaluation = evaluate(boxes.expression(), boxes.text());
    if (evaluation.result) {
        boxes.showResult(*evaluation.result);
        boxes.showMarks(evaluation.marks);
    }
    boxes.showStatus(evaluation.status);
}

}  // namespace tarnwick::app
