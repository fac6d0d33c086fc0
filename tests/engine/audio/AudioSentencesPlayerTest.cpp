// The sentence player and its gain stage, pulled block by block as the mixer panel's device
// callback pulls them, and once through a running device.
#include "engine/audio/AudioSentencesPlayer.h"
#include "harness/AudioFixtures.h"
#include "harness/PlaybackProbe.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
constexpr int blockSize = 512;
// The transport's resampler reads this many samples ahead even at a ratio of 1, so the gain
// stage's blocks run that far ahead of the device's.
constexpr int lookAhead = 3;

/** What the player told its listeners, in order, and whether every call came on the message thread. */
struct Heard : AudioSentencesPlayer::Listener
{
    void sentenceFinished(AudioSentencesPlayer*) override { note("finished"); }
    void playerStarted(AudioSentencesPlayer*) override { note("started"); }
    void playerStopped(AudioSentencesPlayer*) override { note("stopped"); }

    void note(const juce::String& call)
    {
        calls.add(call);
        allOnMessageThread &= juce::MessageManager::getInstance()->isThisTheMessageThread();
    }

    juce::String text() const { return calls.joinIntoString(" "); }

    juce::StringArray calls;
    bool allOnMessageThread = true;
};

/** Course audio written to a WAV file and read back, as the course model reads it. */
class CourseAudio
{
public:
    CourseAudio(const juce::AudioBuffer<float>& samples, double sampleRate)
    {
        AudioFixtures::writeWav(file.getFile(), samples, sampleRate);
        reader.reset(
            juce::WavAudioFormat().createReaderFor(file.getFile().createInputStream().release(), true));
    }

    static juce::AudioBuffer<float> constant(int length, float value)
    {
        juce::AudioBuffer<float> samples(2, length);
        for (int channel = 0; channel < 2; ++channel)
            juce::FloatVectorOperations::fill(samples.getWritePointer(channel), value, length);
        return samples;
    }

    /** A reader over one sentence's span, as the course model hands it to the player. */
    juce::AudioFormatReader* sentence(juce::int64 start, juce::int64 length) const
    {
        return new juce::AudioSubsectionReader(reader.get(), start, length, false);
    }

    juce::AudioBuffer<float> read(int start, int length) const
    {
        juce::AudioBuffer<float> samples((int)reader->numChannels, length);
        reader->read(&samples, 0, length, start, true, true);
        return samples;
    }

    juce::TemporaryFile file{".wav"};
    std::unique_ptr<juce::AudioFormatReader> reader;
};

class SentencePlayerTest : public testing::Test
{
protected:
    void SetUp() override { player.addListener(&heard); }

    void useCourse(const juce::AudioBuffer<float>& samples, double rate = 44100.0)
    {
        course = std::make_unique<CourseAudio>(samples, rate);
    }

    /** Prepares the source player as a device at this rate would, and cues a sentence. */
    void cue(int start, int length, double deviceRate = 44100.0)
    {
        player.sourcePlayer.prepareToPlay(deviceRate, blockSize);
        player.setAudioSource(course->sentence(start, length));
    }

    juce::AudioBuffer<float> pull(int numBlocks)
    {
        return PlaybackProbe::pull(player.sourcePlayer, 2, numBlocks, blockSize);
    }

    /** Lets the change messages queued so far arrive. */
    static void pumpMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil(100); }

    static void expectSamples(const juce::AudioBuffer<float>& out, int outStart,
                              const juce::AudioBuffer<float>& in, int inStart, int length, float gain = 1.0f)
    {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < length; ++i)
                if (out.getSample(channel, outStart + i) != gain * in.getSample(channel, inStart + i))
                {
                    ADD_FAILURE() << "channel " << channel << " sample " << i << ": "
                                  << out.getSample(channel, outStart + i)
                                  << " != " << gain * in.getSample(channel, inStart + i);
                    return;
                }
    }

    static bool silentFrom(const juce::AudioBuffer<float>& out, int start)
    {
        return PlaybackProbe::endOfSound(out, 0.0f) <= start;
    }

    std::unique_ptr<CourseAudio> course;
    AudioSentencesPlayer player;
    Heard heard;
};

struct CueCase
{
    int start;
    int length;
    double fromSeconds;
};

