// The sentence audio's device callback: the source player, the transport, the gain stage and a
// sentence reader over the course reader, for one 512-frame stereo block at 44.1 kHz. Prints the
// cost of a block as a share of the block's duration, the ratio to two references measured in
// the same run (clearing and copying the block; reading the same frames straight from the
// reader), and the allocations per block in the steady state.
#include "engine/audio/AudioSentencesPlayer.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>

//==============================================================================
// Every allocation of the program is counted, so a loop can tell whether it allocated.
namespace
{
std::atomic<long> allocations{0};

void* countedAllocation(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (auto* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size)
{
    return countedAllocation(size);
}
void* operator new[](std::size_t size)
{
    return countedAllocation(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

//==============================================================================
namespace
{
constexpr int blockSize = 512;
constexpr double sampleRate = 44100.0;
constexpr int courseSeconds = 60;

/** A minute of stereo noise as 16-bit WAV, kept in memory and written to a file, so the course
    reader can be either. */
class Course
{
public:
    Course()
    {
        juce::AudioBuffer<float> samples(2, courseSeconds * (int)sampleRate);
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

    std::unique_ptr<juce::AudioFormatReader> open(bool fromFile) const
    {
        juce::InputStream* stream = fromFile
                                        ? (juce::InputStream*)file.getFile().createInputStream().release()
                                        : new juce::MemoryInputStream(wav, false);
        return std::unique_ptr<juce::AudioFormatReader>(juce::WavAudioFormat().createReaderFor(stream, true));
    }

    /** A sentence of almost the whole course, so that a run seldom has to seek back. */
    static constexpr juce::int64 sentenceStart = 1000;
    static constexpr juce::int64 sentenceLength = (courseSeconds - 1) * (juce::int64)sampleRate;

private:
    juce::MemoryBlock wav;
    juce::TemporaryFile file{".wav"};
};

const Course& course()
{
    static const Course instance;
    return instance;
}

/** Two output channels as a device hands them over. */
struct DeviceBlock
{
    DeviceBlock() : buffer(2, blockSize) { buffer.clear(); }
    juce::AudioBuffer<float> buffer;
    float* const* outputs() { return buffer.getArrayOfWritePointers(); }
};

void reportAllocations(benchmark::State& state, long before)
{
    state.counters["allocs_per_block"] = (double)(allocations.load() - before) /
                                         (double)juce::jmax<benchmark::IterationCount>(1, state.iterations());
}

/** The whole device callback path of sentence playback. Argument 0: memory or file course
    reader; argument 1: gain held, or changed every block (the ramp runs on every block). */
void deviceCallback(benchmark::State& state)
{
    const bool fromFile = state.range(0) != 0;
    const bool changingGain = state.range(1) != 0;
    auto courseReader = course().open(fromFile);

    AudioSentencesPlayer player;
    player.sourcePlayer.prepareToPlay(sampleRate, blockSize);
    player.setAudioSource(new juce::AudioSubsectionReader(courseReader.get(), Course::sentenceStart,
                                                          Course::sentenceLength, false));
    player.start(0.0);

    DeviceBlock block;
    const juce::AudioIODeviceCallbackContext context{};
    const auto endPosition = Course::sentenceLength - 4 * blockSize;
    float gain = 1.0f;

    for (int i = 0; i < 16; ++i) // settle before counting
        player.sourcePlayer.audioDeviceIOCallbackWithContext(nullptr, 0, block.outputs(), 2, blockSize,
                                                             context);

    const auto before = allocations.load();
    for (auto _ : state)
    {
        if (changingGain)
            player.effectSource->gain = (gain = 2.5f - gain);
        player.sourcePlayer.audioDeviceIOCallbackWithContext(nullptr, 0, block.outputs(), 2, blockSize,
                                                             context);
        benchmark::DoNotOptimize(block.buffer.getReadPointer(1)[blockSize - 1]);

        if (player.transportSource.getNextReadPosition() >= endPosition)
            player.transportSource.setPosition(0.0);
    }
    reportAllocations(state, before);
    // Detaching stops at once; a stop would wait for a device to play out the last block.
    player.transportSource.setSource(nullptr);
}

/** Reference: the least a callback does, clearing the block and copying it once. */
void clearAndCopy(benchmark::State& state)
{
    DeviceBlock block, source;
    const auto before = allocations.load();
    for (auto _ : state)
    {
        block.buffer.clear();
        benchmark::ClobberMemory();
        for (int channel = 0; channel < 2; ++channel)
            juce::FloatVectorOperations::copy(block.outputs()[channel], source.buffer.getReadPointer(channel),
                                              blockSize);
        benchmark::DoNotOptimize(block.buffer.getReadPointer(1)[blockSize - 1]);
    }
    reportAllocations(state, before);
}

/** Reference: the same frames read straight from the sentence's reader. Argument: memory or file. */
void readerOnly(benchmark::State& state)
{
    auto courseReader = course().open(state.range(0) != 0);
    juce::AudioSubsectionReader sentence(courseReader.get(), Course::sentenceStart, Course::sentenceLength,
                                         false);
    DeviceBlock block;
    juce::int64 position = 0;

    const auto before = allocations.load();
    for (auto _ : state)
    {
        sentence.read(&block.buffer, 0, blockSize, position, true, true);
        benchmark::DoNotOptimize(block.buffer.getReadPointer(1)[blockSize - 1]);
        position = (position + blockSize) % (Course::sentenceLength - blockSize);
    }
    reportAllocations(state, before);
}

BENCHMARK(deviceCallback)
    ->ArgNames({"file", "gain_ramp"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1});
BENCHMARK(clearAndCopy);
BENCHMARK(readerOnly)->ArgName("file")->Arg(0)->Arg(1);

/** Prints the runs as usual, then each one's share of a block's duration and its ratio to the references. */
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
            {
                const auto allocs = run.counters.find("allocs_per_block");
                results.push_back({run.benchmark_name(),
                                   run.GetAdjustedRealTime() * unitToSeconds(run.time_unit),
                                   allocs == run.counters.end() ? 0.0 : allocs->second.value});
            }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const double blockSeconds = blockSize / sampleRate;
        const auto seconds = [this](const std::string& name)
        {
            for (const auto& r : results)
                if (r.name == name)
                    return r.seconds;
            return 0.0;
        };
        const double copy = seconds("clearAndCopy");

        // Shows that the counter is live: setting up the players allocates.
        std::printf("\nAllocations counted in the whole run: %ld\n", allocations.load());
        std::printf("One %d-frame stereo block at %.0f Hz lasts %.1f us.\n", blockSize, sampleRate,
                    blockSeconds * 1e6);
        std::printf("%-40s %10s %12s %12s %12s %10s\n", "run", "us/block", "% of block", "x clear+copy",
                    "x reader", "allocs");
        for (const auto& r : results)
        {
            const bool file = r.name.find("file:1") != std::string::npos;
            const double reader = seconds(file ? "readerOnly/file:1" : "readerOnly/file:0");
            std::printf("%-40s %10.3f %11.3f%% %12.1f %12.2f %10.4f\n", r.name.c_str(), r.seconds * 1e6,
                        100.0 * r.seconds / blockSeconds, copy > 0 ? r.seconds / copy : 0.0,
                        reader > 0 ? r.seconds / reader : 0.0, r.allocations);
        }
    }

private:
    struct Result
    {
        std::string name;
        double seconds;
        double allocations;
    };
    std::vector<Result> results;

    static double unitToSeconds(benchmark::TimeUnit unit)
    {
        switch (unit)
        {
        case benchmark::kNanosecond:
            return 1e-9;
        case benchmark::kMicrosecond:
            return 1e-6;
        case benchmark::kMillisecond:
            return 1e-3;
        case benchmark::kSecond:
            return 1.0;
        }
        return 1e-9;
    }
};
} // namespace

int main(int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI framework; // the transport's change messages need a message manager
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
