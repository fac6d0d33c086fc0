// The recorder fed block by block as a device feeds it, and through the JACK device of the test
// process with a tone client of its own; the recording waveform drawn.
#include "engine/audio/AudioRecorder.h"
#include "engine/audio/RecordingThumbnail.h"
#include "harness/AudioFixtures.h"
#include "harness/JackToneDevice.h"
#include "harness/ModalAnswerer.h"
#include "harness/PlaybackProbe.h"
#include "harness/ProcessWideObjects.h"
#include "harness/RecordingProbe.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace
{
using FakeDevice = RecordingProbe::FakeDevice;

/** A tone in the first input and loud noise in the second: only the first may be recorded. */
juce::AudioBuffer<float> toneWithNoiseBeside(double rate, double seconds, double frequency)
{
    auto input = AudioFixtures::silenceThenSine(2, rate, 0.0, seconds, frequency, 0.5f);
    juce::Random random(3);
    for (int i = 0; i < input.getNumSamples(); ++i)
        input.setSample(1, i, random.nextFloat() * 1.8f - 0.9f);
    return input;
}

/** A start that records nothing, and says so. */
void expectRefusalToStart(AudioRecorder& recorder)
{
    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    EXPECT_FALSE(recorder.startRecording());
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Can't start recording"));
    EXPECT_FALSE(recorder.isRecording());
}

class RecorderTest : public testing::Test
{
protected:
    RecorderTest() : recorder(*deviceManager, waveform.thumbnail) {}

    /** A tone of this long recorded from the device, as a device delivers it. */
    void recordTone(double seconds, double frequency = 440.0)
    {
        recorder.audioDeviceAboutToStart(&device);
        ASSERT_TRUE(recorder.startRecording());
        device.feed(recorder, AudioFixtures::silenceThenSine(1, 44100.0, 0.0, seconds, frequency, 0.5f));
        recorder.stop();
    }

    ProcessWideObjects objects; // the device manager opens no device: the test plays the device
    RecordingThumbnail waveform;
    AudioRecorder recorder;
    FakeDevice device{44100.0, 1};
};

TEST_F(RecorderTest, RecordsTheFirstInputAsMono16BitOggAtTheDevicesRateAndStaysSilent)
{
    FakeDevice twoInputs(48000.0, 2);
    recorder.audioDeviceAboutToStart(&twoInputs);
    EXPECT_EQ(twoInputs.feed(recorder, toneWithNoiseBeside(48000.0, 0.5, 440.0), false), 0.0f)
        << "silent when idle";

    ASSERT_TRUE(recorder.startRecording());
    EXPECT_TRUE(recorder.isRecording());
    EXPECT_EQ(twoInputs.feed(recorder, toneWithNoiseBeside(48000.0, 2.0, 440.0)), 0.0f)
        << "silent while recording";
    EXPECT_NEAR(waveform.thumbnail.getTotalLength(), 2.0, 0.02) << "every block reaches the waveform";
    recorder.stop();
    EXPECT_FALSE(recorder.isRecording());

    const auto heard = RecordingProbe::measure(recorder.getTemporaryFile());
    ASSERT_TRUE(heard.opened);
    EXPECT_EQ(heard.numChannels, 1);
    EXPECT_EQ(heard.bitsPerSample, 16);
    EXPECT_EQ(heard.sampleRate, 48000.0);
    EXPECT_NEAR((double)heard.length, 2.0 * 48000.0, 1024.0);
    EXPECT_NEAR(heard.frequency, 440.0, 0.5);
    EXPECT_NEAR(heard.peak, 0.5f, 0.03f) << "the noise of the second input got in";
    EXPECT_EQ(recorder.getTemporaryFile().getParentDirectory(), AudioRecorder::recordingFolder());
}

TEST_F(RecorderTest, ANewRecordingReplacesTheLastInTheSameFile)
{
    recorder.audioDeviceAboutToStart(&device);
    ASSERT_TRUE(recorder.startRecording());
    device.feed(recorder, AudioFixtures::silenceThenSine(1, 44100.0, 0.0, 2.0, 300.0, 0.5f));
    ASSERT_TRUE(recorder.startRecording()); // while the first runs
    device.feed(recorder, AudioFixtures::silenceThenSine(1, 44100.0, 0.0, 1.0, 1000.0, 0.5f));
    recorder.stop();
    recorder.stop(); // harmless

    const auto heard = RecordingProbe::measure(recorder.getTemporaryFile());
    EXPECT_NEAR((double)heard.length, 44100.0, 1024.0);
    EXPECT_NEAR(heard.frequency, 1000.0, 1.0);
}

TEST_F(RecorderTest, WithoutARunningInputNothingRecordsTheLearnerIsToldAndTheLastRecordingStays)
{
    recordTone(1.0);
    ASSERT_TRUE(recorder.hasRecording());

    FakeDevice withoutInputs(44100.0, 0);
    const struct
    {
        const char* what;
        std::function<void()> makeIt;
    } cases[] = {
        {"device stopped", [&] { recorder.audioDeviceStopped(); }},
        {"device without inputs", [&] { recorder.audioDeviceAboutToStart(&withoutInputs); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        c.makeIt();
        expectRefusalToStart(recorder);
        EXPECT_TRUE(recorder.hasRecording());
    }
}

TEST_F(RecorderTest, SavingMovesTheRecordingOntoTheDestinationOnce)
{
    recordTone(1.0);

    const auto destination = juce::File::getSpecialLocation(juce::File::userHomeDirectory)
                                 .getChildFile("not yet/there/retell.ogg");
    ASSERT_TRUE(destination.create().wasOk());
    ASSERT_TRUE(destination.replaceWithText("the old retelling"));

    EXPECT_TRUE(recorder.saveToFile(destination));
    EXPECT_FALSE(recorder.getTemporaryFile().exists());
    EXPECT_NEAR(RecordingProbe::measure(destination).frequency, 440.0, 0.5);
    EXPECT_FALSE(recorder.saveToFile(destination)) << "nothing left to save";
    EXPECT_TRUE(destination.existsAsFile()) << "a failed save leaves the destination";
}

TEST_F(RecorderTest, BlocksTheWriterCannotTakeAreCountedAndReported)
{
    recorder.audioDeviceAboutToStart(&device);
    ASSERT_TRUE(recorder.startRecording());
    device.feed(recorder, AudioFixtures::silenceThenSine(1, 44100.0, 0.0, 0.5, 440.0, 0.5f));
    // More than the writer's whole queue in one block: it can't be taken.
    device.feed(recorder, AudioFixtures::silenceThenSine(1, 44100.0, 0.0, 1.0, 440.0, 0.5f), false, 40000);
    EXPECT_GE(recorder.getDroppedSamples(), 40000);

    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    recorder.stopAndReport();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].message,
              TRANS("Part of the recording was lost: the computer could not keep up with it."));
    EXPECT_TRUE(recorder.hasRecording()) << "what was written stays";
}

/** Files may grow only to this many bytes while it lives: writes beyond fail as on a full disk. */
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &previous);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(RecorderTest, ARecordingTheDiskCouldNotTakeIsReportedAndDiscarded)
{
    recorder.audioDeviceAboutToStart(&device);
    {
        // Smaller than the stream's headers alone: the file can't be completed.
        FileSizeLimit limit(2048);
        ASSERT_TRUE(recorder.startRecording());
        device.feed(recorder, AudioFixtures::silenceThenSine(1, 44100.0, 0.0, 0.5, 440.0, 0.5f));
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        recorder.stopAndReport();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].message,
                  TRANS("The recording could not be written to the disk and has been discarded."));
    }
    EXPECT_TRUE(recorder.hasWriteFailed());
    EXPECT_FALSE(recorder.hasRecording());
}

