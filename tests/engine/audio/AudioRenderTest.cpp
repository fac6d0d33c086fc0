// The renderer, run behind its real progress window and read back from the Ogg Vorbis file it
// wrote: repetitions, pauses as ratios of their piece, resampling, the mono sum, the gain, the
// settings it clamps or refuses, and the failures that must leave no file.
#include "engine/audio/AudioRender.h"
#include "engine/audio/SilenceAudioSource.h"

#include "harness/AudioFixtures.h"
#include "harness/FileFaults.h"
#include "harness/ModalAnswerer.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <cmath>

using juce::File;

namespace
{
const double rate = 44100.0;

/** A reader over the samples, as a 16-bit WAV held in memory. */
juce::AudioFormatReader* readerOf(const juce::AudioBuffer<float>& samples, double sampleRate = rate)
{
    juce::MemoryBlock wav;
    {
        auto* stream = new juce::MemoryOutputStream(wav, false);
        std::unique_ptr<juce::AudioFormatWriter> writer(juce::WavAudioFormat().createWriterFor(
            stream, sampleRate, (unsigned int)samples.getNumChannels(), 16, {}, 0));
        EXPECT_NE(writer, nullptr);
        writer->writeFromAudioSampleBuffer(samples, 0, samples.getNumSamples());
    }
    return juce::WavAudioFormat().createReaderFor(new juce::MemoryInputStream(wav, true), true);
}

juce::AudioBuffer<float> tone(double seconds, float gain, int channels = 1, double sampleRate = rate)
{
    return AudioFixtures::silenceThenSine(channels, sampleRate, 0.0, seconds, 440.0, gain);
}

struct Decoded
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 0.0;
};

Decoded decode(const File& file)
{
    Decoded result;
    std::unique_ptr<juce::AudioFormatReader> reader(
        juce::OggVorbisAudioFormat().createReaderFor(file.createInputStream().release(), true));
    EXPECT_NE(reader, nullptr) << file.getFullPathName();
    if (reader == nullptr)
        return result;
    result.sampleRate = reader->sampleRate;
    result.samples.setSize((int)reader->numChannels, (int)reader->lengthInSamples);
    reader->read(&result.samples, 0, result.samples.getNumSamples(), 0, true, true);
    return result;
}

/** The RMS of a channel between two times, in seconds. */
float rmsBetween(const Decoded& decoded, double from, double to, int channel = 0)
{
    const int start = (int)(from * decoded.sampleRate);
    const int end = juce::jmin(decoded.samples.getNumSamples(), (int)(to * decoded.sampleRate));
    return end > start ? decoded.samples.getRMSLevel(channel, start, end - start) : 0.0f;
}

const float sineRms = 1.0f / std::sqrt(2.0f);

class AudioRenderTest : public testing::Test
{
protected:
    /** Renders at the settings, letting the progress window run. */
    bool render(AudioRender& job, double sampleRate = rate, unsigned int channels = 1, int quality = 6)
    {
        ModalAnswerer answerer;
        answerer.letProgressRun();
        return job.render(output, sampleRate, channels, quality);
    }

    File output = makeScratchFolder("render").getChildFile("out.ogg");
};
} // namespace

TEST_F(AudioRenderTest, EveryRepetitionIsFollowedByItsPauseAsARatioOfThePiece)
{
    struct Case
    {
        const char* what;
        int repeats;
        double ratio;
        double outputRate;
        double expectedSeconds;
    };
    const Case cases[] = {
        {"one play with 0.9 of its length as a pause", 1, 0.9, rate, 3.8},
        {"three plays without pauses", 3, 0.0, rate, 6.0},
        {"a repeat count of 0 adds nothing", 0, 0.9, rate, 0.0},
        {"half the rate writes half the samples", 1, 0.9, 22050.0, 3.8},
    };
    for (const auto& c : cases)
    {
        AudioRender job;
        job.addAudioSource(readerOf(tone(2.0, 0.5f)), c.repeats, c.ratio);
        ASSERT_TRUE(render(job, c.outputRate)) << c.what;

        const auto decoded = decode(output);
        EXPECT_EQ(decoded.sampleRate, c.outputRate) << c.what;
        EXPECT_EQ(decoded.samples.getNumSamples(), juce::roundToInt(c.expectedSeconds * c.outputRate))
            << c.what;
        if (c.ratio > 0.0 && c.repeats > 0)
        {
            EXPECT_NEAR(rmsBetween(decoded, 0.1, 1.9), 0.5f * sineRms, 0.02f) << c.what;
            EXPECT_LT(rmsBetween(decoded, 2.1, 3.8), 0.005f) << c.what;
        }
        if (c.repeats == 3)
        {
            for (double at = 0.0; at < 6.0; at += 0.5)
                EXPECT_GT(rmsBetween(decoded, at, at + 0.5), 0.3f) << c.what << " at " << at;
        }
    }
}

