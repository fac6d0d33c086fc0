// The level meter: blocks copied in by one thread and analysed on a time-slice thread, the
// segments lit for a held level and their decay tick by tick, analysis blocks that don't follow
// the device's blocks, the reduction of several channels to one, what it paints and when.
#include "workspace/panels/LevelMeterComponent.h"

#include "harness/PlaybackProbe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace
{
constexpr int analysisBlock = 2048;
constexpr int meterWidth = 10, meterHeight = 222;

/** One block in which a single sample (negative, so only its magnitude can count) has the peak. */
std::vector<float> blockWithPeak(int length, float peak, int at = 0)
{
    std::vector<float> samples((size_t)length, 0.0f);
    samples[(size_t)at] = -peak;
    return samples;
}

/** A sine of the given peak at 441 Hz at 44100 per second: every hundredth sample is the peak. */
std::vector<float> sine(int length, float peak)
{
    std::vector<float> samples((size_t)length);
    for (int i = 0; i < length; ++i)
        samples[(size_t)i] = peak * (float)std::sin(2.0 * juce::MathConstants<double>::pi * i / 100.0);
    return samples;
}

/** Copies and analyses on the test's own thread, as the audio thread and the meter thread do. */
void feed(LevelMeterComponent& meter, const std::vector<float>& samples)
{
    meter.copySamples(samples.data(), (int)samples.size());
    meter.useTimeSlice();
}

/** Stands for the audio device thread: copies blocks of 512 samples into the meter until stopped. */
class DeviceThread
{
public:
    DeviceThread(LevelMeterComponent& meter, std::vector<float> signal)
        : worker(
              [this, &meter, samples = std::move(signal)]
              {
                  constexpr int block = 512;
                  for (size_t at = 0; !stopping; at = (at + block) % (samples.size() - block))
                  {
                      meter.copySamples(samples.data() + at, block);
                      std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  }
              })
    {
    }
    ~DeviceThread() { stop(); }

    void stop()
    {
        stopping = true;
        if (worker.joinable())
            worker.join();
    }

private:
    std::atomic<bool> stopping{false};
    std::thread worker;
};

bool waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 500 && !condition(); ++i)
        juce::Thread::sleep(10);
    return condition();
}

juce::Colour pixelInSegment(const juce::Image& image, int segment)
{
    const float height = (float)(meterHeight - 1) / 60.0f;
    const float centre = (float)(meterHeight - 1) - ((float)segment - 0.5f) * height;
    return image.getPixelAt(meterWidth / 2, (int)centre);
}

void expectColour(juce::Colour expected, juce::Colour actual, const juce::String& what)
{
    const auto near = [](juce::uint8 a, juce::uint8 b) { return std::abs((int)a - (int)b) <= 2; };
    EXPECT_TRUE(near(expected.getRed(), actual.getRed()) && near(expected.getGreen(), actual.getGreen()) &&
                near(expected.getBlue(), actual.getBlue()))
        << what << ": expected " << expected.toDisplayString(false) << ", got "
        << actual.toDisplayString(false);
}
} // namespace

TEST(LevelMeterComponent, FullScaleSineFromAnotherThreadLightsGreenAndOrangeThenDecaysToDark)
{
    LevelMeterComponent meter;
    juce::TimeSliceThread meterThread("Mixer meter thread");
    meterThread.addTimeSliceClient(&meter, 0);
    meterThread.startThread();

    {
        DeviceThread device(meter, std::vector<float>(8192, 0.0f));
        juce::Thread::sleep(100);
        meter.calculateSegments();
        EXPECT_EQ(0, meter.getLitSegments()) << "silence";
    }
    {
        DeviceThread device(meter, sine(8192, 1.0f));
        ASSERT_TRUE(waitFor([&] { return meter.getLevel() > 0.0f; })) << "the meter thread analysed nothing";
        EXPECT_EQ(1.0f, meter.getLevel());
        meter.calculateSegments();
        EXPECT_EQ(58, meter.getLitSegments()) << "full scale lights all green and orange, no red";
        // That tick decayed the level; the next analysis block holds it at the peak again.
        ASSERT_TRUE(waitFor([&] { return meter.getLevel() == 1.0f; }));
    }
    // The last block fed may still be waiting for its analysis: let it run before the decay.
    juce::Thread::sleep(50);
    meterThread.removeTimeSliceClient(&meter);

    // 0.9 per tick: about 0.92 dB, one and a half segments.
    std::vector<int> lit;
    for (int tick = 0; tick < 40; ++tick)
    {
        meter.calculateSegments();
        lit.push_back(meter.getLitSegments());
    }
    EXPECT_EQ(58, lit[0]);
    EXPECT_EQ(56, lit[1]);
    EXPECT_EQ(55, lit[2]);
    EXPECT_EQ(43, lit[10]);
    EXPECT_EQ(2, lit[37]);
    EXPECT_EQ(0, lit[38]) << "dark after 38 ticks";
    EXPECT_EQ(0, lit[39]);
}

