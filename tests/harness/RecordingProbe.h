#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>

/** Stands in for an input device in recording tests, and measures what a recording file holds. */
class RecordingProbe
{
public:
    /** A device that is never opened: it only tells a callback its rate and input channels, as a
        device does when it starts. */
    class FakeDevice : public juce::AudioIODevice
    {
    public:
        FakeDevice(double sampleRate, int numInputs, int numOutputs = 2);

        juce::StringArray getOutputChannelNames() override;
        juce::StringArray getInputChannelNames() override;
        juce::Array<double> getAvailableSampleRates() override { return {rate}; }
        juce::Array<int> getAvailableBufferSizes() override { return {512}; }
        int getDefaultBufferSize() override { return 512; }
        juce::String open(const juce::BigInteger&, const juce::BigInteger&, double, int) override
        {
            return {};
        }
        void close() override {}
        bool isOpen() override { return true; }
        void start(juce::AudioIODeviceCallback*) override {}
        void stop() override {}
        bool isPlaying() override { return true; }
        juce::String getLastError() override { return {}; }
        int getCurrentBufferSizeSamples() override { return 512; }
        double getCurrentSampleRate() override { return rate; }
        int getCurrentBitDepth() override { return 32; }
        juce::BigInteger getActiveOutputChannels() const override;
        juce::BigInteger getActiveInputChannels() const override;
        int getOutputLatencyInSamples() override { return 0; }
        int getInputLatencyInSamples() override { return 0; }

        /** Runs the callback over these input samples in blocks, with outputs full of noise, and
            returns the largest magnitude the callback left in its outputs. In real time the blocks
            come no faster than a device at this rate delivers them, as a writer behind the
            callback expects; otherwise all at once. */
        float feed(juce::AudioIODeviceCallback& callback, const juce::AudioBuffer<float>& input,
                   bool realTime = true, int blockSize = 512);

    private:
        double rate;
        int inputs;
        int outputs;
    };

    /** What a recording file holds, measured over its middle (a tenth left out at each end). */
    struct Measure
    {
        bool opened = false;
        int numChannels = 0;
        int bitsPerSample = 0;
        double sampleRate = 0.0;
        juce::int64 length = 0;
        double frequency = 0.0;
        float rms = 0.0f;
        float peak = 0.0f;
    };

    static Measure measure(const juce::File& file);
};
