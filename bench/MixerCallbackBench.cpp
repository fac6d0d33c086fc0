// The mixer and loop panel's device callback, through which sentence audio is heard: the sentence
// player's source player pulled for one 512-frame stereo block at 44.1 kHz, then one copy into
// each level meter while the meter thread analyses them. Prints the cost of a block as a share of
// the block's duration, the ratio to the sentence player's callback alone measured in the same
// run (so the ratio shows what the meters add), and the allocations per block in the steady state.
#include "engine/audio/AudioSentencesPlayer.h"
#include "support/BenchEnvironment.h"
#include "support/BlockCost.h"
#include "support/NoiseCourse.h"
#include "workspace/CourseController.h"
#include "workspace/panels/MixerAndLoopPanel.h"

#include <benchmark/benchmark.h>

#include <cstdio>

//==============================================================================
namespace
{
constexpr int blockSize = 512;
constexpr double sampleRate = NoiseCourse::sampleRate;

/** The controller's sentence player with a sentence cued and playing, prepared as a device
    prepares it; the controller comes with the process-wide objects of the environment. */
class PlayingSentence
{
    std::unique_ptr<juce::AudioFormatReader> courseReader; // outlives the sentence reader over it

public:
    PlayingSentence() : courseReader(NoiseCourse::get().open())
    {
        player().sourcePlayer.prepareToPlay(sampleRate, blockSize);
        player().setAudioSource(new juce::AudioSubsectionReader(
            courseReader.get(), NoiseCourse::sentenceStart, NoiseCourse::sentenceLength, false));
        player().start(0.0);
    }

    ~PlayingSentence()
    {
        // Detaching stops at once; a stop would wait for a device to play out the last block.
        player().transportSource.setSource(nullptr);
    }

    AudioSentencesPlayer& player() { return controller.getSentencePlayer(); }
    CourseController controller;

    /** Seeks back before the sentence runs out, so every block is a full one. */
    void keepPlaying()
    {
        if (player().transportSource.getNextReadPosition() >= NoiseCourse::sentenceLength - 4 * blockSize)
            player().transportSource.setPosition(0.0);
    }
};

struct DeviceBlock
{
    explicit DeviceBlock(int numChannels) : buffer(numChannels, blockSize) { buffer.clear(); }
    juce::AudioBuffer<float> buffer;
    float* const* outputs() { return buffer.getArrayOfWritePointers(); }
};

/** Runs one device callback per iteration: the mixer panel's, or (reference) the sentence player's
    source player alone. Argument: output channels (2 stereo, 1 mono). */
template <bool throughPanel> void deviceCallback(benchmark::State& state)
{
    const int numOutputs = (int)state.range(0);
    PlayingSentence playing;
    std::unique_ptr<MixerAndLoopPanel> panel;
    if (throughPanel)
        panel = std::make_unique<MixerAndLoopPanel>(&playing.controller);
    juce::AudioIODeviceCallback& callback =
        throughPanel ? (juce::AudioIODeviceCallback&)*panel : playing.player().sourcePlayer;

    DeviceBlock block(numOutputs);
    const juce::AudioIODeviceCallbackContext context{};
    for (int i = 0; i < 16; ++i) // settle before counting
        callback.audioDeviceIOCallbackWithContext(nullptr, 0, block.outputs(), numOutputs, blockSize,
                                                  context);

    const auto before = BlockCost::allocationsSoFar();
    for (auto _ : state)
    {
        callback.audioDeviceIOCallbackWithContext(nullptr, 0, block.outputs(), numOutputs, blockSize,
                                                  context);
        benchmark::DoNotOptimize(block.buffer.getReadPointer(numOutputs - 1)[blockSize - 1]);
        playing.keepPlaying();
    }
    BlockCost::reportAllocations(state, before);
}

void mixerPanel(benchmark::State& state)
{
    deviceCallback<true>(state);
}
void sentencePlayerAlone(benchmark::State& state)
{
    deviceCallback<false>(state);
}

BENCHMARK(mixerPanel)->ArgName("outputs")->Arg(2)->Arg(1);
BENCHMARK(sentencePlayerAlone)->ArgName("outputs")->Arg(2)->Arg(1);

/** After the runs: each one's share of a block's duration and its ratio to the sentence player
    alone with as many outputs. */
class Summary : public BlockCost::Reporter
{
    void summarise() override
    {
        const double blockSeconds = blockSize / sampleRate;
        // Shows that the counter is live: setting up the players and the panel allocates.
        std::printf("\nAllocations counted in the whole run: %ld\n", BlockCost::allocationsSoFar());
        std::printf("One %d-frame block at %.0f Hz lasts %.1f us; the goal is under 3 %% of it.\n", blockSize,
                    sampleRate, blockSeconds * 1e6);
        std::printf("%-32s %10s %12s %14s %10s\n", "run", "us/block", "% of block", "x player alone",
                    "allocs");
        for (const auto& r : results)
        {
            const double reference = secondsOf("sentencePlayerAlone" + r.name.substr(r.name.find('/')));
            std::printf("%-32s %10.3f %11.3f%% %14.2f %10.4f\n", r.name.c_str(), r.seconds * 1e6,
                        100.0 * r.seconds / blockSeconds, reference > 0 ? r.seconds / reference : 0.0,
                        r.allocations);
        }
    }
};
} // namespace

int main(int argc, char** argv)
{
    BenchEnvironment environment; // the controller needs the process-wide objects
    benchmark::Initialize(&argc, argv);
    Summary reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
