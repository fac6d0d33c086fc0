#include "support/SpeechRecording.h"

#include "support/GeneratedWav.h"

#include <chrono>
#include <cmath>

namespace SpeechRecording
{
namespace
{
class SpeechLikeSignal
{
public:
    explicit SpeechLikeSignal(Rhythm r) : rhythm(r) {}

    void render(juce::AudioBuffer<float>& block, juce::int64 firstSample)
    {
        for (int i = 0; i < block.getNumSamples(); ++i)
        {
            const double t = (double)(firstSample + i) / sampleRate;
            const float value = sampleAt(t);
            for (int channel = 0; channel < block.getNumChannels(); ++channel)
                block.setSample(channel, i, value * (channel == 0 ? 1.0f : 0.8f));
        }
    }

private:
    float sampleAt(double t)
    {
        const double inCycle = std::fmod(t, rhythm.cycleSeconds);
        const float noise = (random.nextFloat() - 0.5f) * 0.01f;
        if (inCycle >= rhythm.voicedSeconds)
            return noise;

        constexpr double twoPi = juce::MathConstants<double>::twoPi;
        const double pitch = 140.0 + 30.0 * std::sin(twoPi * 0.3 * t);
        phase += twoPi * pitch / sampleRate;
        const double syllable = 0.5 - 0.5 * std::cos(twoPi * 4.0 * inCycle);
        const double voice = std::sin(phase) + 0.5 * std::sin(2.0 * phase) + 0.25 * std::sin(3.0 * phase);
        return (float)(0.4 * syllable * voice) + noise * 3.0f;
    }

    Rhythm rhythm;
    juce::Random random{1234};
    double phase = 0.0;
};

bool run(const juce::StringArray& command)
{
    juce::ChildProcess process;
    if (!process.start(command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return false;
    process.readAllProcessOutput();
    return process.waitForProcessToFinish(-1) && process.getExitCode() == 0;
}
} // namespace

bool writeWav(const juce::File& target, double seconds, Rhythm rhythm)
{
    SpeechLikeSignal signal(rhythm);
    return GeneratedWav::write(target, sampleRate, numChannels, seconds,
                               [&signal](juce::AudioBuffer<float>& block, juce::int64 firstSample)
                               { signal.render(block, firstSample); });
}

bool encode(const juce::File& wav, const juce::File& target)
{
    const auto in = wav.getFullPathName();
    const auto out = target.getFullPathName();
    const auto extension = target.getFileExtension().toLowerCase();
    target.deleteFile();
    if (extension == ".mp3")
        return run({"lame", "--quiet", "-b", "128", in, out}) && target.existsAsFile();
    if (extension == ".flac")
        return run({"flac", "--silent", "-5", "-o", out, in}) && target.existsAsFile();
    if (extension == ".ogg")
        return run({"oggenc", "--quiet", "-q", "4", "-o", out, in}) && target.existsAsFile();
    return false;
}

double timeTool(const juce::StringArray& command)
{
    const auto start = std::chrono::steady_clock::now();
    if (!run(command))
        return -1.0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double fastestTimeOf(const juce::StringArray& command, int runs)
{
    double fastest = -1.0;
    for (int i = 0; i < runs; ++i)
    {
        const double seconds = timeTool(command);
        if (seconds < 0.0)
            return -1.0;
        fastest = fastest < 0.0 ? seconds : juce::jmin(fastest, seconds);
    }
    return fastest;
}

juce::String firstLineOf(const juce::StringArray& command)
{
    juce::ChildProcess process;
    if (!process.start(command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return {};
    const auto output = process.readAllProcessOutput();
    process.waitForProcessToFinish(-1);
    return output.upToFirstOccurrenceOf("\n", false, false).trim();
}
} // namespace SpeechRecording
