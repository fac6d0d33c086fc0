#include "engine/ArchiveJob.h"

namespace
{
// The job checks for a stop between small blocks, so it ends long before this.
const int cancelTimeOutMs = 10000;
} // namespace

ArchiveJob::ArchiveJob(const juce::String& title, const Work& jobWork)
    : juce::ThreadWithProgressWindow(title, true, true, cancelTimeOutMs, TRANS("Cancel")), work(jobWork)
{
    setStatusMessage(TRANS("Please wait..."));
}

ArchiveJob::~ArchiveJob()
{
    stopThread(cancelTimeOutMs);
}

juce::Result ArchiveJob::perform(const juce::String& title, juce::int64 bytes, const Work& work)
{
    if (bytes < bytesWorthAWindow)
        return work({});

    ArchiveJob job(title, work);
    if (!job.runThread(juce::Thread::Priority::normal))
        return juce::Result::fail("cancelled");
    return job.result;
}

void ArchiveJob::run()
{
    SafeArchive::Monitor monitor;
    monitor.shouldStop = [this] { return threadShouldExit(); };
    monitor.setProgress = [this](double fraction) { setProgress(fraction); };
    result = work(monitor);
}

juce::int64 ArchiveJob::sizeOf(const juce::Array<juce::File>& files)
{
    juce::int64 total = 0;
    for (const auto& file : files)
        total += file.getSize();
    return total;
}
