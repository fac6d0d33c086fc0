// The file player, pulled block by block as the device manager pulls it, and through a running
// device.
#include "engine/audio/AudioDataPlayer.h"
#include "harness/AudioFixtures.h"
#include "harness/PlaybackProbe.h"
#include "harness/ProcessWideObjects.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
constexpr int blockSize = 512;

/** What the player told its listeners, in order, and whether every call came on the message thread. */
struct Heard : AudioDataPlayer::Listener
{
    explicit Heard(juce::String nameToUse = {}) : name(std::move(nameToUse)) {}

    void playFinished(AudioDataPlayer* p) override { note("finished", p); }
    void playerStarted(AudioDataPlayer* p) override { note("started", p); }
    void playerStopped(AudioDataPlayer* p) override { note("stopped", p); }

    void note(const juce::String& call, AudioDataPlayer* player)
    {
        calls.add(name.isEmpty() ? call : name);
        allOnMessageThread &= juce::MessageManager::getInstance()->isThisTheMessageThread();
        if (onCall)
            onCall(*player);
    }

    juce::String text() const { return calls.joinIntoString(" "); }

    juce::String name;
    juce::StringArray calls;
    bool allOnMessageThread = true;
    std::function<void(AudioDataPlayer&)> onCall;
};

/** The samples a WAV file holds, read back as the player reads them. */
juce::AudioBuffer<float> readBack(const juce::File& file)
{
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(file));
    juce::AudioBuffer<float> samples((int)reader->numChannels, (int)reader->lengthInSamples);
    reader->read(&samples, 0, samples.getNumSamples(), 0, true, true);
    return samples;
}

class DataPlayerTest : public testing::Test
{
protected:
    DataPlayerTest() { player.addListener(&heard); }

    juce::File writeFile(const juce::String& name, const juce::AudioBuffer<float>& samples, double rate)
    {
        const auto file = juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile(name);
        EXPECT_TRUE(AudioFixtures::writeWav(file, samples, rate));
        return file;
    }

    /** Loads the file into a player prepared as a device at this rate would prepare it, and waits
        until the read-ahead thread holds all of it (test files are shorter than its buffer). */
    void load(const juce::File& file, double deviceRate = 44100.0)
    {
        player.sourcePlayer.prepareToPlay(deviceRate, blockSize);
        player.setAudioSource(file);
        ASSERT_NE(player.readerSource, nullptr);

        const auto buffered = player.readerSource->getTotalLength() + 2048;
        ASSERT_TRUE(PlaybackProbe::pumpUntil(
            [&] { return player.readerSource->getNextReadPosition() >= buffered; }, 10000));
    }

    juce::AudioBuffer<float> pull(int numBlocks)
    {
        return PlaybackProbe::pull(player.sourcePlayer, 2, numBlocks, blockSize);
    }

    static void pumpMessages() { juce::MessageManager::getInstance()->runDispatchLoopUntil(100); }

    ProcessWideObjects objects; // an audio device manager with no device open
    AudioDataPlayer player;
    Heard heard;
};

TEST_F(DataPlayerTest, AFileTheFormatManagerCannotReadLeavesThePlayerEmptyAndSilent)
{
    const auto file =
        juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile("broken.wav");
    ASSERT_TRUE(file.replaceWithText("not audio at all"));
    player.sourcePlayer.prepareToPlay(44100.0, blockSize);
    player.setAudioSource(file);
    EXPECT_EQ(player.readerSource, nullptr);

    player.start();
    EXPECT_FALSE(player.transportSource.isPlaying());
    EXPECT_EQ(PlaybackProbe::endOfSound(pull(4), 0.0f), 0);
    pumpMessages();
    EXPECT_EQ(heard.text(), "started");
}

