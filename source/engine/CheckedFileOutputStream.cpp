#include "engine/CheckedFileOutputStream.h"

bool CheckedFileOutputStream::Outcome::wroteWholeFile() const
{
    return closed && !failed && file.existsAsFile() && file.getSize() == length;
}

CheckedFileOutputStream::CheckedFileOutputStream(const juce::File& file, size_t bufferSize)
    : out(file, bufferSize), outcome(std::make_shared<Outcome>())
{
    outcome->file = file;
    noteFailureUnless(out.openedOk());
    // The stream writes from its start: a longer file left under this name would keep its tail.
    if (out.openedOk())
        noteFailureUnless(out.setPosition(0) && out.truncate().wasOk());
}

CheckedFileOutputStream::~CheckedFileOutputStream()
{
    // The file's own flush also syncs it to the disk, so a later rename never exposes a file
    // whose bytes are still in the cache when the power goes.
    flush();
    outcome->closed = true;
}

void CheckedFileOutputStream::abandon()
{
    outcome->failed = true;
}

void CheckedFileOutputStream::noteFailureUnless(bool ok)
{
    if (!ok)
        outcome->failed = true;
}

void CheckedFileOutputStream::flush()
{
    if (!out.openedOk())
        return;
    out.flush();
    noteFailureUnless(out.getStatus().wasOk());
}

juce::int64 CheckedFileOutputStream::getPosition()
{
    return out.getPosition();
}

bool CheckedFileOutputStream::setPosition(juce::int64 newPosition)
{
    const bool moved = !outcome->failed && out.setPosition(newPosition);
    noteFailureUnless(moved);
    return moved;
}

bool CheckedFileOutputStream::write(const void* data, size_t numBytes)
{
    if (outcome->failed)
        return false;
    const bool written = out.write(data, numBytes) && out.getStatus().wasOk();
    noteFailureUnless(written);
    // A move back and a rewrite never make the file longer than the furthest byte written.
    if (written)
        outcome->length = juce::jmax(outcome->length.load(), out.getPosition());
    return written;
}
