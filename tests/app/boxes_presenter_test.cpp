#include "boxes_presenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::app {
namespace {

// A toolkit whose loop runs only when the test says so: what the presenter
// armed is recorded, and the test makes each call fire.
struct FakeWindow : WindowLoop, WindowBoxes {
    std::string expression, text;
    int submissionsScheduled = 0;
    std::atomic<int> wakes{0};
    bool timerArmed = false;
    bool disarmed = false;
    std::vector<std::string> statuses;
    std::vector<std::string> results;
    std::vector<bool> busy;

    void scheduleSubmission() override { ++submissionsScheduled; }
    void wake() override { ++wakes; }
    void startTimer(int milliseconds) override {
        EXPECT_EQ(milliseconds, evaluatingDelayMilliseconds);
        timerArmed = true;
    }
    void stopTimer() override { timerArmed = false; }
    void disarm() override {
        disarmed = true;
        timerArmed = false;
    }
    std::string expressionText() override { return expression; }
    // Moved in whole: assigning a literal trips a false GCC 12 -Wrestrict at -O3.
    void holds(std::string newExpression, std::string newText) {
        expression = std::move(newExpression);
        text = std::move(newText);
    }
    std::string textText() override { return text; }

    void showResult(const std::string& result, const ShownResult&) override { results.push_back(result); }
    // Without the cost, which varies from run to run.
    void showStatus(const std::string& status) override { statuses.push_back(status.substr(0, status.find(" · "))); }
    void showBusy(bool on) override { busy.push_back(on); }
};

// An evaluation that waits until the test lets it go (or a newer state cancels it).
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<int> entered{0};

    EvaluateStep step() {
        return [this](const std::string& expression, std::shared_ptr<const JoinedText> text,
                      const std::atomic<bool>* cancel, BoxLines lines) {
            ++entered;
            std::unique_lock lock(mutex);
            while (!open && !cancel->load()) opened.wait_for(lock, std::chrono::milliseconds(1));
            if (!open) throw MatchCancelled();
            return evaluateJoined(expression, std::move(text), NoMatchHint::none, cancel, lines);
        };
    }
    void release() {
        {
            const std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
};

void waitForWakes(const FakeWindow& window, int count) {
    while (window.wakes < count) std::this_thread::yield();
}

TEST(BoxesPresenter, TheChangesOfOneStepAreOneState) {
    FakeWindow window;
    BoxesPresenter presenter(window, window, BoxLines::lineFeeds);
    struct Step {
        bool expression, text;  // which boxes changed in the step
        std::string expressionText, textText;
        std::string result;
    };
    for (const Step& step : std::vector<Step>{
             {true, false, "a+", "", ""},
             {false, true, "a+", "aaa", "group[0] [aaa]\n"},
             {true, true, "(a)a", "aa", "group[0] [aa]\ngroup[1] [a]\n"},  // an undo step replayed into both
         }) {
        const int scheduled = window.submissionsScheduled;
        window.holds(step.expressionText, step.textText);
        for (int i = 0; i < 3; ++i) {  // several edits in one step: a paste erases, then inserts
            if (step.expression) presenter.expressionChanged();
            if (step.text) presenter.textChanged();
        }
        EXPECT_EQ(window.submissionsScheduled, scheduled + 1);
        const auto started = presenter.evaluationsStarted();
        presenter.submit();
        while (presenter.evaluating()) std::this_thread::yield();
        presenter.deliver();
        EXPECT_EQ(presenter.evaluationsStarted(), started + 1);
        EXPECT_EQ(window.results.back(), step.result);
        EXPECT_FALSE(window.timerArmed);  // the Result is out: nothing to say "Evaluating…" for
    }
}

TEST(BoxesPresenter, EvaluatingShowsOnlyPastTheDelayAndItsOutcomeClearsIt) {
    FakeWindow window;
    Gate gate;
    BoxesPresenter presenter(window, window, BoxLines::lineFeeds, gate.step());
    window.holds("a", "a");
    presenter.expressionChanged();
    presenter.textChanged();
    presenter.submit();
    EXPECT_TRUE(window.timerArmed);
    while (gate.entered == 0) std::this_thread::yield();
    presenter.timerFired();  // 100 ms on, the evaluation still under way
    EXPECT_EQ(window.statuses, std::vector<std::string>{evaluatingStatus});
    EXPECT_EQ(window.busy, std::vector<bool>{true});
    gate.release();
    waitForWakes(window, 1);
    presenter.deliver();
    EXPECT_EQ(window.statuses.back(), "Match, no capture groups");
    EXPECT_EQ(window.busy, (std::vector<bool>{true, false}));
    EXPECT_FALSE(window.timerArmed);
    presenter.timerFired();  // a timer that fired late says nothing
    EXPECT_EQ(window.statuses.back(), "Match, no capture groups");
}

TEST(BoxesPresenter, OutcomesReachTheBoxesInOrder) {
    FakeWindow window;
    BoxesPresenter presenter(window, window, BoxLines::lineFeeds);
    window.holds("b", "abc");
    presenter.textChanged();
    presenter.expressionChanged();
    presenter.submit();
    while (presenter.evaluating() || window.wakes < 2) std::this_thread::yield();  // the Result, then the hint
    presenter.deliver();
    EXPECT_EQ(window.statuses, (std::vector<std::string>{
                                   "No match: the expression must describe the whole text",
                                   "No match: the expression matches «b» at character 2, but must describe the whole text"}));
}

TEST(BoxesPresenter, EndingDuringAnEvaluationDisarmsEverything) {
    FakeWindow window;
    Gate gate;
    {
        BoxesPresenter presenter(window, window, BoxLines::lineFeeds, gate.step());
        window.holds("a", "");
        presenter.expressionChanged();
        presenter.submit();
        while (gate.entered == 0) std::this_thread::yield();
        presenter.expressionChanged();  // a submission armed too
    }  // ends with the evaluation under way: the worker is cancelled and joined
    EXPECT_TRUE(window.disarmed);
    EXPECT_FALSE(window.timerArmed);
    EXPECT_TRUE(window.results.empty());
}

}  // namespace
}  // namespace tarnwick::app