TEST_F(DataPlayerTest, TheFilesFirstTwoChannelsReachBothOutputsAndAMonoFileReachesEach)
{
    for (const int numChannels : {1, 2, 3})
    {
        SCOPED_TRACE(testing::Message() << numChannels << " channels");
        const auto file = writeFile("channels.wav", PlaybackProbe::noise(numChannels, 20000), 44100);
        const auto in = readBack(file);
        load(file);
        player.start();
        const auto out = pull(45);

        for (int output = 0; output < 2; ++output)
        {
            const int channel = juce::jmin(output, numChannels - 1);
            for (int i = 0; i < 20000; ++i)
                ASSERT_EQ(out.getSample(output, i), in.getSample(channel, i))
                    << "output " << output << " sample " << i;
        }
        EXPECT_EQ(PlaybackProbe::endOfSound(out, 0.0f), 20000);
        player.setAudioSource(nullptr);
    }
}

struct RateCase
{
    double fileRate;
    double deviceRate;
    int length; // ends the 441 Hz tone near a peak, so that its end is easy to find
};

TEST_F(DataPlayerTest, AFileAtAnotherRateThanTheDevicesPlaysAtItsTrueSpeed)
{
    const RateCase cases[] = {{22050, 44100, 11013}, {48000, 44100, 10912}};

    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.fileRate << " Hz on " << c.deviceRate << " Hz");
        const auto file = writeFile(
            "rate.wav", AudioFixtures::silenceThenSine(1, c.fileRate, 0.0, 1.0, 441.0, 0.5f), c.fileRate);
        {
            // Cut to length with the framework's writer: silenceThenSine makes whole seconds.
            auto whole = readBack(file);
            whole.setSize(1, c.length, true);
            writeFile("rate.wav", whole, c.fileRate);
        }
        load(file, c.deviceRate);
        player.start();
        const auto out = pull(50);
        const auto played = c.length * c.deviceRate / c.fileRate;

        EXPECT_NEAR(player.transportSource.getLengthInSeconds(), c.length / c.fileRate, 1e-4);
        EXPECT_NEAR(PlaybackProbe::endOfSound(out, 0.05f), played, 4);
        EXPECT_NEAR(PlaybackProbe::frequencyOf(out, 1, 500, (int)played - 500, c.deviceRate), 441.0, 0.5);
        player.setAudioSource(nullptr);
    }
}

struct EndCase
{
    const char* name;
    std::function<void(AudioDataPlayer&, const juce::File& other, const std::function<void(int)>& pull)>
        afterStart;
    const char* expected;
};

TEST_F(DataPlayerTest, OnlyAStopByItselfReportsPlayFinished)
{
    const auto file = writeFile("short.wav", PlaybackProbe::noise(2, 8000), 44100);
    const auto other = writeFile("other.wav", PlaybackProbe::noise(2, 8000), 44100);

    using Pull = std::function<void(int)>;
    const EndCase cases[] = {
        {"played to its end", [](AudioDataPlayer&, const juce::File&, const Pull& pull) { pull(30); },
         "started finished"},
        {"stopped",
         [](AudioDataPlayer& p, const juce::File&, const Pull& pull)
         {
             pull(3);
             p.stop();
             pull(30);
         },
         "started stopped"},
        {"replaced while playing",
         [](AudioDataPlayer& p, const juce::File& f, const Pull& pull)
         {
             pull(3);
             p.setAudioSource(f);
         },
         "started finished"},
        {"replaced and started at once",
         [](AudioDataPlayer& p, const juce::File& f, const Pull& pull)
         {
             pull(3);
             p.setAudioSource(f);
             p.start();
         },
         "started started"},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        heard.calls.clear();
        load(file);
        player.start();
        c.afterStart(player, other, [this](int numBlocks) { pull(numBlocks); });
        pumpMessages();
        EXPECT_EQ(heard.text(), c.expected);
        EXPECT_TRUE(heard.allOnMessageThread);
    }
}

TEST_F(DataPlayerTest, AfterTheEndStartingAgainWithoutSeekingPlaysNothingAndFinishesAgain)
{
    load(writeFile("short.wav", PlaybackProbe::noise(2, 8000), 44100));
    player.start();
    pull(30);
    pumpMessages();
    EXPECT_GE(player.transportSource.getCurrentPosition(), 8000 / 44100.0);

    player.start();
    EXPECT_EQ(PlaybackProbe::endOfSound(pull(10), 0.0f), 0);
    EXPECT_FALSE(player.transportSource.isPlaying());
    pumpMessages();
    EXPECT_EQ(heard.text(), "started finished started finished");
}

