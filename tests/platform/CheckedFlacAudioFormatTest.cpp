// The FLAC format's check of the frames against the stream's header, on files the framework's
// writer makes and on the same files damaged as hostile ones are: what matches opens and reads as
// written, what doesn't is refused before the framework's reader would read past its buffers.
#include "platform/CheckedFlacAudioFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace
{
constexpr int numSamples = 8192;

juce::MemoryBlock writeFlac(int channels)
{
    juce::MemoryBlock bytes;
    juce::FlacAudioFormat flac;
    std::unique_ptr<juce::AudioFormatWriter> writer(flac.createWriterFor(
        new juce::MemoryOutputStream(bytes, false), 44100.0, (unsigned)channels, 16, {}, 0));
    EXPECT_NE(writer, nullptr);
    juce::AudioBuffer<float> tone(channels, numSamples);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < numSamples; ++i)
            tone.setSample(c, i, 0.5f * std::sin(0.01f * (float)i * (float)(c + 1)));
    writer->writeFromAudioSampleBuffer(tone, 0, numSamples);
    writer.reset();
    return bytes;
}

/** Where the frames start: after "fLaC" and the metadata blocks, the last of which is flagged. */
size_t framesOffset(const juce::MemoryBlock& flac)
{
    size_t offset = 4;
    for (bool last = false; !last && offset + 4 <= flac.getSize();)
    {
        last = (flac[offset] & 0x80) != 0;
        offset += 4 + (((size_t)(juce::uint8)flac[offset + 1] << 16) |
                       ((size_t)(juce::uint8)flac[offset + 2] << 8) | (size_t)(juce::uint8)flac[offset + 3]);
    }
    return offset;
}

std::unique_ptr<juce::AudioFormatReader> open(const juce::MemoryBlock& bytes)
{
    CheckedFlacAudioFormat format;
    return std::unique_ptr<juce::AudioFormatReader>(
        format.createReaderFor(new juce::MemoryInputStream(bytes, true), true));
}
} // namespace

TEST(CheckedFlacAudioFormatTest, FramesThatDoNotMatchTheHeaderAreRefused)
{
    const struct
    {
        const char* what;
        std::function<juce::MemoryBlock()> make;
        bool opens;
    } cases[] = {
        {"stereo as written", [] { return writeFlac(2); }, true},
        {"mono as written", [] { return writeFlac(1); }, true},
        {"a stereo header over mono frames",
         []
         {
             // The channel count sits in bits 3 to 1 of the 13th byte of the stream header.
             auto bytes = writeFlac(1);
             auto& packed = static_cast<char*>(bytes.getData())[8 + 12];
             packed = (char)((packed & ~0x0e) | (1 << 1));
             return bytes;
         },
         false},
        {"mono frames after stereo ones",
         []
         {
             auto bytes = writeFlac(2);
             const auto mono = writeFlac(1);
             const auto start = framesOffset(mono);
             bytes.append(static_cast<const char*>(mono.getData()) + start, mono.getSize() - start);
             return bytes;
         },
         false},
        {"no FLAC at all", [] { return juce::MemoryBlock("RIFF....WAVEfmt ", 16); }, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const auto bytes = c.make();
        auto reader = open(bytes);
        ASSERT_EQ(reader != nullptr, c.opens);
        if (reader == nullptr)
            continue;
        // What opens reads back as written.
        juce::AudioBuffer<float> read((int)reader->numChannels, numSamples);
        ASSERT_TRUE(reader->read(&read, 0, numSamples, 0, true, true));
        for (int channel = 0; channel < read.getNumChannels(); ++channel)
            EXPECT_NEAR(read.getSample(channel, 1000), 0.5f * std::sin(10.0f * (float)(channel + 1)), 1e-3f);
    }
}

TEST(CheckedFlacAudioFormatTest, TheCheckLeavesTheStreamWhereItWas)
{
    const auto bytes = writeFlac(2);
    juce::MemoryInputStream stream(bytes, false);
    ASSERT_TRUE(stream.setPosition(0));
    EXPECT_TRUE(CheckedFlacAudioFormat::framesMatchHeader(stream));
    EXPECT_EQ(stream.getPosition(), 0);
}
