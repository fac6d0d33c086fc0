// The MP3 reader against files that lame encodes at test time from a known tone: the length, the
// onset and the waveform must be the source's (the encoder's delay and padding trimmed), reads
// are sample-exact wherever they start, and what isn't MPEG audio is refused.
#include "platform/Mp3AudioFormat.h"
#include "harness/AudioFixtures.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
struct EncodingCase
{
    const char* name;
    double sampleRate;
    int channels;
    const char* lameOptions; // separated by spaces
};

const EncodingCase encodingCases[] = {
    {"Cbr128Stereo44k", 44100.0, 2, "--cbr -b 128"},
    {"Vbr4Stereo44k", 44100.0, 2, "-V 4"},
    {"Cbr128Mono44k", 44100.0, 1, "--cbr -b 128"},
    {"Vbr4Mono44k", 44100.0, 1, "-V 4"},
    {"Cbr128Stereo22k", 22050.0, 2, "--cbr -b 128"},
    {"Vbr4Stereo22k", 22050.0, 2, "-V 4"},
    {"Cbr128Mono22k", 22050.0, 1, "--cbr -b 128"},
    {"Vbr4Mono22k", 22050.0, 1, "-V 4"},
    // Files out in the world mostly start with a tag, often a large one.
    {"Vbr4Stereo44kTagged", 44100.0, 2, "-V 4 --add-id3v2 --tt Lesson --pad-id3v2-size 3000"},
};

void PrintTo(const EncodingCase& encoding, std::ostream* out)
{
    *out << encoding.name;
}

constexpr double silenceSeconds = 0.5;
constexpr double toneSeconds = 1.5;
constexpr float toneGain = 0.5f; // -6 dB
constexpr float onsetThreshold = 0.1f;

/** A folder of its own for one test's files, removed afterwards. */
struct ScratchFolder
{
    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File folder = makeScratchFolder("qz-mp3-");
};

/** Encodes the source with lame; the test fails when lame does. */
juce::File encode(const juce::File& folder, const juce::AudioBuffer<float>& source, double sampleRate,
                  const juce::String& lameOptions)
{
    const auto wav = folder.getChildFile("source.wav");
    const auto mp3 = folder.getChildFile("source.mp3");
    EXPECT_TRUE(AudioFixtures::writeWav(wav, source, sampleRate));

    juce::StringArray command{"lame", "--quiet"};
    command.addTokens(lameOptions, " ", {});
    command.add(wav.getFullPathName());
    command.add(mp3.getFullPathName());

    juce::String output;
    EXPECT_TRUE(AudioFixtures::runTool(command, &output)) << output;
    return mp3;
}

std::unique_ptr<juce::AudioFormatReader> openReader(const juce::File& file)
{
    return std::unique_ptr<juce::AudioFormatReader>(
        Mp3AudioFormat().createReaderFor(new juce::FileInputStream(file), true));
}

juce::AudioBuffer<float> readSpan(juce::AudioFormatReader& reader, juce::int64 start, int numSamples)
{
    juce::AudioBuffer<float> samples((int)reader.numChannels, numSamples);
    samples.clear();
    reader.read(&samples, 0, numSamples, start, true, true);
    return samples;
}

// After a seek the decoder's filter bank restarts at another frame than a sequential read went
// through, and rounds a few float steps differently (about 1e-7 measured). One sample off, the
// tone differs by 1e-2 or more from its neighbour: this bound tells the two apart.
constexpr float seekRounding = 1.0e-6f;

/** The largest difference between the samples of two buffers from the given positions on. */
float largestDifference(const juce::AudioBuffer<float>& a, int startA, const juce::AudioBuffer<float>& b,
                        int startB, int numSamples)
{
    float largest = 0.0f;

    for (int channel = 0; channel < a.getNumChannels(); ++channel)
        for (int i = 0; i < numSamples; ++i)
            largest = std::max(largest,
                               std::abs(a.getSample(channel, startA + i) - b.getSample(channel, startB + i)));

    return largest;
}

::testing::AssertionResult allZero(const juce::AudioBuffer<float>& samples, int start, int numSamples)
{
    for (int channel = 0; channel < samples.getNumChannels(); ++channel)
        for (int i = start; i < start + numSamples; ++i)
            if (samples.getSample(channel, i) != 0.0f)
                return ::testing::AssertionFailure()
                       << "channel " << channel << " holds " << samples.getSample(channel, i) << " at " << i;

    return ::testing::AssertionSuccess();
}

class Mp3AudioFormatTest : public ::testing::TestWithParam<EncodingCase>
{
protected:
    void SetUp() override
    {
        const auto& encoding = GetParam();
        source = AudioFixtures::silenceThenSine(encoding.channels, encoding.sampleRate, silenceSeconds,
                                                toneSeconds, 440.0, toneGain);
        mp3 = encode(scratch.folder, source, encoding.sampleRate, encoding.lameOptions);
        reader = openReader(mp3);
        ASSERT_NE(reader, nullptr);
    }

