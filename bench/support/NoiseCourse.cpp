#include "support/NoiseCourse.h"

const NoiseCourse& NoiseCourse::get()
{
    static const NoiseCourse instance;
    return instance;
}

NoiseCourse::NoiseCourse()
{
    juce::AudioBuffer<float> samples(2, seconds * (int)sampleRate);
    juce::Random random(1);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < samples.getNumSamples(); ++i)
            samples.setSample(channel, i, random.nextFloat() - 0.5f);

    {
        auto* stream = new juce::MemoryOutputStream(wav, false);
        std::unique_ptr<juce::AudioFormatWriter> writer(
            juce::WavAudioFormat().createWriterFor(stream, sampleRate, 2, 16, {}, 0));
        writer->writeFromAudioSampleBuffer(samples, 0, samples.getNumSamples());
    }
    file.getFile().replaceWithData(wav.getData(), wav.getSize());
}

std::unique_ptr<juce::AudioFormatReader> NoiseCourse::open(bool fromFile) const
{
    juce::InputStream* stream = fromFile ? (juce::InputStream*)file.getFile().createInputStream().release()
                                         : new juce::MemoryInputStream(wav, false);
    return std::unique_ptr<juce::AudioFormatReader>(juce::WavAudioFormat().createReaderFor(stream, true));
}