TEST_F(SentencePlayerTest, PlaysTheCuedSentenceFromThePositionGivenToItsLastSampleThenSilence)
{
    useCourse(PlaybackProbe::noise(2, 3 * 44100));

    const CueCase cases[] = {
        {0, 30000, 0.0},            // the course's own first sample
        {44100, 20480, 0.0},        // ends on a block boundary
        {50000, 1021, 0.0},         // ends inside the second block
        {70001, 40000, 0.5},        // from half a second into the sentence
        {80000, 44100, 0.25},       //
        {3 * 44100 - 700, 700, 0.0} // the course's last sample
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << "sentence " << c.start << " + " << c.length << " from " << c.fromSeconds);
        cue(c.start, c.length);
        player.start(c.fromSeconds);

        const auto offset = (int)(c.fromSeconds * 44100);
        const auto toPlay = c.length - offset;
        const auto out = pull(toPlay / blockSize + 3);

        expectSamples(out, 0, course->read(c.start + offset, toPlay), 0, toPlay);
        EXPECT_TRUE(silentFrom(out, toPlay));
        EXPECT_FALSE(player.transportSource.isPlaying());
        EXPECT_NEAR(player.transportSource.getLengthInSeconds(), c.length / 44100.0, 1e-9);
    }
}

struct EndCase
{
    const char* name;
    bool stopByUser;
    const char* expected;
};

TEST_F(SentencePlayerTest, OnlyTheNaturalEndReportsSentenceFinishedOnceOnTheMessageThread)
{
    useCourse(PlaybackProbe::noise(2, 44100));

    const EndCase cases[] = {
        {"played to its end", false, "started finished"},
        {"stopped by the user", true, "started stopped"},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        heard.calls.clear();
        cue(1000, 10000);
        player.start(0.0);
        pull(5);

        if (c.stopByUser)
            player.stop();

        pull(30);
        pumpMessages();
        EXPECT_EQ(heard.text(), c.expected);
        EXPECT_TRUE(heard.allOnMessageThread);
        EXPECT_FALSE(player.transportSource.isPlaying());
    }
}

TEST_F(SentencePlayerTest, AfterTheEndTheTransportRestsAtTheSentencesEndAndPlayingAgainFinishesAgain)
{
    useCourse(PlaybackProbe::noise(2, 44100));
    cue(0, 5000);
    player.start(0.0);
    pull(20);
    pumpMessages();
    EXPECT_GE(player.transportSource.getCurrentPosition(), 5000 / 44100.0);

    player.start(-1.0);
    EXPECT_TRUE(silentFrom(pull(20), 0));
    pumpMessages();
    EXPECT_EQ(heard.text(), "started finished started finished");
}

TEST_F(SentencePlayerTest, StartWithoutAPositionContinuesWhereStopLeftAndZeroRestarts)
{
    useCourse(PlaybackProbe::noise(2, 44100));
    const auto sentence = course->read(2000, 30000);
    cue(2000, 30000);
    player.start(0.0);
    pull(10);
    player.stop();
    pull(1); // the device plays out the faded last block

    // The transport's resampler reads a few samples ahead of what was heard.
    const auto heardUpTo = 11 * blockSize;
    EXPECT_NEAR((double)player.transportSource.getNextReadPosition(), heardUpTo, 4);

    player.start(-1.0);
    expectSamples(pull(4), 0, sentence, heardUpTo, 4 * blockSize);

    player.start(0.0);
    expectSamples(pull(4), 0, sentence, 0, 4 * blockSize);
    pumpMessages();
    EXPECT_EQ(heard.text(), "started stopped started started");
}

TEST_F(SentencePlayerTest, CueingWhilePlayingSwitchesToTheNewSentenceFromItsStartTellingNoOne)
{
    useCourse(PlaybackProbe::noise(2, 44100));
    cue(0, 20000);
    player.start(0.0);
    pull(5);
    heard.calls.clear();

    player.setAudioSource(course->sentence(30000, 8000));
    EXPECT_TRUE(player.transportSource.isPlaying());
    const auto out = pull(20);
    expectSamples(out, 0, course->read(30000, 8000), 0, 8000);
    EXPECT_TRUE(silentFrom(out, 8000));

    pumpMessages();
    EXPECT_EQ(heard.text(), "finished"); // the new sentence's own end, and nothing about the switch
}

TEST_F(SentencePlayerTest, CueingNothingLeavesNothingCuedAndReportsOneStopPlayingOrNot)
{
    useCourse(PlaybackProbe::noise(2, 44100));

    for (const bool playing : {false, true})
    {
        SCOPED_TRACE(playing ? "playing" : "cued");
        cue(0, 20000);
        if (playing)
        {
            player.start(0.0);
            pull(2);
        }
        heard.calls.clear();

        player.setAudioSource(nullptr);
        EXPECT_EQ(player.effectSource, nullptr);
        EXPECT_TRUE(silentFrom(pull(4), 0));
        pumpMessages();
        EXPECT_EQ(heard.text(), "stopped");
    }
}