TEST(LevelMeterComponent, SegmentsLitForAPeak)
{
    const struct
    {
        float peak;
        int lit;
    } cases[] = {
        {0.0f, 0},    // silence
        {0.0158f, 0}, // -36 dB: below the bottom segment
        {0.019f, 1},  // -34.4 dB: the bottom segment lights from -34.5 dB
        {0.5f, 48},   // -6.02 dB
        {1.0f, 58},   // full scale: green and orange
        {1.05f, 59},  // +0.42 dB: the first red one
        {2.0f, 68},   // beyond the top the meter is simply full
    };
    for (const auto& c : cases)
    {
        LevelMeterComponent meter;
        feed(meter, blockWithPeak(analysisBlock, c.peak, 100));
        meter.calculateSegments();
        EXPECT_EQ(c.lit, meter.getLitSegments()) << "peak " << c.peak;
    }
}

TEST(LevelMeterComponent, AnalysisBlocksOf2048SamplesSpanTheDevicesBlocks)
{
    for (const int deviceBlock : {512, 700})
    {
        SCOPED_TRACE(deviceBlock);
        LevelMeterComponent meter;
        const int blocksPerWindow = (analysisBlock + deviceBlock - 1) / deviceBlock;

        // The peak comes in the first device block; the level shows it once 2048 samples are in.
        feed(meter, blockWithPeak(deviceBlock, 0.5f));
        for (int b = 1; b < blocksPerWindow; ++b)
        {
            EXPECT_EQ(0.0f, meter.getLevel()) << "after " << b << " blocks";
            // A louder sample past the 2048th belongs to the next analysis block.
            feed(meter, b + 1 == blocksPerWindow ? blockWithPeak(deviceBlock, 0.9f, deviceBlock - 1)
                                                 : std::vector<float>((size_t)deviceBlock, 0.0f));
        }
        const bool louderInNextWindow = blocksPerWindow * deviceBlock > analysisBlock;
        EXPECT_EQ(louderInNextWindow ? 0.5f : 0.9f, meter.getLevel());
    }
}

namespace
{
/** Keeps what the time-slice thread would analyse. */
struct BufferProbe : GraphicalComponent
{
    void process() override { analysed.assign(buffer.get(), buffer.get() + bufferSize); }
    std::vector<float> analysed;
};
} // namespace

TEST(GraphicalComponent, SeveralChannelsReduceToTheLargerMagnitudePerSample)
{
    std::vector<float> a{0.5f, -0.2f, 0.3f, 0.0f}, b{-0.5f, 0.1f, -0.4f, -0.0f}, c{0.5f, 0.9f, -0.3f, 0.0f};
    float* two[] = {a.data(), b.data()};
    float* three[] = {c.data(), a.data(), b.data()};
    float* one[] = {b.data()};

    const struct
    {
        const char* what;
        float** channels;
        int numChannels;
        std::vector<float> expected;
    } cases[] = {
        {"two channels, the second on a tie", two, 2, {-0.5f, -0.2f, -0.4f, -0.0f}},
        {"three channels, the earliest on a tie", three, 3, {0.5f, 0.9f, -0.4f, 0.0f}},
        {"one channel, copied", one, 1, b},
        {"no channel, zeros", nullptr, 0, {0.0f, 0.0f, 0.0f, 0.0f}},
    };
    for (const auto& cs : cases)
    {
        BufferProbe probe;
        probe.copySamples(cs.channels, 4, cs.numChannels);
        probe.useTimeSlice();
        EXPECT_EQ(cs.expected, probe.analysed) << cs.what;
    }
}

