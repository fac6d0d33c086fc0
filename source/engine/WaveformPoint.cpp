#include "engine/WaveformPoint.h"

#include <limits>

void WaveformPoint::store(juce::int8* dest, juce::Range<float> range)
{
    auto low = (juce::int8)juce::jlimit(-128, 127, juce::roundToInt(range.getStart() * 127.0f));
    auto high = (juce::int8)juce::jlimit(-128, 127, juce::roundToInt(range.getEnd() * 127.0f));
    if (low == high)
    {
        if (high == 127)
            --low;
        else
            ++high;
    }
    dest[0] = low;
    dest[1] = high;
}

juce::Range<float> WaveformPoint::fromIntegers(int low, int high)
{
    const auto scale = (float)std::numeric_limits<int>::max();
    return {(float)low / scale, (float)high / scale};
}
