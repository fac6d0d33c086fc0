#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Closes a job's progress window as soon as the job ends, rather than at the window's next look
    at the job (the framework's window looks every 100 ms, so a job that ends just after a look
    keeps the learner waiting for the next one).

    A job that ends before the window's first look still closes at that look: the window stays up
    at least as long as it always did, and never merely flashes. A window that has closed already
    (the learner cancelled) is left alone, so Cancel and the window's texts behave as before.

    The owner calls windowOpens() on the message thread right before the job's runThread, and the
    job calls jobEnded() last thing on its own thread. */
class ProgressWindowWake : private juce::AsyncUpdater
{
public:
    explicit ProgressWindowWake(juce::ThreadWithProgressWindow& job);
    ~ProgressWindowWake() override;

    void windowOpens();
    void jobEnded();

private:
    void handleAsyncUpdate() override;

    juce::ThreadWithProgressWindow& job;
    double openedAtMs = 0.0;

    JUCE_DECLARE_NON_COPYABLE(ProgressWindowWake)
};