TEST_F(DataPlayerTest, ListenersAreCalledFromTheLastRegisteredAndMayRemoveListenersDuringTheCall)
{
    player.removeListener(&heard);
    Heard first("first"), second("second"), third("third");
    juce::StringArray order;
    for (auto* listener : {&first, &second, &third})
    {
        player.addListener(listener);
        player.addListener(listener); // a second time changes nothing
        listener->onCall = [&order, listener](AudioDataPlayer&) { order.add(listener->name); };
    }

    player.start();
    EXPECT_EQ(order.joinIntoString(" "), "third second first");

    // The last one removes itself and the first; the middle one is still called, once.
    order.clear();
    third.onCall = [&](AudioDataPlayer& p)
    {
        order.add("third");
        p.removeListener(&third);
        p.removeListener(&first);
    };
    player.stop();
    EXPECT_EQ(order.joinIntoString(" "), "third second");
}

//==============================================================================
TEST(DataPlayerWithoutADevice, ConstructsPlaysAndGoesWithoutHarm)
{
    // No process-wide objects at all, then a device manager that opened no device.
    for (const bool withManager : {false, true})
    {
        SCOPED_TRACE(withManager ? "a device manager without a device" : "no device manager");
        std::unique_ptr<ProcessWideObjects> objects;
        if (withManager)
            objects = std::make_unique<ProcessWideObjects>();

        juce::TemporaryFile file(".wav");
        ASSERT_TRUE(AudioFixtures::writeWav(file.getFile(), PlaybackProbe::noise(2, 4410), 44100));

        Heard heard;
        {
            AudioDataPlayer player;
            player.addListener(&heard);
            EXPECT_TRUE(player.readAheadThread.isThreadRunning());
            EXPECT_EQ(player.readAheadThread.getThreadName(), "AudioDataPlayer's TimeSliceThread");

            player.setAudioSource(
                juce::WavAudioFormat().createReaderFor(file.getFile().createInputStream().release(), true));
            EXPECT_NE(player.readerSource, nullptr);
            player.start();
            player.stop();
            player.start(); // destroyed while playing
        }
        juce::MessageManager::getInstance()->runDispatchLoopUntil(100);
        EXPECT_EQ(heard.text(), "started stopped started");
    }
}

/** Needs a running device: the test command starts a JACK dummy server and says so. */
bool deviceExpected()
{
    return juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) == "1";
}

TEST(DataPlayerOnADevice, AFilePlaysInRealTimeToItsEndAndReportsIt)
{
    if (!deviceExpected())
        GTEST_SKIP() << "no audio device expected on this machine";

    ProcessWideObjects objects;
    deviceManager->initialise(0, 2, nullptr, true);
    ASSERT_NE(deviceManager->getCurrentAudioDevice(), nullptr);

    const auto file =
        juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile("second.wav");
    ASSERT_TRUE(AudioFixtures::writeWav(file, AudioFixtures::silenceThenSine(2, 44100, 0.0, 1.0, 440.0, 0.5f),
                                        44100));

    AudioDataPlayer player;
    Heard heard;
    player.addListener(&heard);
    player.setAudioSource(file);
    EXPECT_NEAR(player.transportSource.getLengthInSeconds(), 1.0, 1e-3);

    player.start();
    PlaybackProbe::expectPlaysThrough(
        player.transportSource, [&] { return heard.calls.contains("finished"); }, 30000);

    juce::MessageManager::getInstance()->runDispatchLoopUntil(300);
    EXPECT_EQ(heard.text(), "started finished");
    EXPECT_TRUE(heard.allOnMessageThread);
    EXPECT_GE(player.transportSource.getCurrentPosition(), 1.0);

    // A player that goes while the device pulls it takes its callback away first.
    {
        AudioDataPlayer another;
        another.setAudioSource(file);
        another.start();
        ASSERT_TRUE(PlaybackProbe::pumpUntil(
            [&] { return another.transportSource.getCurrentPosition() > 0.1; }, 10000));
    }
    EXPECT_NE(deviceManager->getCurrentAudioDevice(), nullptr);
}
} // namespace
