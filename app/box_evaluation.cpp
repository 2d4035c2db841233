#include "box_evaluation.h"

#include "growth_report.h"
#include "line_ends.h"
#include "result_compose.h"
#include "text_conversion.h"

namespace tarnwick::app {
namespace {

BoxMarks marksOf(const ComposedResult& composed, BoxLines lines) {
    const MatchOutcome& outcome = composed.outcome;
    BoxMarks marks;
    marks.groups = outcome.spans;
    if (outcome.partial) marks.matchedPart = outcome.partial->span;
    if (outcome.status == MatchStatus::invalid && outcome.errorPosition != RegexError::noPosition) {
        marks.fault = outcome.errorPosition;
    }
    // A GTK Result box shows each CR LF as one line feed; an edit control keeps both.
    const std::size_t shrink = lines == BoxLines::lineFeeds ? 1 : 0;
    for (std::size_t i = 0; i < composed.lines.size(); ++i) {
        marks.resultLines.push_back({composed.lines[i].start - i * shrink, composed.lines[i].end - i * shrink});
    }
    return marks;
}

void explain(Evaluation& evaluation) {
    evaluation.status = explainOutcome(evaluation.outcome);
    evaluation.statusWithCost = explainWithCost(evaluation.outcome);
}

}  // namespace

std::shared_ptr<const JoinedText> joinedTextBox(const std::string& text, BoxLines lines) {
    const NarrowText narrow = utf8ToCodePage932(text);
    return std::make_shared<const JoinedText>(lines == BoxLines::lineFeeds ? joinUserLines(narrow) : joinLineBreaks(narrow));
}

Evaluation evaluateJoined(const std::string& expression, std::shared_ptr<const JoinedText> text, NoMatchHint hint,
                          const std::atomic<bool>* cancel, BoxLines lines) {
    auto composed = composeJoined(utf8ToCodePage932(expression), std::move(text), hint, cancel);
    Evaluation evaluation;
    if (!composed) {
        evaluation.status = evaluation.statusWithCost = emptyBoxesStatus;
        return evaluation;
    }
    evaluation.result = codePage932ToUtf8(composed->text);
    if (lines == BoxLines::lineFeeds) evaluation.result = fromCrLf(*evaluation.result);
    evaluation.shown =
        showResult(*evaluation.result, lines == BoxLines::lineFeeds ? shownLineCharacters : editControlLineCharacters);
    evaluation.marks = marksOf(*composed, lines);
    for (GroupSpan& line : evaluation.marks.resultLines) line = shownSpan(evaluation.shown, line);
    evaluation.outcome = std::move(composed->outcome);
    explain(evaluation);
    return evaluation;
}

Evaluation evaluate(const std::string& expression, const std::string& text) {
    return evaluateJoined(expression, joinedTextBox(text), NoMatchHint::search);
}

void addHint(Evaluation& evaluation, const std::optional<PartialMatch>& part) {
    evaluation.outcome.partial = part;
    evaluation.marks.matchedPart.reset();
    if (part) evaluation.marks.matchedPart = part->span;
    explain(evaluation);
}

bool addGrowth(Evaluation& evaluation, const GrowthAnalysis& growth) {
    const GrowthVerdict* verdict = warnedVerdict(growth);
    if (verdict == nullptr) return false;
    std::string warning = " — ";
    warning.append(growthWarning(growth));
    evaluation.status += warning;
    evaluation.statusWithCost += warning;
    evaluation.marks.growth = GroupSpan{verdict->atStart, verdict->atEnd};
    evaluation.attackText = codePage932ToUtf8(toNarrowString(verdict->attack.repeated(verdict->attackRepeats)));
    return true;
}

void showEvaluation(WindowBoxes& boxes, const Evaluation& evaluation) {
    if (evaluation.result) {
        boxes.showResult(*evaluation.result, evaluation.shown);
        boxes.showMarks(evaluation.marks);
        boxes.offerAttack(evaluation.attackText);
    }
    boxes.showStatus(evaluation.statusWithCost);
}

}  // namespace tarnwick::app