TEST_F(AudioRenderTest, MonoOutputHalvesTheSumOfTwoChannelsAndKeepsAMonoPiece)
{
    juce::AudioBuffer<float> stereo = tone(1.0, 0.4f, 2);
    stereo.applyGain(1, 0, stereo.getNumSamples(), 0.5f); // the right channel at 0.2

    AudioRender job;
    job.addAudioSource(readerOf(stereo), 1, 0.0);
    job.addAudioSource(readerOf(tone(1.0, 0.4f)), 1, 0.0);
    job.setAudioEffects(0.5f);
    // Set before this piece came: it keeps its gain of 1.
    job.addAudioSource(readerOf(tone(1.0, 0.4f)), 1, 0.0);
    ASSERT_TRUE(render(job, rate, 1));

    const auto mono = decode(output);
    ASSERT_EQ(mono.samples.getNumChannels(), 1);
    EXPECT_NEAR(rmsBetween(mono, 0.2, 0.9), 0.5f * 0.5f * (0.4f + 0.2f) * sineRms, 0.01f);
    EXPECT_NEAR(rmsBetween(mono, 1.2, 1.9), 0.5f * 0.4f * sineRms, 0.01f);
    EXPECT_NEAR(rmsBetween(mono, 2.2, 2.9), 0.4f * sineRms, 0.01f);

    AudioRender stereoJob;
    stereoJob.addAudioSource(readerOf(stereo), 1, 0.0);
    ASSERT_TRUE(render(stereoJob, rate, 2));
    const auto both = decode(output);
    ASSERT_EQ(both.samples.getNumChannels(), 2);
    EXPECT_NEAR(rmsBetween(both, 0.2, 0.9, 0), 0.4f * sineRms, 0.01f);
    EXPECT_NEAR(rmsBetween(both, 0.2, 0.9, 1), 0.2f * sineRms, 0.01f);
}

TEST_F(AudioRenderTest, EveryPieceStartsAtItsOwnLevel)
{
    // A tone at -1 dBFS, as loud as a course may be; rendered at 44100 Hz, two plays of each.
    const float level = juce::Decibels::decibelsToGain(-1.0f);
    const struct
    {
        const char* what;
        int pieceChannels;
        double pieceRate;
        unsigned int channels;
        float gain;
    } cases[] = {
        {"a 48 kHz stereo piece rendered mono", 2, 48000.0, 1, 1.0f},
        {"a mono piece rendered mono", 1, rate, 1, 1.0f},
        {"a stereo piece at half the gain rendered stereo", 2, 48000.0, 2, 0.5f},
    };
    const double seconds = 0.5;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        AudioRender job;
        job.addAudioSource(readerOf(tone(seconds, level, c.pieceChannels, c.pieceRate), c.pieceRate), 2, 0.0);
        job.setAudioEffects(c.gain);
        ASSERT_TRUE(render(job, rate, c.channels));

        const auto decoded = decode(output);
        const auto peakBetween = [&decoded](double from, double to)
        {
            const int start = (int)(from * decoded.sampleRate);
            return decoded.samples.getMagnitude(0, start, (int)(to * decoded.sampleRate) - start);
        };
        for (const double onset : {0.0, seconds})
        {
            // The first 20 ms against the rest of the play.
            EXPECT_NEAR(peakBetween(onset, onset + 0.02), c.gain * level, 0.02f) << "at " << onset;
            EXPECT_NEAR(peakBetween(onset + 0.1, onset + seconds - 0.01), c.gain * level, 0.02f)
                << "at " << onset;
        }
    }
}

