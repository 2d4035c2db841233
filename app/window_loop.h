#pragma once
// What the road from the boxes to the screen (BoxesPresenter) needs of a
// toolkit's window: its loop's calls and one timer, and the boxes' texts.
// Each toolkit implements it once (GTK: idle call, Glib::Dispatcher, timeout;
// Win32: WM_TIMER and a posted message). Every call is made on the window's
// thread, except wake(), which the evaluator's worker makes.

#include <string>

namespace tarnwick::app {

class WindowLoop {
public:
    virtual ~WindowLoop() = default;

    // Calls BoxesPresenter::submit() once on the window's thread, after the
    // input already waiting has been handled and drawn; a second request
    // before that call is the same call.
    virtual void scheduleSubmission() = 0;
    // From any thread: calls BoxesPresenter::deliver() on the window's thread.
    virtual void wake() = 0;
    // Calls BoxesPresenter::timerFired() once, after `milliseconds`; starting
    // it again restarts it.
    virtual void startTimer(int milliseconds) = 0;
    virtual void stopTimer() = 0;
    // The presenter ends: no submission, timer or wake armed so far may call it any more.
    virtual void disarm() = 0;

    // The boxes' texts in UTF-8, read when a submission needs them.
    virtual std::string expressionText() = 0;
    virtual std::string textText() = 0;
};

}  // namespace tarnwick::app
