// Course creation from a long recording, against one bare decode of the same file through the same
// reader in the same run. Creation checks the audio, writes the course text and, behind the modal
// progress window, reads the whole recording into the waveform overview and writes it compressed;
// the aim is that all of this costs little more than decoding the audio once.
#include "engine/DocumentManager.h"
#include "support/BenchEnvironment.h"
#include "support/GeneratedWav.h"
#include "workspace/Main.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace
{
const double sampleRate = 44100.0;
const int numChannels = 2;
const double recordingSeconds = 60.0 * 60.0;
const int blockSize = 16384;

/** Speech-like material, made one block at a time so that an hour of it never sits in memory:
    voiced stretches of a few seconds (a wandering pitch with harmonics, a syllable envelope and a
    little breath noise) separated by short pauses. */
class SpeechLikeSignal
{
public:
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
        // A 6.5 s cycle: 5 s of voice, then 1.5 s of near silence.
        const double inCycle = std::fmod(t, 6.5);
        const float noise = (random.nextFloat() - 0.5f) * 0.01f;
        if (inCycle >= 5.0)
            return noise;

        const double pitch = 140.0 + 30.0 * std::sin(juce::MathConstants<double>::twoPi * 0.3 * t);
        phase += juce::MathConstants<double>::twoPi * pitch / sampleRate;
        const double syllable = 0.5 - 0.5 * std::cos(juce::MathConstants<double>::twoPi * 4.0 * inCycle);
        const double voice = std::sin(phase) + 0.5 * std::sin(2.0 * phase) + 0.25 * std::sin(3.0 * phase);
        return (float)(0.4 * syllable * voice) + noise * 3.0f;
    }

    juce::Random random{1234};
    double phase = 0.0;
};

bool writeRecording(const juce::File& target)
{
    SpeechLikeSignal signal;
    return GeneratedWav::write(target, sampleRate, numChannels, recordingSeconds,
                               [&signal](juce::AudioBuffer<float>& block, juce::int64 firstSample)
                               { signal.render(block, firstSample); });
}

bool encodeMp3(const juce::File& wav, const juce::File& mp3)
{
    juce::ChildProcess lame;
    const juce::StringArray command{
        "lame", "--quiet", "-b", "128", wav.getFullPathName(), mp3.getFullPathName()};
    if (!lame.start(command, juce::ChildProcess::wantStdErr))
        return false;
    // Drained so that the encoder never blocks on a full pipe; an hour of audio takes it about a minute.
    lame.readAllProcessOutput();
    return lame.waitForProcessToFinish(-1) && lame.getExitCode() == 0 && mp3.existsAsFile();
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/** Reads every sample through the reader the format manager gives for the file, block by block,
    as a player or the overview would: the work that course creation cannot avoid. */
double timeBareDecode(const juce::File& audio)
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(audio));
    if (reader == nullptr)
        return 0.0;

    juce::AudioBuffer<float> block((int)reader->numChannels, blockSize);
    float peak = 0.0f;
    for (juce::int64 position = 0; position < reader->lengthInSamples; position += blockSize)
    {
        const int count = (int)juce::jmin((juce::int64)blockSize, reader->lengthInSamples - position);
        reader->read(&block, 0, count, position, true, true);
        peak = juce::jmax(peak, block.getMagnitude(0, count));
    }
    benchmark::DoNotOptimize(peak);
    return secondsSince(start);
}

double timeCourseCreation(const juce::File& audio, bool& created)
{
    // Each creation starts from no working set, as the first course of a learner would.
    DocumentManager::TempDir().deleteRecursively();
    const auto start = std::chrono::steady_clock::now();
    created = DocumentManager::createCourseFiles(audio);
    return secondsSince(start);
}

struct Result
{
    juce::String label;
    double creationSeconds = 0.0;
    double decodeSeconds = 0.0;
    bool created = false;
};

juce::Array<Result> results;

void benchCourseCreation(benchmark::State& state, const juce::File& audio, const juce::String& label)
{
    for (auto _ : state)
    {
        Result result{label};
        result.decodeSeconds = timeBareDecode(audio);
        result.creationSeconds = timeCourseCreation(audio, result.created);
        state.SetIterationTime(result.creationSeconds);
        state.counters["bare_decode_s"] = result.decodeSeconds;
        state.counters["ratio"] = result.creationSeconds / juce::jmax(1.0e-9, result.decodeSeconds);
        if (!result.created)
            state.SkipWithError("course creation failed");
        results.add(result);
    }
}

void printSummary()
{
    std::printf("\nCourse creation of a 60-minute 44.1 kHz stereo recording (goal: ratio <= 1.3)\n");
    for (const auto& r : results)
        std::printf("  %-12s creation %7.3f s   bare decode %7.3f s   creation / bare decode %6.2f%s\n",
                    r.label.toRawUTF8(), r.creationSeconds, r.decodeSeconds,
                    r.creationSeconds / juce::jmax(1.0e-9, r.decodeSeconds), r.created ? "" : "   (failed)");
}
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    BenchEnvironment environment;
    const auto inputs = environment.getHome().getChildFile("inputs");
    inputs.createDirectory();
    const auto wav = inputs.getChildFile("lecture.wav");
    const auto mp3 = inputs.getChildFile("lecture.mp3");

    std::printf("Generating %.0f minutes of stereo audio as WAV and as 128 kbps MP3...\n",
                recordingSeconds / 60.0);
    std::fflush(stdout);
    if (!writeRecording(wav) || !encodeMp3(wav, mp3))
    {
        std::fprintf(stderr, "could not make the recordings\n");
        return 1;
    }

    benchmark::RegisterBenchmark("CourseCreation/WAV", benchCourseCreation, wav, juce::String("WAV"))
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("CourseCreation/MP3_128k", benchCourseCreation, mp3,
                                 juce::String("MP3 128k"))
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    printSummary();
    return 0;
}
