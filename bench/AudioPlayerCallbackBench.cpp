// The sentence audio's device callback: the source player, the transport, the gain stage and a
// sentence reader over the course reader, for one 512-frame stereo block at 44.1 kHz. Prints the
// cost of a block as a share of the block's duration, the ratio to two references measured in
// the same run (clearing and copying the block; reading the same frames straight from the
// reader), and the allocations per block in the steady state.
#include "engine/audio/AudioSentencesPlayer.h"
#include "support/BlockCost.h"
#include "support/NoiseCourse.h"

#include <benchmark/benchmark.h>

#include <cstdio>

//==============================================================================
namespace
{
constexpr int blockSize = 512;
constexpr double sampleRate = NoiseCourse::sampleRate;

/** Two output channels as a device hands them over. */
struct DeviceBlock
{
    DeviceBlock() : buffer(2, blockSize) { buffer.clear(); }
    juce::AudioBuffer<float> buffer;
    float* const* outputs() { return buffer.getArrayOfWritePointers(); }
};

/** The whole device callback path of sentence playback. Argument 0: memory or file course
    reader; argument 1: gain held, or changed every block (the ramp runs on every block). */
void deviceCallback(benchmark::State& state)
{
    const bool fromFile = state.range(0) != 0;
    const bool changingGain = state.range(1) != 0;
    auto courseReader = NoiseCourse::get().open(fromFile);

    AudioSentencesPlayer player;
    player.sourcePlayer.prepareToPlay(sampleRate, blockSize);
    player.setAudioSource(new juce::AudioSubsectionReader(courseReader.get(), NoiseCourse::sentenceStart,
                                                          NoiseCourse::sentenceLength, false));
    player.start(0.0);

    DeviceBlock block;
    const juce::AudioIODeviceCallbackContext context{};
    const auto endPosition = NoiseCourse::sentenceLength - 4 * blockSize;
    float gain = 1.0f;

    for (int i = 0; i < 16; ++i) // settle before counting
        player.sourcePlayer.audioDeviceIOCallbackWithContext(nullptr, 0, block.outputs(), 2, blockSize,
                                                             context);

    const auto before = BlockCost::allocationsSoFar();
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
    BlockCost::reportAllocations(state, before);
    // Detaching stops at once; a stop would wait for a device to play out the last block.
    player.transportSource.setSource(nullptr);
}

/** Reference: the least a callback does, clearing the block and copying it once. */
void clearAndCopy(benchmark::State& state)
{
    DeviceBlock block, source;
    const auto before = BlockCost::allocationsSoFar();
    for (auto _ : state)
    {
        block.buffer.clear();
        benchmark::ClobberMemory();
        for (int channel = 0; channel < 2; ++channel)
            juce::FloatVectorOperations::copy(block.outputs()[channel], source.buffer.getReadPointer(channel),
                                              blockSize);
        benchmark::DoNotOptimize(block.buffer.getReadPointer(1)[blockSize - 1]);
    }
    BlockCost::reportAllocations(state, before);
}

/** Reference: the same frames read straight from the sentence's reader. Argument: memory or file. */
void readerOnly(benchmark::State& state)
{
    auto courseReader = NoiseCourse::get().open(state.range(0) != 0);
    juce::AudioSubsectionReader sentence(courseReader.get(), NoiseCourse::sentenceStart,
                                         NoiseCourse::sentenceLength, false);
    DeviceBlock block;
    juce::int64 position = 0;

    const auto before = BlockCost::allocationsSoFar();
    for (auto _ : state)
    {
        sentence.read(&block.buffer, 0, blockSize, position, true, true);
        benchmark::DoNotOptimize(block.buffer.getReadPointer(1)[blockSize - 1]);
        position = (position + blockSize) % (NoiseCourse::sentenceLength - blockSize);
    }
    BlockCost::reportAllocations(state, before);
}

BENCHMARK(deviceCallback)
    ->ArgNames({"file", "gain_ramp"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1});
BENCHMARK(clearAndCopy);
BENCHMARK(readerOnly)->ArgName("file")->Arg(0)->Arg(1);

/** After the runs: each one's share of a block's duration and its ratio to the references. */
class SummaryReporter : public BlockCost::Reporter
{
    void summarise() override
    {
        const double blockSeconds = blockSize / sampleRate;
        const double copy = secondsOf("clearAndCopy");

        // Shows that the counter is live: setting up the players allocates.
        std::printf("\nAllocations counted in the whole run: %ld\n", BlockCost::allocationsSoFar());
        std::printf("One %d-frame stereo block at %.0f Hz lasts %.1f us.\n", blockSize, sampleRate,
                    blockSeconds * 1e6);
        std::printf("%-40s %10s %12s %12s %12s %10s\n", "run", "us/block", "% of block", "x clear+copy",
                    "x reader", "allocs");
        for (const auto& r : results)
        {
            const bool file = r.name.find("file:1") != std::string::npos;
            const double reader = secondsOf(file ? "readerOnly/file:1" : "readerOnly/file:0");
            std::printf("%-40s %10.3f %11.3f%% %12.1f %12.2f %10.4f\n", r.name.c_str(), r.seconds * 1e6,
                        100.0 * r.seconds / blockSeconds, copy > 0 ? r.seconds / copy : 0.0,
                        reader > 0 ? r.seconds / reader : 0.0, r.allocations);
        }
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