    juce::AudioBuffer<float> readAll() { return readSpan(*reader, 0, (int)reader->lengthInSamples); }

    ScratchFolder scratch;
    juce::AudioBuffer<float> source;
    juce::File mp3;
    std::unique_ptr<juce::AudioFormatReader> reader;
};

TEST_P(Mp3AudioFormatTest, HasTheSourcesLengthRateAndChannels)
{
    const auto& encoding = GetParam();
    const auto lengthError = reader->lengthInSamples - source.getNumSamples();
    RecordProperty("lengthErrorSamples", (int)lengthError);

    EXPECT_EQ(reader->sampleRate, encoding.sampleRate);
    EXPECT_EQ((int)reader->numChannels, encoding.channels);
    EXPECT_EQ(reader->bitsPerSample, 32u);
    EXPECT_TRUE(reader->usesFloatingPointData);
    EXPECT_LE(std::abs(lengthError), (juce::int64)(encoding.sampleRate / 1000.0)) << "within 1 ms";
}

TEST_P(Mp3AudioFormatTest, SoundStartsAtTheSourcesOnset)
{
    const int expected = AudioFixtures::firstSampleAbove(source, onsetThreshold);
    const int onset = AudioFixtures::firstSampleAbove(readAll(), onsetThreshold);
    RecordProperty("onsetOffsetSamples", onset - expected);

    // The encoder delay alone is over 1000 samples; a trimmed stream is off by a few at most.
    EXPECT_NEAR(onset, expected, 4);
}

TEST_P(Mp3AudioFormatTest, WaveformLinesUpWithTheSource)
{
    // The level is fitted first (lame's CBR coding of a pure tone comes out about 5 % lower).
    // What remains is the coding noise, unless the samples are shifted: one sample off leaves
    // about 0.02 RMS with this tone even at 44.1 kHz.
    const auto decoded = readAll();
    const int length = std::min(decoded.getNumSamples(), source.getNumSamples());
    double product = 0.0, sourceSquares = 0.0;

    for (int channel = 0; channel < source.getNumChannels(); ++channel)
        for (int i = 0; i < length; ++i)
        {
            product += (double)decoded.getSample(channel, i) * source.getSample(channel, i);
            sourceSquares += juce::square((double)source.getSample(channel, i));
        }

    const double gain = product / sourceSquares;
    double residual = 0.0;

    for (int channel = 0; channel < source.getNumChannels(); ++channel)
        for (int i = 0; i < length; ++i)
            residual += juce::square(decoded.getSample(channel, i) - gain * source.getSample(channel, i));

    const double rmsError = std::sqrt(residual / (length * source.getNumChannels()));
    RecordProperty("gain", juce::String(gain, 4).toStdString());
    RecordProperty("rmsError", juce::String(rmsError, 6).toStdString());

    EXPECT_NEAR(gain, 1.0, 0.1) << "full-scale float samples";
    EXPECT_LT(rmsError, 0.006);
}

TEST_P(Mp3AudioFormatTest, ReadsAfterSeeksMatchASequentialRead)
{
    const auto whole = readAll();
    const auto length = (int)reader->lengthInSamples;
    juce::Random random(1234);
    float largest = 0.0f;

    for (int attempt = 0; attempt < 40; ++attempt)
    {
        const int start = random.nextInt(length);
        const int count = std::min(1 + random.nextInt(6000), length - start);
        const float difference = largestDifference(readSpan(*reader, start, count), 0, whole, start, count);
        EXPECT_LE(difference, seekRounding) << "samples " << start << " to " << start + count;
        largest = std::max(largest, difference);
    }

    RecordProperty("largestDifference", juce::String(largest).toStdString());
}

TEST_P(Mp3AudioFormatTest, ReadingPastTheEndGivesSilence)
{
    const auto whole = readAll();
    const auto length = (int)reader->lengthInSamples;
    juce::AudioBuffer<float> tail((int)reader->numChannels, 1000);

    for (const int start : {length - 100, length + 10})
    {
        SCOPED_TRACE(testing::Message() << "from " << start);
        for (int channel = 0; channel < tail.getNumChannels(); ++channel)
            juce::FloatVectorOperations::fill(tail.getWritePointer(channel), 1.0f, tail.getNumSamples());

        EXPECT_TRUE(reader->read(&tail, 0, tail.getNumSamples(), start, true, true));

        const int inside = std::max(0, length - start);
        EXPECT_LE(largestDifference(tail, 0, whole, start, inside), seekRounding);
        EXPECT_TRUE(allZero(tail, inside, tail.getNumSamples() - inside));
    }
}

