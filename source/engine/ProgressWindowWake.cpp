#include "engine/ProgressWindowWake.h"

namespace
{
// How often the framework's progress window looks at its job.
const double windowLookMs = 100.0;
// The job has left its work when it wakes the window; only its thread's own ending is left.
const int threadEndTimeOutMs = 1000;
} // namespace

ProgressWindowWake::ProgressWindowWake(juce::ThreadWithProgressWindow& jobToWatch) : job(jobToWatch) {}

ProgressWindowWake::~ProgressWindowWake()
{
    cancelPendingUpdate();
}

void ProgressWindowWake::windowOpens()
{
    openedAtMs = juce::Time::getMillisecondCounterHiRes();
}

void ProgressWindowWake::jobEnded()
{
    triggerAsyncUpdate();
}

void ProgressWindowWake::handleAsyncUpdate()
{
    // The window's look at its job is its timer, a private base of the framework's class: running
    // its callback now does what its next tick would. While the timer runs the window is up; once
    // it has stopped, the window has closed by itself (finished, or cancelled: a second close
    // would report a cancelled job as finished).
    auto& windowTimer = (juce::Timer&)job;
    if (!windowTimer.isTimerRunning() || juce::Time::getMillisecondCounterHiRes() - openedAtMs < windowLookMs)
        return;
    if (job.waitForThreadToExit(threadEndTimeOutMs))
        windowTimer.timerCallback();
}