TEST_F(SentencePlayerTest, ValueInitWhilePlayingLeavesItSilentEmptyAtUnitGainWithoutAFinish)
{
    useCourse(PlaybackProbe::noise(2, 44100));
    player.gain = 3.0f;
    cue(0, 20000);
    player.start(0.0);
    pull(3);
    heard.calls.clear();

    player.valueInit();
    EXPECT_EQ(player.effectSource, nullptr);
    EXPECT_EQ(player.gain.load(), 1.0f);
    EXPECT_TRUE(silentFrom(pull(4), 0));
    pumpMessages();
    EXPECT_EQ(heard.text(), "");
}

TEST_F(SentencePlayerTest, AGainChangeRampsLinearlyAcrossTheNextBlockThenHolds)
{
    useCourse(CourseAudio::constant(44100, 0.25f));
    cue(0, 20000);
    player.start(0.0);
    EXPECT_EQ(pull(1).getSample(0, 100), 0.25f);

    // As the mixer panel writes a new volume.
    player.gain = 2.0f;
    player.effectSource->gain = 2.0f;
    const auto out = pull(3);

    for (int channel = 0; channel < 2; ++channel)
    {
        for (int i = 0; i < lookAhead; ++i)
            ASSERT_EQ(out.getSample(channel, i), 0.25f) << i;
        for (int i = 0; i < blockSize; ++i)
            ASSERT_NEAR(out.getSample(channel, lookAhead + i), 0.25f * (1.0f + (float)i / blockSize), 1e-5f)
                << i;
        for (int i = lookAhead + blockSize; i < out.getNumSamples(); ++i)
            ASSERT_EQ(out.getSample(channel, i), 0.5f) << i;
    }
}

TEST_F(SentencePlayerTest, ANewlyCuedSentenceIsAtThePlayersGainFromItsFirstSample)
{
    useCourse(PlaybackProbe::noise(2, 44100));
    const auto sentence = course->read(500, 5000);

    for (const float gain : {0.0f, 0.5f, 4.0f})
    {
        SCOPED_TRACE(gain);
        player.gain = gain;
        cue(500, 5000);
        player.start(0.0);
        expectSamples(pull(4), 0, sentence, 0, 4 * blockSize, gain);
    }
}

TEST_F(SentencePlayerTest, ACourseAtHalfTheDeviceRatePlaysAtItsTrueSpeed)
{
    // A 441 Hz tone at 22050 Hz (50 samples a cycle), cued as one sentence that ends near a peak
    // and played on a 44100 Hz device.
    const int length = 11013;
    useCourse(AudioFixtures::silenceThenSine(2, 22050, 0.0, 1.0, 441.0, 0.5f), 22050);
    cue(0, length, 44100);
    player.start(0.0);
    const auto out = pull(50);

    EXPECT_NEAR(player.transportSource.getLengthInSeconds(), length / 22050.0, 1e-4);
    EXPECT_NEAR(PlaybackProbe::endOfSound(out, 0.05f), 2 * length, 4);
    EXPECT_NEAR(PlaybackProbe::frequencyOf(out, 0, 1000, 21000, 44100), 441.0, 0.5);
    pumpMessages();
    EXPECT_EQ(heard.text(), "started finished");
}

//==============================================================================
/** The gain stage on its own, over a course of constant samples, pulled as the transport pulls it. */
class GainStageTest : public testing::Test
{
protected:
    GainStageTest() { source.prepareToPlay(blockSize, 44100.0); }

    /** The gain applied to each sample of the next pieces pulled one after the other. */
    std::vector<float> gainsOf(std::initializer_list<int> pieces)
    {
        std::vector<float> gains;
        for (const int piece : pieces)
        {
            juce::AudioBuffer<float> block(2, piece);
            source.getNextAudioBlock(juce::AudioSourceChannelInfo(block));
            for (int i = 0; i < piece; ++i)
            {
                EXPECT_EQ(block.getSample(0, i), block.getSample(1, i));
                gains.push_back(block.getSample(0, i) / value);
            }
        }
        return gains;
    }

    static constexpr float value = 0.25f;
    CourseAudio course{CourseAudio::constant(3 * 44100, value), 44100.0};
    EffectAudioSource source{course.sentence(0, 3 * 44100), true};
};

TEST_F(GainStageTest, AChangeRampsOverOneBlockHoweverThePullIsCut)
{
    // The transport's resampler pulls in pieces cut by its ring buffer: the ramp must not shrink
    // to the size of a piece.
    const std::initializer_list<int> cuts[] = {{512, 512}, {29, 483, 512}, {1, 511, 512}, {300, 300, 424}};

    for (const auto& cut : cuts)
    {
        SCOPED_TRACE(testing::Message() << "first piece " << *cut.begin());
        source.gain = 1.0f;
        gainsOf({2048});

        source.gain = 3.0f;
        const auto gains = gainsOf(cut);
        ASSERT_EQ(gains.size(), 1024u);

        for (int i = 0; i < blockSize; ++i)
            ASSERT_NEAR(gains[(size_t)i], 1.0f + 2.0f * (float)i / blockSize, 1e-4f) << i;
        for (int i = blockSize; i < 1024; ++i)
            ASSERT_EQ(gains[(size_t)i], 3.0f) << i;
    }
}

