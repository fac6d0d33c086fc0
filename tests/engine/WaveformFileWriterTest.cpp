// The waveform file of plain PCM files (WAV, AIFF), which are read straight from their samples on
// every core: the overview must be the framework's own, point for point, for every sample format,
// channel count and length, and for files whose headers lie or which were cut short. Files built
// byte by byte here, so that each header says exactly what the case needs.
#include "engine/WaveformFileWriter.h"
#include "engine/PcmSampleLayout.h"
#include "harness/TemporaryHome.h"
#include "harness/WaveformStreams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace
{
const int rate = 8000;

/** A WAV or AIFF file written byte by byte, with the header it is told to have. */
class PcmFile
{
public:
    enum class Container
    {
        wav,
        wavExtensible,
        aiff,
        aifc
    };

    PcmFile(Container kind, int bitsPerSample, int channelCount, int frameCount)
        : container(kind), bits(bitsPerSample), channels(channelCount), frames(frameCount),
          claimedFrames(frameCount)
    {
    }

    PcmFile& floats()
    {
        isFloat = true;
        return *this;
    }
    /** For AIFC: its compression type ("NONE", "sowt", "fl32"). */
    PcmFile& compression(const char* type)
    {
        aifcType = type;
        isFloat = juce::String(type) == "fl32";
        return *this;
    }
    /** For an extensible WAV file: the ambisonic sub-format, which the framework reads as PCM. */
    PcmFile& ambisonic()
    {
        isAmbisonic = true;
        return *this;
    }
    /** The header claims this many frames while the file holds its own count. */
    PcmFile& claiming(int count)
    {
        claimedFrames = count;
        return *this;
    }
    /** The file ends this many bytes early. */
    PcmFile& cutBy(int bytes)
    {
        cut = bytes;
        return *this;
    }
    /** An odd-sized metadata chunk (with its pad byte) between the format and the samples. */
    PcmFile& withMetadata()
    {
        metadata = true;
        return *this;
    }
    /** A second sample chunk after the first, holding other samples. */
    PcmFile& withSecondSamples()
    {
        secondSamples = true;
        return *this;
    }
    /** For AIFF: the sample chunk's offset to its samples. */
    PcmFile& offset(int bytes)
    {
        ssndOffset = bytes;
        return *this;
    }

    juce::MemoryBlock bytes() const
    {
        juce::MemoryOutputStream out;
        if (container == Container::wav || container == Container::wavExtensible)
            writeWav(out);
        else
            writeAiff(out);
        auto block = out.getMemoryBlock();
        block.setSize(block.getSize() - (size_t)cut);
        return block;
    }

private:
    bool bigEndian() const
    {
        return (container == Container::aiff || container == Container::aifc) &&
               juce::String(aifcType) != "sowt";
    }

    /** A wandering noise that reaches both extremes of the format now and then. */
    double valueAt(int frame, int channel, int variant) const
    {
        const int i = frame * channels + channel + variant * 7919;
        if (i % 997 == 0)
            return 1.0;
        if (i % 991 == 0)
            return -1.0;
        const double noise = std::sin((double)i * 12.9898 + variant) * 43758.5453;
        const double wander = 0.5 + 0.45 * std::sin((double)frame / 700.0 + channel);
        return (2.0 * (noise - std::floor(noise)) - 1.0) * wander;
    }

    float floatAt(int frame, int channel, int variant) const
    {
        // Values the framework's reader passes on unchanged, however odd.
        const int i = frame * channels + channel;
        if (i == 300)
            return std::numeric_limits<float>::quiet_NaN();
        if (i == 700)
            return std::numeric_limits<float>::infinity();
        if (i == 1100)
            return -3.5f;
        return (float)valueAt(frame, channel, variant) * 1.2f;
    }

    void writeSample(juce::MemoryOutputStream& out, int frame, int channel, int variant) const
    {
        const int bytes = bits / 8;
        juce::uint32 word = 0;
        if (isFloat)
        {
            const float value = floatAt(frame, channel, variant);
            std::memcpy(&word, &value, 4);
        }
        else
        {
            const double top = std::ldexp(1.0, bits - 1);
            auto value = (juce::int64)std::floor(valueAt(frame, channel, variant) * top);
            value = juce::jlimit((juce::int64)-top, (juce::int64)top - 1, value);
            // WAV's 8 bits are unsigned, AIFF's signed.
            if (bits == 8 && (container == Container::wav || container == Container::wavExtensible))
                value += 128;
            word = (juce::uint32)value;
        }
        for (int b = 0; b < bytes; ++b)
        {
            const int shift = bigEndian() ? 8 * (bytes - 1 - b) : 8 * b;
            out.writeByte((char)((word >> shift) & 0xff));
        }
    }

    void writeSamples(juce::MemoryOutputStream& out, int variant) const
    {
        for (int frame = 0; frame < frames; ++frame)
            for (int channel = 0; channel < channels; ++channel)
                writeSample(out, frame, channel, variant);
    }

    int frameBytes() const { return channels * bits / 8; }

    void writeWav(juce::MemoryOutputStream& out) const
    {
        const bool extensible = container == Container::wavExtensible;
        out.write("RIFF", 4);
        out.writeInt(0); // set at the end
        out.write("WAVE", 4);
        out.write("fmt ", 4);
        out.writeInt(extensible ? 40 : 16);
        out.writeShort((short)(extensible ? 0xfffe : isFloat ? 3 : 1));
        out.writeShort((short)channels);
        out.writeInt(rate);
        out.writeInt(rate * frameBytes());
        out.writeShort((short)frameBytes());
        out.writeShort((short)bits);
        if (extensible)
        {
            const juce::uint8 tail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                          0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};
            const juce::uint8 ambisonicTail[12] = {0x21, 0x07, 0xd3, 0x11, 0x86, 0x44,
                                                   0xc8, 0xc1, 0xca, 0x00, 0x00, 0x00};
            out.writeShort(22);
            out.writeShort((short)bits);
            out.writeInt(0);
            out.writeInt(isFloat ? 3 : 1);
            out.write(isAmbisonic ? ambisonicTail : tail, sizeof(tail));
        }
        if (metadata)
        {
            out.write("LIST", 4);
            out.writeInt(5);
            out.write("INFOx\0", 6);
        }
        out.write("data", 4);
        out.writeInt(claimedFrames * frameBytes());
        writeSamples(out, 0);
        if (secondSamples)
        {
            out.write("data", 4);
            out.writeInt(frames * frameBytes());
            writeSamples(out, 1);
        }
        const auto size = (int)out.getPosition() - 8;
        out.setPosition(4);
        out.writeInt(size);
        out.setPosition((juce::int64)size + 8);
    }

    void writeAiff(juce::MemoryOutputStream& out) const
    {
        const bool aifc = container == Container::aifc;
        out.write("FORM", 4);
        out.writeIntBigEndian(0); // set at the end
        out.write(aifc ? "AIFC" : "AIFF", 4);
        if (aifc)
        {
            out.write("FVER", 4);
            out.writeIntBigEndian(4);
            out.writeIntBigEndian((int)0xa2805140);
        }
        out.write("COMM", 4);
        out.writeIntBigEndian(aifc ? 24 : 18);
        out.writeShortBigEndian((short)channels);
        out.writeIntBigEndian(claimedFrames);
        out.writeShortBigEndian((short)bits);
        // The rate as an 80-bit extended number: 8000 is 1.953125 times 2 to the 12th.
        const juce::uint8 extended[10] = {0x40, 0x0b, 0xfa, 0, 0, 0, 0, 0, 0, 0};
        out.write(extended, sizeof(extended));
        if (aifc)
        {
            out.write(aifcType, 4);
            out.write("\0\0", 2); // an empty name
        }
        out.write("SSND", 4);
        out.writeIntBigEndian(8 + juce::jmax(0, ssndOffset) + claimedFrames * frameBytes());
        out.writeIntBigEndian(ssndOffset);
        out.writeIntBigEndian(0);
        for (int i = 0; i < ssndOffset; ++i)
            out.writeByte('z');
        writeSamples(out, 0);
        const auto size = (int)out.getPosition() - 8;
        out.setPosition(4);
        out.writeIntBigEndian(size);
        out.setPosition((juce::int64)size + 8);
    }

    Container container;
    int bits, channels, frames, claimedFrames;
    bool isFloat = false;
    const char* aifcType = "NONE";
    bool isAmbisonic = false;
    int cut = 0;
    bool metadata = false;
    bool secondSamples = false;
    int ssndOffset = 0;
};

