#include "engine/ArchiveJob.h"

namespace
{
// The job checks for a stop between small blocks, so it ends long before this.
const int cancelTimeOutMs = 10000;
const char* const cancelledMessage = "cancelled by the learner";
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
    const bool ranToItsEnd = job.runThread(juce::Thread::Priority::normal);
    // The work may have passed its last stop test when the cancel came: what it did is done (an
    // archive renamed into place, files unpacked), and its caller must know it as done.
    if (ranToItsEnd || job.result.wasOk())
        return job.result;
    return juce::Result::fail(cancelledMessage);
}

void ArchiveJob::run()
{
    SafeArchive::Monitor monitor;
    monitor.shouldStop = [this] { return threadShouldExit(); };
    monitor.setProgress = [this](double fraction) { setProgress(fraction); };
    result = work(monitor);
}

bool ArchiveJob::wasCancelled(const juce::Result& result)
{
    return result.failed() && result.getErrorMessage() == cancelledMessage;
}

juce::int64 ArchiveJob::sizeOf(const juce::Array<juce::File>& files)
{
    juce::int64 total = 0;
    for (const auto& file : files)
        total += file.getSize();
    return total;
}
