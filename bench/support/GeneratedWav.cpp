#include "support/GeneratedWav.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace GeneratedWav
{
bool write(const juce::File& target, double sampleRate, int numChannels, double seconds,
           const Renderer& render)
{
    constexpr int blockSize = 16384;

    target.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream>(target);
    if (!stream->openedOk())
        return false;
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        wav.createWriterFor(stream.get(), sampleRate, (unsigned int)numChannels, 16, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release(); // the writer owns it now

    juce::AudioBuffer<float> block(numChannels, blockSize);
    const auto total = (juce::int64)(seconds * sampleRate);
    for (juce::int64 done = 0; done < total; done += blockSize)
    {
        const int count = (int)juce::jmin((juce::int64)blockSize, total - done);
        block.setSize(numChannels, count, false, false, true);
        render(block, done);
        if (!writer->writeFromAudioSampleBuffer(block, 0, count))
            return false;
    }
    return true;
}
} // namespace GeneratedWav
