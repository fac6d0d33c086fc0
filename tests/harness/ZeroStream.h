#pragma once

#include <juce_core/juce_core.h>

/** Zeros, as many as asked for, without a file behind them: an archive entry of a gigabyte
    deflates to a megabyte but takes seconds to unpack, long enough for a cancel to come first. */
class ZeroStream : public juce::InputStream
{
public:
    explicit ZeroStream(juce::int64 count);

    juce::int64 getTotalLength() override;
    bool isExhausted() override;
    juce::int64 getPosition() override;
    bool setPosition(juce::int64 newPosition) override;
    int read(void* buffer, int bytes) override;

private:
    juce::int64 total, position = 0;
};
