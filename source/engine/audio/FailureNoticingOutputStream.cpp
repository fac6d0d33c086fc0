#include "engine/audio/FailureNoticingOutputStream.h"

FailureNoticingOutputStream::FailureNoticingOutputStream(std::unique_ptr<juce::FileOutputStream> fileToWrite,
                                                         std::atomic<bool>& failedFlag)
    : file(std::move(fileToWrite)), failed(failedFlag)
{
    check(file != nullptr && file->openedOk());
}

FailureNoticingOutputStream::~FailureNoticingOutputStream()
{
    // What the buffer still holds reaches the disk here, and may fail here. A write cut short
    // by a full disk sets no error, but leaves the file shorter than what was written.
    if (file == nullptr)
        return;
    flush();
    if (file->getFile().getSize() < file->getPosition())
        failed = true;
}

bool FailureNoticingOutputStream::check(bool result)
{
    if (!result || file == nullptr || file->getStatus().failed())
    {
        failed = true;
        return false;
    }
    return true;
}

void FailureNoticingOutputStream::flush()
{
    file->flush();
    check(true);
}

bool FailureNoticingOutputStream::setPosition(juce::int64 newPosition)
{
    return check(file->setPosition(newPosition));
}

juce::int64 FailureNoticingOutputStream::getPosition()
{
    return file->getPosition();
}

bool FailureNoticingOutputStream::write(const void* data, size_t numBytes)
{
    return check(file->write(data, numBytes));
}
