#include "harness/WaveformStreams.h"

#include <juce_audio_utils/juce_audio_utils.h>

juce::MemoryBlock WaveformStreams::frameworkOverviewOf(const juce::File& audio,
                                                       juce::AudioFormatManager& formats, bool compressed)
{
    juce::AudioThumbnailCache cache(1);
    juce::AudioThumbnail thumbnail(64, formats, cache);
    thumbnail.setSource(new juce::FileInputSource(audio, false));
    const auto end = juce::Time::getMillisecondCounter() + 60000;
    while (!thumbnail.isFullyLoaded() && juce::Time::getMillisecondCounter() < end)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
    juce::MemoryOutputStream stream;
    if (!compressed)
    {
        thumbnail.saveTo(stream);
        return stream.getMemoryBlock();
    }
    {
        juce::GZIPCompressorOutputStream zlib(stream, 9);
        thumbnail.saveTo(zlib);
        zlib.flush();
    }
    return stream.getMemoryBlock();
}

juce::MemoryBlock WaveformStreams::decompressed(const juce::File& smg)
{
    juce::GZIPDecompressorInputStream stream(new juce::FileInputStream(smg), true,
                                             juce::GZIPDecompressorInputStream::zlibFormat);
    juce::MemoryBlock bytes;
    stream.readIntoMemoryBlock(bytes);
    return bytes;
}

juce::String WaveformStreams::firstDifference(const juce::MemoryBlock& a, const juce::MemoryBlock& b)
{
    const auto common = juce::jmin(a.getSize(), b.getSize());
    for (size_t i = 0; i < common; ++i)
        if (a[i] != b[i])
            return "byte " + juce::String((juce::int64)i) + ": " + juce::String((int)(juce::int8)a[i]) +
                   " against " + juce::String((int)(juce::int8)b[i]);
    if (a.getSize() != b.getSize())
        return "sizes " + juce::String((juce::int64)a.getSize()) + " and " +
               juce::String((juce::int64)b.getSize());
    return "equal";
}
