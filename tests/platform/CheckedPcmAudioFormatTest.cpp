// The WAV and AIFF formats' checks, on files the framework's writers make and on the same files
// with a header that claims more channels than the framework's reader can copy (which would read
// forever) or a metadata chunk that claims more than the file holds (which it would read as
// hundreds of thousands of entries): what fits opens and reads, what doesn't is refused.
#include "platform/CheckedPcmAudioFormat.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
constexpr int numSamples = 4096;

template <typename Format> juce::MemoryBlock write(int channels)
{
    juce::MemoryBlock bytes;
    Format format;
    std::unique_ptr<juce::AudioFormatWriter> writer(format.createWriterFor(
        new juce::MemoryOutputStream(bytes, false), 44100.0, (unsigned)channels, 16, {}, 0));
    EXPECT_NE(writer, nullptr);
    juce::AudioBuffer<float> ramp(channels, numSamples);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < numSamples; ++i)
            ramp.setSample(c, i, (float)(i % 100) / 200.0f);
    writer->writeFromAudioSampleBuffer(ramp, 0, numSamples);
    writer.reset();
    return bytes;
}

/** The WAV file with its header's channel count (after "fmt ", its size and the format tag) set. */
juce::MemoryBlock withWavChannels(juce::MemoryBlock bytes, int channels)
{
    auto* data = static_cast<char*>(bytes.getData());
    for (size_t i = 12; i + 12 <= bytes.getSize(); ++i)
        if (memcmp(data + i, "fmt ", 4) == 0)
        {
            data[i + 10] = (char)(channels & 0xff);
            data[i + 11] = (char)((channels >> 8) & 0xff);
            break;
        }
    return bytes;
}

/** The AIFF file with its "COMM" chunk's channel count (big-endian, after the chunk's size) set. */
juce::MemoryBlock withAiffChannels(juce::MemoryBlock bytes, int channels)
{
    auto* data = static_cast<char*>(bytes.getData());
    for (size_t i = 12; i + 10 <= bytes.getSize(); ++i)
        if (memcmp(data + i, "COMM", 4) == 0)
        {
            data[i + 8] = (char)((channels >> 8) & 0xff);
            data[i + 9] = (char)(channels & 0xff);
            break;
        }
    return bytes;
}

/** The WAV file with a cue chunk after its samples that claims sixteen megabytes and holds four
    bytes, the RIFF size covering it. */
juce::MemoryBlock withOversizedCueChunk(juce::MemoryBlock bytes)
{
    const juce::uint8 cue[] = {'c', 'u', 'e', ' ', 0x34, 0x00, 0x00, 0x01, 0x00, 0x00, 0x60, 0x00};
    bytes.append(cue, sizeof(cue));
    const auto riffSize = (juce::uint32)bytes.getSize() - 8;
    for (int i = 0; i < 4; ++i)
        bytes[(size_t)(4 + i)] = (char)((riffSize >> (8 * i)) & 0xff);
    return bytes;
}

template <typename Format> std::unique_ptr<juce::AudioFormatReader> open(const juce::MemoryBlock& bytes)
{
    CheckedPcmAudioFormat<Format> format;
    return std::unique_ptr<juce::AudioFormatReader>(
        format.createReaderFor(new juce::MemoryInputStream(bytes, true), true));
}
} // namespace

TEST(CheckedPcmAudioFormatTest, FramesLargerThanTheReadersBlockAndOversizedChunksAreRefused)
{
    using Open = std::function<std::unique_ptr<juce::AudioFormatReader>()>;
    const struct
    {
        const char* what;
        Open open;
        int channels; // 0: refused
    } cases[] = {
        {"stereo WAV as written", [] { return open<juce::WavAudioFormat>(write<juce::WavAudioFormat>(2)); },
         2},
        {"a WAV header claiming 2880 channels of 16 bits, a whole block a frame",
         [] { return open<juce::WavAudioFormat>(withWavChannels(write<juce::WavAudioFormat>(1), 2880)); },
         2880},
        {"a WAV header claiming 65535 channels",
         [] { return open<juce::WavAudioFormat>(withWavChannels(write<juce::WavAudioFormat>(2), 65535)); },
         0},
        {"a WAV cue chunk claiming more than the file holds",
         [] { return open<juce::WavAudioFormat>(withOversizedCueChunk(write<juce::WavAudioFormat>(2))); }, 0},
        {"a WAV cut short in its samples",
         []
         {
             auto bytes = write<juce::WavAudioFormat>(2);
             bytes.setSize(bytes.getSize() - 1000);
             return open<juce::WavAudioFormat>(bytes);
         },
         2},
        {"stereo AIFF as written",
         [] { return open<juce::AiffAudioFormat>(write<juce::AiffAudioFormat>(2)); }, 2},
        {"an AIFF header claiming 4000 channels",
         [] { return open<juce::AiffAudioFormat>(withAiffChannels(write<juce::AiffAudioFormat>(2), 4000)); },
         0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        auto reader = c.open();
        ASSERT_EQ(reader != nullptr, c.channels > 0);
        if (reader == nullptr)
            continue;
        EXPECT_EQ((int)reader->numChannels, c.channels);
        // What opens reads to its end.
        juce::AudioBuffer<float> block(2, 256);
        EXPECT_TRUE(reader->read(&block, 0, block.getNumSamples(), 0, true, true));
    }
}

TEST(CheckedPcmAudioFormatTest, AStreamThatIsNotOursStaysWithTheCaller)
{
    const auto bytes = withWavChannels(write<juce::WavAudioFormat>(2), 65535);
    juce::MemoryInputStream stream(bytes, false);
    CheckedPcmAudioFormat<juce::WavAudioFormat> format;
    EXPECT_EQ(format.createReaderFor(&stream, false), nullptr);
    EXPECT_EQ(stream.getPosition(), 0); // still there, and where it was
}
