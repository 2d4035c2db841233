#pragma once
// The road from a change in a box to the outcome on screen, the same for both
// windows: the changes of one step of the loop (a key, an undo step, a paste)
// become one state for the evaluator; "Evaluating…" shows when an evaluation
// runs past 100 ms; the outcomes are shown in the boxes in order. The toolkit
// only reports changes and runs the calls it is asked for (window_loop.h).

#include <memory>

#include "evaluator.h"
#include "window_boxes.h"
#include "window_loop.h"

namespace tarnwick::app {

inline constexpr int evaluatingDelayMilliseconds = 100;
inline constexpr const char* evaluatingStatus = "Evaluating…";

class BoxesPresenter {
public:
    BoxesPresenter(WindowLoop& loop, WindowBoxes& boxes, BoxLines lines, EvaluateStep evaluate = {});
    // Ends the evaluator first, then disarms every call it armed.
    ~BoxesPresenter();
    BoxesPresenter(const BoxesPresenter&) = delete;
    BoxesPresenter& operator=(const BoxesPresenter&) = delete;

    // The toolkit: a box's text changed.
    void expressionChanged() { changed(expressionChanged_); }
    void textChanged() { changed(textChanged_); }

    // The loop's calls (window_loop.h).
    void submit();
    void deliver();
    void timerFired();

    // Whether the newest state's Result is not on screen yet.
    bool evaluating() const { return evaluator_->evaluating(); }
    std::uint64_t evaluationsStarted() const { return evaluator_->evaluationsStarted(); }

private:
    void changed(bool& flag);

    WindowLoop& loop_;
    WindowBoxes& boxes_;
    bool expressionChanged_ = false;  // since the last submission
    bool textChanged_ = false;
    bool submissionScheduled_ = false;
    bool busyShown_ = false;
    std::unique_ptr<Evaluator> evaluator_;  // last: its worker wakes the loop
};

}  // namespace tarnwick::app
