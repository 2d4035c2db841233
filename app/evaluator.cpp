#include "evaluator.h"

#include <new>

#include "growth_analysis.h"
#include "guarded_match.h"
#include "result_compose.h"
#include "text_conversion.h"

namespace tarnwick::app {
namespace {

// A Result outcome that leaves the Result box as it is and says why.
Evaluation failedEvaluation(const std::exception* failure) {
    Evaluation evaluation;
    evaluation.status = evaluation.statusWithCost = failureStatus(failure);
    return evaluation;
}

// The growth of a valid expression; linear where the analysis itself fails
// (memory, the engine's own limits): the Result is out already and stays.
GrowthAnalysis growthOf(const std::string& expression, const std::atomic<bool>* cancel) {
    try {
        return analyseGrowth(toWideString(utf8ToCodePage932(expression)), cancel);
    } catch (const MatchCancelled&) {
        throw;
    } catch (...) {
        return {};
    }
}

}  // namespace

void showOutcome(WindowBoxes& boxes, const EvaluatorOutcome& outcome) {
    if (outcome.step == EvaluatorOutcome::Step::result) {
        showEvaluation(boxes, outcome.evaluation);
        return;
    }
    boxes.showMarks(outcome.evaluation.marks);
    boxes.offerAttack(outcome.evaluation.attackText);
    boxes.showStatus(outcome.evaluation.statusWithCost);
}

std::string failureStatus(const std::exception* failure) {
    if (dynamic_cast<const std::bad_alloc*>(failure) != nullptr) {
        return std::string("Out of memory evaluating this text: ") + failure->what();
    }
    return std::string("The evaluation failed: ") + (failure != nullptr ? failure->what() : "an unknown error");
}

Evaluator::Evaluator(std::function<void()> notify, BoxLines lines, EvaluateStep evaluate)
    : notify_(std::move(notify)), lines_(lines), evaluate_(evaluate ? std::move(evaluate) : EvaluateStep(
          [](const std::string& expression, std::shared_ptr<const JoinedText> text, const std::atomic<bool>* cancel,
             BoxLines boxLines) {
              return evaluateJoined(expression, std::move(text), NoMatchHint::none, cancel, boxLines);
          })),
      worker_([this] { work(); }) {}

Evaluator::~Evaluator() {
    {
        const std::lock_guard lock(mutex_);
        quitting_ = true;
        cancel_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void Evaluator::change(std::optional<std::string> expression, std::optional<std::string> text) {
    {
        const std::lock_guard lock(mutex_);
        if (expression) expression_ = std::move(*expression);
        if (text) newText_ = std::move(*text);
        ++state_;
        cancel_ = true;     // the evaluation under way is for an older state
        outcomes_.clear();  // and so are the outcomes not yet taken
    }
    wake_.notify_one();
}

std::vector<EvaluatorOutcome> Evaluator::take() {
    const std::lock_guard lock(mutex_);
    return std::exchange(outcomes_, {});
}

std::vector<EvaluatorOutcome> Evaluator::waitAndTake(bool hint) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [&] { return (hint ? finished_ : resultOut_) == state_; });
    return std::exchange(outcomes_, {});
}

bool Evaluator::evaluating() const {
    const std::lock_guard lock(mutex_);
    return resultOut_ != state_;
}

// The analysis costs more than a match; while keys come, each would be
// cancelled by the next, after taking a core for nothing.
bool Evaluator::settled(std::uint64_t state) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, growthDelay, [&] { return quitting_ || state_ != state; });
}

bool Evaluator::publish(std::uint64_t state, EvaluatorOutcome::Step step, const Evaluation& evaluation) {
    {
        const std::lock_guard lock(mutex_);
        if (state != state_) return false;  // a newer state is on its way
        outcomes_.push_back({step, state, evaluation});
        if (step == EvaluatorOutcome::Step::result) resultOut_ = state;
    }
    arrived_.notify_all();
    notify_();
    return true;
}

void Evaluator::work() {
    std::shared_ptr<const JoinedText> joined = joinedTextBox("", lines_);
    std::optional<std::string> unjoined;  // a Text whose join failed, tried again with the next state
    for (;;) {
        std::string expression;
        std::optional<std::string> text;
        std::uint64_t state = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quitting_ || finished_ != state_; });
            if (quitting_) return;
            state = state_;
            expression = expression_;
            text = std::exchange(newText_, std::nullopt);
            cancel_ = false;  // under the lock: a change after this cancels this state
        }
        ++started_;
        if (text) unjoined = std::move(text);
        std::optional<Evaluation> failed;
        try {
            // The kept joined text: converted and joined only when the Text box changed.
            if (unjoined) {
                joined = joinedTextBox(*unjoined, lines_);
                unjoined.reset();
            }
            Evaluation evaluation = evaluate_(expression, joined, &cancel_, lines_);
            // Both boxes empty: there was no match to fail, so no hint either.
            const bool noMatch = evaluation.result && evaluation.outcome.status == MatchStatus::noMatch;
            bool current = publish(state, EvaluatorOutcome::Step::result, evaluation);
            if (current && noMatch) {
                addHint(evaluation, composeHint(utf8ToCodePage932(expression), *joined, &cancel_));
                current = publish(state, EvaluatorOutcome::Step::hint, evaluation);
            }
            // The expression alone decides its growth; an invalid one has none.
            const bool valid = evaluation.result && evaluation.outcome.status != MatchStatus::invalid;
            if (current && valid && !expression.empty() && settled(state) &&
                addGrowth(evaluation, growthOf(expression, &cancel_))) {
                publish(state, EvaluatorOutcome::Step::growth, evaluation);
            }
        } catch (const MatchCancelled&) {
            // A newer state is waiting; it is taken next.
        } catch (const std::exception& e) {
            failed = failedEvaluation(&e);
        } catch (...) {
            failed = failedEvaluation(nullptr);
        }
        // Said outside the handler: publishing may itself run short of memory.
        if (failed) {
            try {
                publish(state, EvaluatorOutcome::Step::result, *failed);
            } catch (...) {
                // Not even the sentence could be made; the waiters are released below.
            }
        }
        {
            const std::lock_guard lock(mutex_);
            finished_ = state;
        }
        arrived_.notify_all();
    }
}

}  // namespace tarnwick::app
