#include "harness/ZeroStream.h"

#include <cstring>

ZeroStream::ZeroStream(juce::int64 count) : total(count) {}

juce::int64 ZeroStream::getTotalLength()
{
    return total;
}

bool ZeroStream::isExhausted()
{
    return position >= total;
}

juce::int64 ZeroStream::getPosition()
{
    return position;
}

bool ZeroStream::setPosition(juce::int64 newPosition)
{
    position = juce::jlimit((juce::int64)0, total, newPosition);
    return true;
}

int ZeroStream::read(void* buffer, int bytes)
{
    const auto count = (int)juce::jmin((juce::int64)bytes, total - position);
    std::memset(buffer, 0, (size_t)count);
    position += count;
    return count;
}
