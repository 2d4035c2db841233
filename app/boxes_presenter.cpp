#include "boxes_presenter.h"

#include <optional>
#include <string>
#include <utility>

namespace tarnwick::app {

BoxesPresenter::BoxesPresenter(WindowLoop& loop, WindowBoxes& boxes, BoxLines lines, EvaluateStep evaluate)
    : loop_(loop), boxes_(boxes),
      evaluator_(std::make_unique<Evaluator>([this] { loop_.wake(); }, lines, std::move(evaluate))) {}

BoxesPresenter::~BoxesPresenter() {
    evaluator_.reset();  // its worker wakes nobody any more
    loop_.disarm();
}

void BoxesPresenter::changed(bool& flag) {
    flag = true;
    if (submissionScheduled_) return;
    submissionScheduled_ = true;
    loop_.scheduleSubmission();
}

// One state for all the changes since the last submission: an undo step
// replays its edits one by one, a paste may erase and insert.
void BoxesPresenter::submit() {
    submissionScheduled_ = false;
    if (!expressionChanged_ && !textChanged_) return;
    std::optional<std::string> expression;
    std::optional<std::string> text;
    if (expressionChanged_) expression = loop_.expressionText();
    if (textChanged_) text = loop_.textText();
    expressionChanged_ = textChanged_ = false;
    evaluator_->change(std::move(expression), std::move(text));
    // Measured from this state's evaluation, not from the first of a burst of keys.
    loop_.startTimer(evaluatingDelayMilliseconds);
}

void BoxesPresenter::deliver() {
    for (const EvaluatorOutcome& outcome : evaluator_->take()) showOutcome(boxes_, outcome);
    if (evaluator_->evaluating()) return;
    loop_.stopTimer();
    if (busyShown_) {
        busyShown_ = false;
        boxes_.showBusy(false);
    }
}

void BoxesPresenter::timerFired() {
    if (!evaluator_->evaluating()) return;
    busyShown_ = true;
    boxes_.showStatus(evaluatingStatus);
    boxes_.showBusy(true);
}

}  // namespace tarnwick::app
