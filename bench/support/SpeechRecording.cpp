#include "support/SpeechRecording.h"

#include "support/GeneratedWav.h"

#include <chrono>
#include <cmath>

#include <sys/resource.h>

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

Timing Timing::fastest(const Timing& other) const
{
    if (!succeeded())
        return other;
    if (!other.succeeded())
        return *this;
    return {juce::jmin(wall, other.wall), juce::jmin(cpu, other.cpu)};
}

namespace
{
double processorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return (double)t.tv_sec + (double)t.tv_usec * 1.0e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Timing timeWith(int who, const std::function<bool()>& work)
{
    const double cpuBefore = processorSeconds(who);
    const auto start = std::chrono::steady_clock::now();
    if (!work())
        return {};
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {wall, processorSeconds(who) - cpuBefore};
}
} // namespace

Timing timeOwn(const std::function<bool()>& work)
{
    return timeWith(RUSAGE_SELF, work);
}

Timing timeTool(const juce::StringArray& command)
{
    // A finished child's times count once it has been waited for, which run does.
    return timeWith(RUSAGE_CHILDREN, [&command] { return run(command); });
}

Timing fastestTimeOf(const juce::StringArray& command, int runs)
{
    Timing fastest;
    for (int i = 0; i < runs; ++i)
    {
        const auto timing = timeTool(command);
        if (!timing.succeeded())
            return {};
        fastest = fastest.fastest(timing);
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
