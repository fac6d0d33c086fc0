#include "harness/AudioFixtures.h"

#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <cmath>

juce::AudioBuffer<float> AudioFixtures::silenceThenSine(int numChannels, double sampleRate,
                                                        double silenceSeconds, double toneSeconds,
                                                        double frequency, float gain)
{
    const auto silence = (int)std::lround(silenceSeconds * sampleRate);
    const auto tone = (int)std::lround(toneSeconds * sampleRate);
    juce::AudioBuffer<float> samples(numChannels, silence + tone);
    samples.clear();

    for (int channel = 0; channel < numChannels; ++channel)
    {
        auto* out = samples.getWritePointer(channel, silence);

        for (int i = 0; i < tone; ++i)
            out[i] = gain * (float)std::sin(juce::MathConstants<double>::twoPi * frequency * i / sampleRate);
    }

    return samples;
}

juce::AudioBuffer<float> AudioFixtures::voicedAndPauses(double sampleRate, const std::vector<int>& lengths,
                                                        float pauseNoise)
{
    int total = 0;
    for (const int length : lengths)
        total += length;
    juce::AudioBuffer<float> samples(1, total);
    auto* out = samples.getWritePointer(0);
    juce::Random noise(42);

    int position = 0;
    for (size_t part = 0; part < lengths.size(); ++part)
        for (int i = 0; i < lengths[part]; ++i, ++position)
            out[position] = part % 2 == 0 ? 0.5f * (float)std::sin(juce::MathConstants<double>::twoPi *
                                                                   440.0 * position / sampleRate)
                                          : pauseNoise * (2.0f * noise.nextFloat() - 1.0f);
    return samples;
}

bool AudioFixtures::writeWav(const juce::File& file, const juce::AudioBuffer<float>& samples,
                             double sampleRate)
{
    // A file output stream appends to what is there.
    if (!file.deleteFile())
        return false;

    auto stream = std::make_unique<juce::FileOutputStream>(file);

    if (stream->failedToOpen())
        return false;

    std::unique_ptr<juce::AudioFormatWriter> writer(juce::WavAudioFormat().createWriterFor(
        stream.get(), sampleRate, (unsigned int)samples.getNumChannels(), 16, {}, 0));

    if (writer == nullptr)
        return false;

    stream.release(); // the writer owns it now
    return writer->writeFromAudioSampleBuffer(samples, 0, samples.getNumSamples());
}

bool AudioFixtures::writeTone(const juce::File& file, double seconds)
{
    constexpr double rate = 44100.0;
    return writeWav(file, silenceThenSine(1, rate, 0.0, seconds, 440.0, 0.5f), rate);
}

juce::File AudioFixtures::writeHomeTone(const juce::String& name, double seconds)
{
    const auto file = homeFile(name);
    EXPECT_TRUE(writeTone(file, seconds)) << file.getFullPathName();
    return file;
}

bool AudioFixtures::runTool(const juce::StringArray& arguments, juce::String* output)
{
    juce::ChildProcess process;

    if (!process.start(arguments))
        return false;

    const auto text = process.readAllProcessOutput();

    if (output != nullptr)
        *output = text;

    return process.waitForProcessToFinish(60000) && process.getExitCode() == 0;
}

int AudioFixtures::firstSampleAbove(const juce::AudioBuffer<float>& samples, float threshold)
{
    for (int i = 0; i < samples.getNumSamples(); ++i)
        for (int channel = 0; channel < samples.getNumChannels(); ++channel)
            if (std::abs(samples.getSample(channel, i)) > threshold)
                return i;

    return -1;
}