using Container = PcmFile::Container;

struct PcmCase
{
    const char* name;
    PcmFile file;
    bool readStraight; // whether the samples are read without the framework's reader
};

class WaveformFileWriterTest : public testing::Test
{
protected:
    void SetUp() override { formats.registerBasicFormats(); }
    void TearDown() override { folder.deleteRecursively(); }

    juce::File save(const char* name, const juce::MemoryBlock& bytes)
    {
        const auto file = folder.getChildFile(juce::String(name).replaceCharacters(" ,:", "___") + ".audio");
        EXPECT_TRUE(file.replaceWithData(bytes.getData(), bytes.getSize()));
        return file;
    }

    std::unique_ptr<juce::AudioFormatReader> readerFor(const juce::File& audio)
    {
        // The content decides the format, whatever the name.
        for (auto* format : formats)
            if (auto* reader = format->createReaderFor(audio.createInputStream().release(), true))
                return std::unique_ptr<juce::AudioFormatReader>(reader);
        return nullptr;
    }

    /** Writes the case's waveform file, read straight from the samples or not as the case says,
        and holds it against the framework's own overview. */
    void expectTheFrameworksOverview(const PcmCase& c)
    {
        const auto audio = save(c.name, c.file.bytes());
        auto reader = readerFor(audio);
        ASSERT_NE(reader, nullptr) << c.name;
        EXPECT_EQ(PcmSampleLayout::find(audio, *reader).has_value(), c.readStraight) << c.name;

        const auto smg = folder.getChildFile("out.smg");
        WaveformFileWriter writer(*reader, audio);
        ASSERT_TRUE(writer.write(
            smg, [] { return true; }, [](double) {}))
            << c.name;
        EXPECT_TRUE(writer.readToTheEnd()) << c.name;
        const auto ours = WaveformStreams::decompressed(smg);
        const auto theirs = WaveformStreams::frameworkOverviewOf(audio, formats);
        EXPECT_TRUE(ours == theirs) << c.name << ": " << WaveformStreams::firstDifference(ours, theirs);
    }