TEST_F(AudioRenderTest, PiecesOfDifferentRatesEachKeepTheirOwnLength)
{
    // A cue recorded at 44100 Hz before a sentence of a course recorded at 22050 Hz.
    AudioRender job;
    job.addAudioSource(readerOf(tone(1.0, 0.5f)), 1, 0.0);
    job.addAudioSource(readerOf(tone(2.0, 0.5f, 1, 22050.0), 22050.0), 1, 0.5);
    ASSERT_TRUE(render(job, rate));
    EXPECT_EQ(decode(output).samples.getNumSamples(), (int)(4.0 * rate));
}

TEST_F(AudioRenderTest, AnEmptyQueueGivesAValidFileWithoutAudio)
{
    AudioRender job;
    ASSERT_TRUE(render(job));
    ASSERT_TRUE(output.existsAsFile());
    EXPECT_EQ(decode(output).samples.getNumSamples(), 0);
}

TEST_F(AudioRenderTest, SettingsOutOfRangeAreClampedOrRefused)
{
    {
        // Three channels and a quality past the top become stereo at the best quality.
        AudioRender job;
        job.addAudioSource(readerOf(tone(0.5, 0.5f)), 1, 0.0);
        ASSERT_TRUE(render(job, rate, 3, 99));
        EXPECT_EQ(decode(output).samples.getNumChannels(), 2);
    }
    {
        // A huge repeat count plays the piece at most a hundred times.
        AudioRender job;
        job.addAudioSource(readerOf(tone(0.01, 0.5f)), 1000000000, 0.0);
        ASSERT_TRUE(render(job));
        EXPECT_EQ(decode(output).samples.getNumSamples(), AudioRender::mostRepeats * 441);
    }
    ASSERT_TRUE(output.deleteFile());
    for (const double wrongRate : {0.0, -44100.0, 12345.0, std::nan("")})
    {
        AudioRender job;
        job.addAudioSource(readerOf(tone(0.5, 0.5f)), 1, 0.0);
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(job.render(output, wrongRate, 1, 6)) << wrongRate;
        ASSERT_EQ(answerer.seen().size(), 1u) << wrongRate;
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Message"));
        EXPECT_TRUE(answerer.seen()[0].message.startsWith(
            TRANS("Can't render! The sample rate in the settings isn't supported.")));
        EXPECT_FALSE(output.exists());
    }
}

TEST_F(AudioRenderTest, AFailedOrCancelledRenderLeavesNoFile)
{
    {
        // A full disk: the encoder itself would carry on as if every byte had been written.
        AudioRender job;
        job.addAudioSource(readerOf(tone(10.0, 0.5f)), 1, 0.0);
        FileSizeLimit full(20000);
        EXPECT_FALSE(render(job));
    }
    EXPECT_FALSE(output.exists());

    {
        AudioRender job;
        job.addAudioSource(readerOf(tone(60.0, 0.5f)), 20, 0.0);
        ModalAnswerer answerer;
        answerer.cancelProgressAfter(300);
        EXPECT_FALSE(job.render(output, rate, 1, 6));
    }
    EXPECT_FALSE(output.exists());

    {
        // Something that can't be deleted stands where the file goes.
        ASSERT_TRUE(output.getChildFile("inside").create().wasOk());
        AudioRender job;
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(job.render(output, rate, 1, 6));
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].message, TRANS("Can't render! This file may be using now."));
        EXPECT_TRUE(output.getChildFile("inside").existsAsFile());
    }
}

TEST(SilenceAudioSource, IsSilentForItsLengthWhereverItIsMoved)
{
    SilenceAudioSource silence(12345);
    silence.prepareToPlay(512, rate);
    silence.setNextReadPosition(700);
    juce::AudioBuffer<float> block(2, 512);
    block.clear();
    block.addFrom(0, 0, tone(1.0, 0.5f), 0, 100, 512);
    juce::AudioSourceChannelInfo info(&block, 0, 512);
    silence.getNextAudioBlock(info);

    EXPECT_EQ(block.getMagnitude(0, 512), 0.0f);
    EXPECT_EQ(silence.getTotalLength(), 12345);
    EXPECT_EQ(silence.getNextReadPosition(), 0);
    EXPECT_FALSE(silence.isLooping());
}