TEST_P(Mp3AudioFormatTest, ChannelsBeyondTheFilesAreCleared)
{
    const int fileChannels = (int)reader->numChannels;
    juce::AudioBuffer<float> samples(fileChannels + 1, 2000);
    samples.clear();
    juce::FloatVectorOperations::fill(samples.getWritePointer(fileChannels), 1.0f, samples.getNumSamples());

    ASSERT_TRUE(reader->readSamples(reinterpret_cast<int* const*>(samples.getArrayOfWritePointers()),
                                    samples.getNumChannels(), 0, reader->sampleRate,
                                    samples.getNumSamples()));

    EXPECT_GT(samples.getMagnitude(0, 0, samples.getNumSamples()), toneGain / 2) << "the tone is there";
    EXPECT_EQ(samples.getMagnitude(fileChannels, 0, samples.getNumSamples()), 0.0f);
}

TEST_P(Mp3AudioFormatTest, ReadsFromAMemoryStreamAsFromAFile)
{
    juce::MemoryBlock bytes;
    ASSERT_TRUE(mp3.loadFileAsData(bytes));
    std::unique_ptr<juce::AudioFormatReader> fromMemory(
        Mp3AudioFormat().createReaderFor(new juce::MemoryInputStream(bytes, false), true));
    ASSERT_NE(fromMemory, nullptr);

    const auto length = (int)reader->lengthInSamples;
    ASSERT_EQ(fromMemory->lengthInSamples, length);
    EXPECT_EQ(largestDifference(readSpan(*fromMemory, 0, length), 0, readAll(), 0, length), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Encodings, Mp3AudioFormatTest, ::testing::ValuesIn(encodingCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Mp3AudioFormat, RefusesWhatIsNotMpegAudio)
{
    ScratchFolder scratch;
    const auto source =
        AudioFixtures::silenceThenSine(2, 44100.0, silenceSeconds, toneSeconds, 440.0, toneGain);
    juce::MemoryBlock wav, mp3;
    ASSERT_TRUE(encode(scratch.folder, source, 44100.0, "--cbr -b 128").loadFileAsData(mp3));

    // A quiet recording: its samples hold many words that pass for MPEG frame headers, where
    // digital silence or a pure tone hold none.
    juce::AudioBuffer<float> hiss(1, 44100);
    juce::Random random(7);
    for (int i = 0; i < hiss.getNumSamples(); ++i)
        hiss.setSample(0, i, 0.01f * (random.nextFloat() * 2.0f - 1.0f));
    const auto wavFile = scratch.folder.getChildFile("hiss.wav");
    ASSERT_TRUE(AudioFixtures::writeWav(wavFile, hiss, 44100.0) && wavFile.loadFileAsData(wav));

    juce::MemoryBlock noise(100000);
    juce::Random(99).fillBitsRandomly(noise.getData(), noise.getSize());
    const juce::String text = "This is a plain text file with an .mp3 name.\n";

    const struct
    {
        const char* name;
        juce::MemoryBlock bytes;
    } inputs[] = {
        {"WAV file of a quiet recording", wav},
        {"text", juce::MemoryBlock(text.toRawUTF8(), text.getNumBytesAsUTF8())},
        {"random bytes", noise},
        {"empty", {}},
        // The first frame only holds the encoder's tag; half a frame of sound can't be decoded.
        {"only the tag frame", juce::MemoryBlock(mp3.getData(), 417 + 200)},
    };

    for (const auto& input : inputs)
    {
        SCOPED_TRACE(input.name);
        auto* stream = new juce::MemoryInputStream(input.bytes, false);

        EXPECT_EQ(Mp3AudioFormat().createReaderFor(stream, false), nullptr);
        EXPECT_EQ(stream->getTotalLength(), (juce::int64)input.bytes.getSize()) << "the stream is still ours";
        delete stream;

        EXPECT_EQ(Mp3AudioFormat().createReaderFor(new juce::MemoryInputStream(input.bytes, false), true),
                  nullptr);
    }
}

TEST(Mp3AudioFormat, FormatManagerPicksItForMp3Files)
{
    ScratchFolder scratch;
    const auto source =
        AudioFixtures::silenceThenSine(1, 44100.0, silenceSeconds, toneSeconds, 440.0, toneGain);
    const auto mp3 = encode(scratch.folder, source, 44100.0, "-V 4");

    juce::AudioFormatManager manager;
    manager.registerBasicFormats();
    manager.registerFormat(new Mp3AudioFormat(), false);

    EXPECT_NE(dynamic_cast<Mp3AudioFormat*>(manager.findFormatForFileExtension(".mp3")), nullptr);

    std::unique_ptr<juce::AudioFormatReader> reader(manager.createReaderFor(mp3));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->getFormatName(), "MP3 file");
    EXPECT_EQ(reader->lengthInSamples, source.getNumSamples());
}
} // namespace
