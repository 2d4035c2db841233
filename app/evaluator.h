#pragma once
// The window's evaluations, off its input thread. The window says what
// changed; a worker thread evaluates the newest state and the window takes
// the outcomes on its own loop. A change cancels the evaluation under way
// (the match ends within microseconds, with no outcome and no report line),
// and an outcome of a state that is no longer the newest is dropped.
//
// Each state gives a Result first, and where the expression matches no whole
// text, the no-match hint as a second outcome, searched after the first is
// out and cancelled like it. Last, where the expression's cost grows
// super-linearly with the text, the growth warning as a third, once no newer
// state has come for a moment. An evaluation that fails (memory exhausted) gives
// a Result outcome that only says so; the worker goes on with the next state.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "box_evaluation.h"

namespace tarnwick::app {

struct EvaluatorOutcome {
    enum class Step { result, hint, growth } step;
    std::uint64_t state;  // counts the changes; the newest state's outcomes only are taken
    Evaluation evaluation;
};

// Shows an outcome in the boxes: a Result with its marks and status; a hint
// with its mark and status, the Result left as it is.
void showOutcome(WindowBoxes& boxes, const EvaluatorOutcome& outcome);

// The Result step of one state; evaluateJoined unless a test gives another.
using EvaluateStep = std::function<Evaluation(const std::string& expression, std::shared_ptr<const JoinedText> text,
                                              const std::atomic<bool>* cancel, BoxLines lines)>;

// The status line when an evaluation failed for want of memory or otherwise.
std::string failureStatus(const std::exception* failure);

// The growth warning waits for this pause after the Result and hint.
inline constexpr std::chrono::milliseconds growthDelay{250};

class Evaluator {
public:
    // `notify` runs on the worker thread when an outcome is ready; it should
    // only wake the window's loop (Glib::Dispatcher::emit, PostMessage), which
    // then calls take().
    explicit Evaluator(std::function<void()> notify, BoxLines lines = BoxLines::lineFeeds, EvaluateStep evaluate = {});
    ~Evaluator();
    Evaluator(const Evaluator&) = delete;
    Evaluator& operator=(const Evaluator&) = delete;

    // The boxes' new texts, UTF-8 (the Text box's line breaks LF or CR LF);
    // no value for a box that did not change. One call is one new state.
    void change(std::optional<std::string> expression, std::optional<std::string> text);
    void setExpression(std::string expression) { change(std::move(expression), std::nullopt); }
    void setText(std::string text) { change(std::nullopt, std::move(text)); }

    // The outcomes of the newest state that arrived since the last call, in order.
    std::vector<EvaluatorOutcome> take();

    // Waits until the newest state's Result (and with `hint` its hint and
    // growth warning too) is out, then gives take(): for callers that want the Result at once.
    std::vector<EvaluatorOutcome> waitAndTake(bool hint);

    // Whether the newest state's Result is not out yet.
    bool evaluating() const;

    // How many evaluations the worker has started, cancelled ones included.
    std::uint64_t evaluationsStarted() const { return started_.load(); }

private:
    void work();
    // Whether no newer state came within growthDelay: a pause in the typing.
    bool settled(std::uint64_t state);
    bool publish(std::uint64_t state, EvaluatorOutcome::Step step, const Evaluation& evaluation);

    std::function<void()> notify_;
    BoxLines lines_;
    EvaluateStep evaluate_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;     // the worker: a new state, or the end
    std::condition_variable arrived_;  // waitAndTake: an outcome, or the worker idle
    std::string expression_;
    std::optional<std::string> newText_;  // the Text box's text when it changed since the worker last took it
    std::uint64_t state_ = 0;             // the newest state
    std::uint64_t resultOut_ = 0;         // the newest state whose Result is out
    std::uint64_t finished_ = 0;          // the newest state the worker is done with
    std::vector<EvaluatorOutcome> outcomes_;
    bool quitting_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<std::uint64_t> started_{0};
    std::thread worker_;  // last: it starts once the rest is ready
};

}  // namespace tarnwick::app