TEST_F(GainStageTest, AGainSetWithoutARampHoldsFromTheNextSampleAndLaterChangesRampFromIt)
{
    for (const bool midRamp : {false, true})
    {
        SCOPED_TRACE(midRamp ? "set in the middle of a ramp" : "set before anything played");
        if (midRamp)
        {
            source.gain = 3.0f;
            gainsOf({100});
        }
        source.setGainWithoutRamp(0.5f);
        for (const auto g : gainsOf({blockSize}))
            ASSERT_EQ(g, 0.5f);

        source.gain = 1.0f;
        const auto gains = gainsOf({blockSize});
        ASSERT_NEAR(gains.front(), 0.5f, 1e-4f);
        ASSERT_NEAR(gains.back(), 1.0f, 1e-3f);
    }
}

TEST_F(GainStageTest, GainWrittenFromAnotherThreadIsReadOncePerBlock)
{
    std::atomic<bool> writing{true};
    std::thread writer(
        [&]
        {
            for (int n = 0; writing; ++n)
                source.gain = (n % 2 == 0) ? 0.5f : 2.0f;
        });
    while (source.gain == 1.0f)
        std::this_thread::yield();

    std::vector<std::vector<float>> blocks;
    for (int b = 0; b < 200; ++b)
        blocks.push_back(gainsOf({blockSize}));

    writing = false;
    writer.join();

    // Every block is one straight ramp that ends at one of the gains written, never a mix of
    // values read at different moments inside one block.
    const auto isWritten = [](float g) { return std::abs(g - 0.5f) < 1e-3f || std::abs(g - 2.0f) < 1e-3f; };

    for (size_t b = 1; b < blocks.size(); ++b)
    {
        const auto& gains = blocks[b];
        const auto step = gains[1] - gains[0];
        ASSERT_TRUE(isWritten(gains[0])) << "block " << b << " starts at " << gains[0];
        ASSERT_TRUE(isWritten(gains[0] + step * blockSize)) << "block " << b;

        for (int i = 0; i < blockSize; ++i)
            ASSERT_NEAR(gains[(size_t)i], gains[0] + step * (float)i, 1e-4f)
                << "block " << b << " sample " << i;
    }
}

//==============================================================================
/** Needs a running device: the test command starts a JACK dummy server and says so. */
bool deviceExpected()
{
    return juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) == "1";
}

TEST(SentencePlayerOnADevice, ASentencePlaysInRealTimeAndOnlyItsEndIsReported)
{
    if (!deviceExpected())
        GTEST_SKIP() << "no audio device expected on this machine";

    CourseAudio course(AudioFixtures::silenceThenSine(2, 44100, 0.0, 2.0, 440.0, 0.5f), 44100);
    AudioSentencesPlayer player;
    Heard heard;
    player.addListener(&heard);

    // Goes before the player, so that its device no longer calls the player when that goes.
    juce::AudioDeviceManager devices;
    devices.initialise(0, 2, nullptr, true);
    ASSERT_NE(devices.getCurrentAudioDevice(), nullptr);
    const auto rate = devices.getCurrentAudioDevice()->getCurrentSampleRate();
    // As the mixer panel does: its callback forwards every device block to the source player.
    devices.addAudioCallback(&player.sourcePlayer);

    // Stopped half-way: no finish.
    player.setAudioSource(course.sentence(0, 44100));
    player.start(0.0);
    ASSERT_TRUE(
        PlaybackProbe::pumpUntil([&] { return player.transportSource.getCurrentPosition() > 0.2; }, 10000));
    player.stop();
    const auto stoppedAt = player.transportSource.getCurrentPosition();
    EXPECT_LT(stoppedAt, 0.9);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(300);
    EXPECT_EQ(heard.text(), "started stopped");

    // Played to the end: the position grows with the device's clock, then one finish.
    heard.calls.clear();
    player.setAudioSource(course.sentence(44100, 22050));
    player.start(0.0);
    PlaybackProbe::expectPlaysThrough(
        player.transportSource, [&] { return heard.calls.contains("finished"); }, 20000);

    juce::MessageManager::getInstance()->runDispatchLoopUntil(300);
    EXPECT_EQ(heard.text(), "started finished");
    EXPECT_TRUE(heard.allOnMessageThread);
    EXPECT_GE(player.transportSource.getCurrentPosition(), 0.5 * 44100 / rate);
}
} // namespace
