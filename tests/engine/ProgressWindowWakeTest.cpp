// A job whose end closes its progress window at once: the window still shows the job's texts and
// its Cancel button, and a cancel stays a cancel even when the job's end comes after it.
#include "engine/ProgressWindowWake.h"
#include "harness/ModalAnswerer.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
/** Works for a while, or until it is asked to stop, then wakes its window. */
class WakingJob : public juce::ThreadWithProgressWindow
{
public:
    explicit WakingJob(int workMs)
        : juce::ThreadWithProgressWindow("Working...", true, true, 3000), ms(workMs)
    {
        setStatusMessage("Please wait...");
    }
    ~WakingJob() override { stopThread(3000); }

    bool runWaking()
    {
        wake.windowOpens();
        return runThread();
    }

    void run() override
    {
        for (int waited = 0; waited < ms && !threadShouldExit(); waited += 10)
            wait(10);
        wake.jobEnded();
    }

private:
    int ms;
    ProgressWindowWake wake{*this};
};
} // namespace

TEST(ProgressWindowWake, TheWindowBehavesAsBeforeForTheLearner)
{
    struct Case
    {
        const char* name;
        int workMs;
        std::function<void(ModalAnswerer&)> answer;
        bool finished;
    };
    const Case cases[] = {
        {"a job ending before the window's first look", 20, [](ModalAnswerer& a) { a.letProgressRun(); },
         true},
        {"a job ending after it", 350, [](ModalAnswerer& a) { a.letProgressRun(); }, true},
        {"a cancelled job", 60000, [](ModalAnswerer& a) { a.cancelProgressAfter(300); }, false},
    };
    for (const auto& c : cases)
        for (int round = 0; round < 3; ++round)
        {
            ModalAnswerer answerer;
            c.answer(answerer);
            WakingJob job(c.workMs);
            EXPECT_EQ(job.runWaking(), c.finished) << c.name;
            // A wake left over from the job's end finds the window closed.
            juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
            ASSERT_EQ(answerer.seen().size(), 1u) << c.name;
            EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::progress) << c.name;
            EXPECT_EQ(answerer.seen()[0].title, "Working...") << c.name;
            EXPECT_EQ(answerer.seen()[0].message, "Please wait...") << c.name;
            EXPECT_EQ(answerer.seen()[0].buttons, juce::StringArray("Cancel")) << c.name;
            EXPECT_FALSE(job.getAlertWindow()->isVisible()) << c.name;
        }
}
