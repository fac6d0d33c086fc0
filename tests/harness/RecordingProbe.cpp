#include "harness/RecordingProbe.h"

#include "harness/PlaybackProbe.h"
#include "workspace/Main.h"

RecordingProbe::FakeDevice::FakeDevice(double sampleRate, int numInputs, int numOutputs)
    : juce::AudioIODevice("Fake", "Fake"), rate(sampleRate), inputs(numInputs), outputs(numOutputs)
{
}

juce::StringArray RecordingProbe::FakeDevice::getOutputChannelNames()
{
    juce::StringArray names;
    for (int i = 0; i < outputs; ++i)
        names.add("out " + juce::String(i + 1));
    return names;
}

juce::StringArray RecordingProbe::FakeDevice::getInputChannelNames()
{
    juce::StringArray names;
    for (int i = 0; i < inputs; ++i)
        names.add("in " + juce::String(i + 1));
    return names;
}

juce::BigInteger RecordingProbe::FakeDevice::getActiveOutputChannels() const
{
    juce::BigInteger bits;
    bits.setRange(0, outputs, true);
    return bits;
}

juce::BigInteger RecordingProbe::FakeDevice::getActiveInputChannels() const
{
    juce::BigInteger bits;
    bits.setRange(0, inputs, true);
    return bits;
}

float RecordingProbe::FakeDevice::feed(juce::AudioIODeviceCallback& callback,
                                       const juce::AudioBuffer<float>& input, bool realTime, int blockSize)
{
    const auto started = juce::Time::getMillisecondCounterHiRes();
    juce::AudioBuffer<float> out(juce::jmax(1, outputs), blockSize);
    juce::Random random(7);
    float loudest = 0.0f;
    for (int start = 0; start < input.getNumSamples(); start += blockSize)
    {
        const int n = juce::jmin(blockSize, input.getNumSamples() - start);
        juce::Array<const float*> ins;
        for (int c = 0; c < juce::jmin(inputs, input.getNumChannels()); ++c)
            ins.add(input.getReadPointer(c, start));
        for (int c = 0; c < out.getNumChannels(); ++c)
            for (int i = 0; i < n; ++i)
                out.setSample(c, i, random.nextFloat() * 2.0f - 1.0f);

        callback.audioDeviceIOCallbackWithContext(ins.getRawDataPointer(), ins.size(),
                                                  out.getArrayOfWritePointers(), outputs, n, {});
        loudest = juce::jmax(loudest, out.getMagnitude(0, n));

        const double due = started + 1000.0 * (start + n) / rate;
        while (realTime && juce::Time::getMillisecondCounterHiRes() < due)
            juce::Thread::sleep(1);
    }
    return loudest;
}

RecordingProbe::Measure RecordingProbe::measure(const juce::File& file)
{
    Measure result;
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(file));
    if (reader == nullptr)
        return result;

    result.opened = true;
    result.numChannels = (int)reader->numChannels;
    result.bitsPerSample = (int)reader->bitsPerSample;
    result.sampleRate = reader->sampleRate;
    result.length = reader->lengthInSamples;

    juce::AudioBuffer<float> samples((int)reader->numChannels, (int)reader->lengthInSamples);
    reader->read(&samples, 0, samples.getNumSamples(), 0, true, true);
    const int margin = samples.getNumSamples() / 10;
    const int middle = samples.getNumSamples() - 2 * margin;
    if (middle <= 0)
        return result;
    result.frequency = PlaybackProbe::frequencyOf(samples, 0, margin, margin + middle, reader->sampleRate);
    result.rms = samples.getRMSLevel(0, margin, middle);
    result.peak = samples.getMagnitude(0, margin, middle);
    return result;
}
