#pragma once

#include "engine/SafeArchive.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** Runs an archive job (a pack or an unpack) so that the interface never freezes for seconds:
    one large enough to take a while runs on a job thread behind a modal progress window with a
    Cancel button, a small one runs at once. A job cancelled before its work was done has failed,
    and says so (wasCancelled); work that ended whole in spite of a late cancel counts as done.
    Message thread only. */
class ArchiveJob : private juce::ThreadWithProgressWindow
{
public:
    using Work = std::function<juce::Result(const SafeArchive::Monitor&)>;

    /** Below this many bytes a job takes well under half a second: deflating compressed audio runs
        at some tens of megabytes a second, and reading it back costs about as much again. */
    static constexpr juce::int64 bytesWorthAWindow = 8 * 1024 * 1024;

    /** Runs the work on that many bytes, behind a window of that title when they are many. */
    static juce::Result perform(const juce::String& title, juce::int64 bytes, const Work& work);

    /** Whether the result of perform says that the learner cancelled the job before its work was
        done; a cancel is no failure to report. */
    static bool wasCancelled(const juce::Result& result);

    /** The bytes of the files together. */
    static juce::int64 sizeOf(const juce::Array<juce::File>& files);

private:
    ArchiveJob(const juce::String& title, const Work& work);
    ~ArchiveJob() override;
    void run() override;

    Work work;
    juce::Result result = juce::Result::fail("stopped");

    JUCE_DECLARE_NON_COPYABLE(ArchiveJob)
};
