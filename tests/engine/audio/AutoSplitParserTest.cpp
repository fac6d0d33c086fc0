// The silence detection job under settings that only a settings file edited by hand can hold (a
// shortest pause of 0 or less, a huge one, a level above 0 dB, a negative shortest piece, values
// that are not numbers): the job ends, its cuts stay ascending inside the sentence, it never takes
// memory by the block size, and Cancel stops it, also in the middle of one very long block.
#include "engine/audio/AutoSplitParser.h"

#include "engine/SystemModel.h"
#include "harness/AudioFixtures.h"
#include "harness/ModalAnswerer.h"
#include "harness/ProcessWideObjects.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <limits>

namespace
{
constexpr double rate = 44100.0;
constexpr int offset = 123457;

/** Mono float audio made sample by sample, as long as asked (the longest a sentence can be, if
    need be); counts its reads. */
class GeneratedReader : public juce::AudioFormatReader
{
public:
    GeneratedReader(juce::int64 length, std::function<float(juce::int64)> sampleAt)
        : juce::AudioFormatReader(nullptr, "generated"), generate(std::move(sampleAt))
    {
        sampleRate = rate;
        bitsPerSample = 32;
        lengthInSamples = length;
        numChannels = 1;
        usesFloatingPointData = true;
    }

    bool readSamples(int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                     juce::int64 startSampleInFile, int numSamples) override
    {
        ++reads;
        for (int channel = 0; channel < numDestChannels; ++channel)
            if (auto* dest = reinterpret_cast<float*>(destChannels[channel]))
                for (int i = 0; i < numSamples; ++i)
                    dest[startOffsetInDestBuffer + i] = generate(startSampleInFile + i);
        return true;
    }

    std::atomic<int> reads{0};

private:
    std::function<float(juce::int64)> generate;
};

struct Settings
{
    const char* what;
    double pauseSeconds;
    double pieceSeconds;
    float levelDecibels;
};

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

const Settings handEdited[] = {
    {"defaults", 0.5, 2.0, -42.0f},
    {"a shortest pause of 0", 0.0, 2.0, -42.0f},
    {"a negative shortest pause", -3.0, 2.0, -42.0f},
    {"a shortest pause that is not a number", notANumber, 2.0, -42.0f},
    {"a shortest pause of a billion seconds", 1.0e9, 2.0, -42.0f},
    {"an endless shortest pause", infinity, 2.0, -42.0f},
    {"a level above 0 dB", 0.5, 2.0, 20.0f},
    {"a level that is not a number", 0.5, 2.0, (float)notANumber},
    {"a shortest piece of 0", 0.2, 0.0, -42.0f},
    {"a negative shortest piece", 0.0, -5.0, -42.0f},
    {"a shortest piece that is not a number", 0.0, notANumber, -42.0f},
};

void apply(const Settings& settings)
{
    systemModel->autoSplitIntervalMinLength = settings.pauseSeconds;
    systemModel->autoSplitSentenceMinLength = settings.pieceSeconds;
    systemModel->autoSplitIntervalMinLevel = settings.levelDecibels;
}

/** Half a second of tone and a quarter of silence in turn, for half a minute. */
juce::AudioBuffer<float> shortPauses()
{
    std::vector<int> lengths;
    for (int i = 0; i < 40; ++i)
        lengths.insert(lengths.end(), {22050, 11025});
    return AudioFixtures::voicedAndPauses(rate, lengths);
}

/** Polls a condition that another thread makes true; false when the time ran out first. */
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32)timeoutMs;
    while (!condition())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;
        juce::Thread::sleep(1);
    }
    return true;
}

class AutoSplitParserTest : public testing::Test
{
protected:
    ProcessWideObjects objects;
};
} // namespace

TEST_F(AutoSplitParserTest, HandEditedSettingsStillEndWithCutsInsideTheSentence)
{
    const auto audio = shortPauses();
    const int length = audio.getNumSamples();
    for (const auto& settings : handEdited)
    {
        SCOPED_TRACE(settings.what);
        apply(settings);
        auto* reader =
            new GeneratedReader(length, [&audio](juce::int64 i) { return audio.getSample(0, (int)i); });
        AutoSplitParser parser(reader, offset);
        EXPECT_GE(parser.getBlockSize(), 1);
        EXPECT_LE(parser.getBlockSize(), length + 1);

        ModalAnswerer answerer;
        answerer.letProgressRun();
        EXPECT_TRUE(parser.runThread());
        answerer.expectDone();

        // Every piece, the one after the last cut included, holds at least one sample.
        int previous = offset - 1;
        for (const int cut : parser.getCuts())
        {
            EXPECT_GT(cut, previous);
            previous = cut;
        }
        EXPECT_LT(previous, offset + length - 1);
    }
}

TEST_F(AutoSplitParserTest, CancelStopsTheJobWhateverTheSettings)
{
    // The longest sentence there can be, half tone and half silence: far more than the job could
    // finish before it is stopped, and a block of a billion seconds reads it all as one block.
    const auto longest = (juce::int64)std::numeric_limits<int>::max();
    const auto sampleAt = [](juce::int64 i) { return (i / 20000) % 2 == 0 ? 0.5f : 0.0f; };
    for (const auto& settings : handEdited)
    {
        SCOPED_TRACE(settings.what);
        apply(settings);
        {
            // Through the progress window's Cancel button.
            AutoSplitParser parser(new GeneratedReader(longest, sampleAt), offset);
            ModalAnswerer answerer;
            answerer.cancelProgressAfter(100);
            EXPECT_FALSE(parser.runThread());
            answerer.expectDone();
        }

        // Asked to stop while it reads, the job leaves by itself.
        auto* reader = new GeneratedReader(longest, sampleAt);
        AutoSplitParser parser(reader, offset);
        parser.startThread();
        EXPECT_TRUE(waitFor([reader] { return reader->reads >= 3; }));
        parser.signalThreadShouldExit();
        const int readsWhenAsked = reader->reads;
        EXPECT_TRUE(parser.waitForThreadToExit(20000));
        // At most the read under way and one more before the job looks again.
        EXPECT_LE(reader->reads - readsWhenAsked, 2);
    }
}
