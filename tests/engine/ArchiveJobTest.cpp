// The archive job behind its progress window: what its caller learns when the learner cancels it,
// so that a cancel is never reported as a failure and work that was done is never undone.
#include "engine/ArchiveJob.h"

#include "harness/ModalAnswerer.h"

#include <gtest/gtest.h>

namespace
{
enum class Work
{
    succeeds,
    fails,
    stopsWhenAsked,
    endsAfterTheCancel // its last step had begun when the cancel came, and it ends whole
};

juce::Result runWork(Work work, const SafeArchive::Monitor& monitor)
{
    const auto cancelAsked = [&monitor] { return monitor.shouldStop != nullptr && monitor.shouldStop(); };
    switch (work)
    {
    case Work::succeeds:
        return juce::Result::ok();
    case Work::fails:
        return juce::Result::fail("can't write");
    case Work::stopsWhenAsked:
    case Work::endsAfterTheCancel:
        while (!cancelAsked())
            juce::Thread::sleep(5);
        return work == Work::stopsWhenAsked ? juce::Result::fail("stopped") : juce::Result::ok();
    }
    return juce::Result::fail("unknown work");
}
} // namespace

TEST(ArchiveJob, ACancelIsToldApartFromAFailureAndWorkDoneStaysDone)
{
    const juce::int64 small = 1000, large = ArchiveJob::bytesWorthAWindow;
    const struct
    {
        const char* what;
        juce::int64 bytes;
        Work work;
        bool cancel;
        bool ok;
        bool cancelled;
    } cases[] = {
        {"a small job that works", small, Work::succeeds, false, true, false},
        {"a small job that fails", small, Work::fails, false, false, false},
        {"a large job cancelled", large, Work::stopsWhenAsked, true, false, true},
        {"a large job cancelled as it ended", large, Work::endsAfterTheCancel, true, true, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ModalAnswerer answerer;
        if (c.cancel)
            answerer.cancelProgressAfter(0);
        const auto result = ArchiveJob::perform("Writing", c.bytes,
                                                [&c](const SafeArchive::Monitor& monitor)
                                                { return runWork(c.work, monitor); });
        answerer.expectDone();
        EXPECT_EQ(answerer.seen().size(), c.bytes == large ? 1u : 0u);
        EXPECT_EQ(result.wasOk(), c.ok);
        EXPECT_EQ(ArchiveJob::wasCancelled(result), c.cancelled);
    }
    EXPECT_FALSE(ArchiveJob::wasCancelled(juce::Result::fail("stopped")));
}
