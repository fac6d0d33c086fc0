#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>

/** A buffered file output that notices what the framework's writers ignore: the ZIP builder and
    the Ogg Vorbis writer carry on after a failed write, so a full disk would give a short file
    reported as written.

    Every write is checked, the bytes handed over are counted, and closing flushes the file to the
    disk and checks that too. The outcome lives apart from the stream, because a writer that is
    given the stream deletes it: whoever made the stream keeps the outcome and asks it afterwards. */
class CheckedFileOutputStream : public juce::OutputStream
{
public:
    /** What happened to the file; shared between the stream and whoever reads the result. */
    class Outcome
    {
    public:
        /** True when the stream was closed, nothing failed, and the file on the disk is exactly
            as long as what was written into it. */
        bool wroteWholeFile() const;
        /** True once any write, flush or move has failed (or the stream was abandoned). */
        bool hasFailed() const { return failed; }

    private:
        friend class CheckedFileOutputStream;
        juce::File file;
        std::atomic<bool> failed{false};
        std::atomic<bool> closed{false};
        std::atomic<juce::int64> length{0};
    };

    /** Replaces nothing by itself: the file is written from its start, so give it a new name or
        delete the old file first. */
    CheckedFileOutputStream(const juce::File& file, size_t bufferSize);
    /** Flushes, closes and records the outcome. */
    ~CheckedFileOutputStream() override;

    bool openedOk() const { return out.openedOk(); }
    std::shared_ptr<const Outcome> getOutcome() const { return outcome; }

    /** Refuses every later write, so that a long job can stop early; the outcome then fails. */
    void abandon();

    void flush() override;
    juce::int64 getPosition() override;
    bool setPosition(juce::int64 newPosition) override;
    bool write(const void* data, size_t numBytes) override;

private:
    void noteFailureUnless(bool ok);

    juce::FileOutputStream out;
    std::shared_ptr<Outcome> outcome;

    JUCE_DECLARE_NON_COPYABLE(CheckedFileOutputStream)
};