TEST(RecorderFolder, LeftoversOfAnEarlierRunAreDeletedButRunningRecordersKeepTheirOwn)
{
    ProcessWideObjects objects;
    const auto left = AudioRecorder::recordingFolder().getChildFile("recording-killed.ogg");
    ASSERT_TRUE(left.create().wasOk());
    AudioRecorder::deleteLeftoverRecordings();
    EXPECT_FALSE(left.exists());

    // Two recorders at once (the notes editor and the interpretation window) never share a file.
    RecordingThumbnail one, two;
    AudioRecorder first(*deviceManager, one.thumbnail), second(*deviceManager, two.thumbnail);
    EXPECT_NE(first.getTemporaryFile(), second.getTemporaryFile());
}

//==============================================================================
/** The colour columns a waveform paints, as a fraction of its width. */
double paintedShare(RecordingThumbnail& waveform)
{
    juce::Image image(juce::Image::ARGB, waveform.getWidth(), waveform.getHeight(), true);
    {
        juce::Graphics g(image);
        waveform.paint(g);
    }
    int rightmost = -1;
    for (int x = 0; x < image.getWidth(); ++x)
        for (int y = 0; y < image.getHeight(); ++y)
            if (image.getPixelAt(x, y).getAlpha() > 0)
                rightmost = x;
    return (rightmost + 1) / (double)waveform.getWidth();
}

