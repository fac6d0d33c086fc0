#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <memory>

/** A file output stream that remembers any failed write. The framework's audio writers, the Ogg
    Vorbis one among them, ignore what their stream's write returns, so a full disk would pass
    unseen; this stream sets the flag it is given at the first failure, including one that the
    file stream's buffer only meets when it is flushed or closed. The flag must outlive the
    stream: the writer deletes the stream when it is deleted itself. */
class FailureNoticingOutputStream : public juce::OutputStream
{
public:
    FailureNoticingOutputStream(std::unique_ptr<juce::FileOutputStream> file, std::atomic<bool>& failed);
    ~FailureNoticingOutputStream() override;

    void flush() override;
    bool setPosition(juce::int64 newPosition) override;
    juce::int64 getPosition() override;
    bool write(const void* data, size_t numBytes) override;

private:
    bool check(bool result);

    std::unique_ptr<juce::FileOutputStream> file;
    std::atomic<bool>& failed;

    JUCE_DECLARE_NON_COPYABLE(FailureNoticingOutputStream)
};