    juce::AudioFormatManager formats;
    juce::File folder = makeScratchFolder("qz-waveform");
};
} // namespace

TEST_F(WaveformFileWriterTest, PlainPcmFilesGiveTheFrameworksOverviewPointForPoint)
{
    // Lengths that are no whole number of points; every format the framework's readers copy.
    const int odd = 64 * 93 + 37;
    const PcmCase cases[] = {
        {"WAV 8-bit mono", PcmFile(Container::wav, 8, 1, odd), true},
        {"WAV 16-bit stereo", PcmFile(Container::wav, 16, 2, odd), true},
        {"WAV 16-bit stereo, several pieces", PcmFile(Container::wav, 16, 2, 64 * 4096 * 2 + 100), true},
        {"WAV 24-bit three channels", PcmFile(Container::wav, 24, 3, odd), true},
        {"WAV 32-bit integers", PcmFile(Container::wav, 32, 2, odd), true},
        {"WAV 32-bit floats", PcmFile(Container::wav, 32, 2, odd).floats(), true},
        {"extensible WAV 24-bit", PcmFile(Container::wavExtensible, 24, 2, odd), true},
        {"extensible WAV floats", PcmFile(Container::wavExtensible, 32, 1, odd).floats(), true},
        {"WAV with a metadata chunk", PcmFile(Container::wav, 16, 2, odd).withMetadata(), true},
        {"AIFF 8-bit", PcmFile(Container::aiff, 8, 2, odd), true},
        {"AIFF 16-bit big-endian", PcmFile(Container::aiff, 16, 1, odd), true},
        {"AIFF 24-bit", PcmFile(Container::aiff, 24, 2, odd), true},
        {"AIFF 32-bit", PcmFile(Container::aiff, 32, 2, odd), true},
        {"AIFF with an offset to its samples", PcmFile(Container::aiff, 16, 2, odd).offset(6), true},
        {"AIFC little-endian", PcmFile(Container::aifc, 16, 2, odd).compression("sowt"), true},
        {"AIFC floats", PcmFile(Container::aifc, 32, 2, odd).compression("fl32"), true},
    };
    for (const auto& c : cases)
        expectTheFrameworksOverview(c);
}

TEST_F(WaveformFileWriterTest, FilesFromElsewhereWithLyingOrCutHeadersGiveTheFrameworksOverview)
{
    // What the header says and what the file holds disagree: past the file's end the framework
    // reads zeros, and a file that reads one way here and another way to the framework's reader
    // is left to that reader.
    const int frames = 64 * 80 + 11;
    const PcmCase cases[] = {
        {"WAV cut inside a frame", PcmFile(Container::wav, 24, 2, frames).cutBy(1001), true},
        {"WAV claiming three times its samples", PcmFile(Container::wav, 16, 2, frames).claiming(frames * 3),
         true},
        {"WAV 8-bit claiming more, read as zero bytes",
         PcmFile(Container::wav, 8, 1, frames).claiming(frames * 2), true},
        {"AIFF cut short", PcmFile(Container::aiff, 16, 2, frames).cutBy(4097), true},
        {"AIFF claiming more frames", PcmFile(Container::aiff, 24, 1, frames).claiming(frames + 5000), true},
        {"WAV with two sample chunks", PcmFile(Container::wav, 16, 2, frames).withSecondSamples(), false},
        {"extensible WAV of the ambisonic sub-format",
         PcmFile(Container::wavExtensible, 16, 2, frames).ambisonic(), false},
        {"AIFF with a negative offset to its samples", PcmFile(Container::aiff, 16, 2, frames).offset(-4),
         false},
    };
    for (const auto& c : cases)
        expectTheFrameworksOverview(c);
}