TEST(GraphicalComponent, AnalysesOnlyWhenABlockArrived)
{
    BufferProbe probe;
    probe.useTimeSlice(); // the first call analyses the empty buffer
    std::vector<float> samples{0.25f, 0.5f};
    probe.copySamples(samples.data(), 2);
    EXPECT_EQ(5, probe.useTimeSlice()) << "called again after 5 ms";
    EXPECT_EQ(samples, probe.analysed);

    probe.analysed.clear();
    probe.useTimeSlice();
    EXPECT_TRUE(probe.analysed.empty()) << "no new block, no analysis";

    // A block larger than the room reserved still arrives whole.
    std::vector<float> large(10000, 0.125f);
    probe.copySamples(large.data(), (int)large.size());
    probe.useTimeSlice();
    EXPECT_EQ(large, probe.analysed);
}

TEST(LevelMeterComponent, PaintsLitSegmentsBelowTheLevelAndUnlitAbove)
{
    const auto lit = [](juce::Colour c, float amount) { return c.brighter(amount); };
    const juce::Colour unlit(0xff333333), unlitRed = juce::Colours::darkred.darker(0.3f);

    LevelMeterComponent meter;
    meter.setSize(meterWidth, meterHeight);

    auto dark = meter.createComponentSnapshot(meter.getLocalBounds());
    for (const int segment : {1, 36, 37, 58})
        expectColour(unlit, pixelInSegment(dark, segment), "silent, segment " + juce::String(segment));
    expectColour(unlitRed, pixelInSegment(dark, 60), "silent, segment 60");

    feed(meter, blockWithPeak(analysisBlock, 1.0f));
    meter.calculateSegments();
    auto full = meter.createComponentSnapshot(meter.getLocalBounds());
    expectColour(lit(juce::Colours::green, 0.95f), pixelInSegment(full, 1), "segment 1");
    expectColour(lit(juce::Colours::green, 0.95f), pixelInSegment(full, 36), "segment 36");
    expectColour(lit(juce::Colours::orange, 0.95f), pixelInSegment(full, 37), "segment 37");
    expectColour(lit(juce::Colours::orange, 0.95f), pixelInSegment(full, 58), "segment 58");
    expectColour(unlitRed, pixelInSegment(full, 59), "segment 59");
    expectColour(unlitRed, pixelInSegment(full, 60), "segment 60");

    feed(meter, blockWithPeak(analysisBlock, 2.0f));
    meter.calculateSegments();
    auto over = meter.createComponentSnapshot(meter.getLocalBounds());
    expectColour(lit(juce::Colours::red, 0.4f), pixelInSegment(over, 60), "over full scale, segment 60");
}

namespace
{
struct CountedMeter : LevelMeterComponent
{
    void paint(juce::Graphics& g) override
    {
        LevelMeterComponent::paint(g);
        ++paints;
    }
    int paints = 0;
};

/** Pumps the message loop (and so the meter's 30 ms timer) for a while. */
void pumpFor(int ms)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(ms);
}

/** Lets the window manager finish showing the meter: pumps until a while passes without a paint. */
/** Whether, within a few tries, ten timer ticks pass without a paint. Other windows on the
    shared test display expose the meter now and then, which paints it too; a meter that asked
    for a repaint on its own at every tick would never be quiet that long. */
bool quietForTenTicks(const CountedMeter& meter)
{
    for (int tries = 0; tries < 20; ++tries)
    {
        const int before = meter.paints;
        pumpFor(300);
        if (meter.paints == before)
            return true;
    }
    return false;
}
} // namespace

TEST(LevelMeterComponent, RepaintsOnItsTimerOnlyWhenTheLitSegmentsChangeOrItMoved)
{
    CountedMeter meter;
    meter.setBounds(100, 100, meterWidth, meterHeight);
    meter.addToDesktop(0);
    meter.setVisible(true);
    ASSERT_TRUE(PlaybackProbe::pumpUntil([&] { return meter.paints > 0; }, 5000));
    EXPECT_TRUE(quietForTenTicks(meter)) << "ten ticks at the same level paint nothing";

    const int settled = meter.paints;
    meter.moved();
    ASSERT_TRUE(PlaybackProbe::pumpUntil([&] { return meter.paints > settled; }, 5000))
        << "moved: the next tick repaints";
    EXPECT_TRUE(quietForTenTicks(meter)) << "and then nothing more";
    const int afterMove = meter.paints;

    feed(meter, blockWithPeak(analysisBlock, 1.0f));
    ASSERT_TRUE(PlaybackProbe::pumpUntil(
        [&] { return meter.getLitSegments() == 0 && meter.getLevel() < 0.01f; }, 5000));
    pumpFor(100);
    EXPECT_GT(meter.paints, afterMove + 10) << "the decay repaints as segments go dark";
}