TEST_F(RecorderTest, AShortRecordingGrowsInAThirtySecondWindowUnlessShownWhole)
{
    waveform.setSize(606, 45);
    recorder.audioDeviceAboutToStart(&device);
    ASSERT_TRUE(recorder.startRecording());
    device.feed(recorder, AudioFixtures::silenceThenSine(1, 44100.0, 0.0, 5.0, 200.0, 0.8f), false);
    recorder.stop();

    EXPECT_NEAR(paintedShare(waveform), 1.0 / 6.0, 0.02);
    waveform.setDisplayFullThumbnail(true);
    EXPECT_NEAR(paintedShare(waveform), 1.0, 0.02);

    // A saved recording shows the same way; a missing file shows nothing.
    waveform.setAudioSource(recorder.getTemporaryFile());
    EXPECT_TRUE(PlaybackProbe::pumpUntil([&] { return waveform.thumbnail.isFullyLoaded(); }, 10000));
    EXPECT_NEAR(paintedShare(waveform), 1.0, 0.02);
    waveform.setAudioSource(juce::File());
    EXPECT_EQ(paintedShare(waveform), 0.0);
}

//==============================================================================
/** The process's own JACK device on a tone client of its own, with a recorder on it. */
class RecorderOnJack : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!JackToneDevice::isServerExpected())
            GTEST_SKIP() << "no JACK server expected on this machine";
        ASSERT_TRUE(tone.isRunning());
    }

    void TearDown() override { deviceManager->closeAudioDevice(); }

    ProcessWideObjects objects;
    JackToneDevice tone{440.0, 0.5f};
    RecordingThumbnail waveform;
    AudioRecorder recorder{*deviceManager, waveform.thumbnail};
};

TEST_F(RecorderOnJack, RecordsTheToneFedIntoTheProcesssOwnInputAndPlaysNothing)
{
    ASSERT_EQ(tone.openAsDevice(*deviceManager, true), "");
    auto* device = deviceManager->getCurrentAudioDevice();
    ASSERT_EQ(device->getActiveInputChannels().countNumberOfSetBits(), 1);
    ASSERT_EQ(tone.getListenConnections(), 2) << "both outputs of the device reach the listening ports";

    ASSERT_TRUE(recorder.startRecording());
    tone.resetHeard();
    ASSERT_TRUE(PlaybackProbe::pumpUntil([&] { return waveform.thumbnail.getTotalLength() >= 3.0; }, 30000));
    recorder.stop();

    EXPECT_GT(tone.getFramesHeard(), 0);
    EXPECT_EQ(tone.getLoudestHeard(), 0.0f) << "the device played something while recording";

    const auto heard = RecordingProbe::measure(recorder.getTemporaryFile());
    ASSERT_TRUE(heard.opened);
    EXPECT_EQ(heard.numChannels, 1);
    EXPECT_EQ(heard.bitsPerSample, 16);
    EXPECT_EQ(heard.sampleRate, device->getCurrentSampleRate());
    EXPECT_GE(heard.length, (juce::int64)(3.0 * tone.getSampleRate()));
    EXPECT_NEAR(heard.frequency, 440.0, 0.5);
    EXPECT_NEAR(heard.rms, 0.5f / std::sqrt(2.0f), 0.02f);
    EXPECT_EQ(recorder.getDroppedSamples(), 0);
}

TEST_F(RecorderOnJack, ADeviceWithoutInputRecordsNothingAndSaysSo)
{
    ASSERT_EQ(tone.openAsDevice(*deviceManager, false), "");
    expectRefusalToStart(recorder);
}
} // namespace
