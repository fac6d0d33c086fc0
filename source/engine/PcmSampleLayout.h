#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <optional>

/** Where and how a WAV or AIFF file keeps its samples: interleaved frames of integers (8, 16, 24
    or 32 bits) or 32-bit floats from a byte offset on, so that they can be read straight from the
    file, in any order and on many threads, without the framework's reader.

    A layout is only ever found for a file whose own reading agrees with the framework's reader of
    it: the same channels, bits, kind of data and length, and the same samples at its start, its
    middle and its end. A file that says one thing to one and another to the other (two sample
    chunks, a format chunk after its samples, a container this reading does not know) has none,
    and is read through the framework's reader as before. */
class PcmSampleLayout
{
public:
    enum class Encoding
    {
        unsigned8, // WAV's 8 bits: 128 is silence
        signedInteger,
        float32
    };

    /** The layout of the file's samples, checked against the framework's reader of the same
        file; none when the two don't agree or the file is not plain PCM. */
    static std::optional<PcmSampleLayout> find(const juce::File& file, juce::AudioFormatReader& reader);

    /** The layout that the file's header describes, unchecked. */
    static std::optional<PcmSampleLayout> readHeader(juce::InputStream& in);

    juce::int64 dataStart = 0;
    int numChannels = 0;
    int bytesPerSample = 0;
    Encoding encoding = Encoding::signedInteger;
    bool bigEndian = false;
    juce::int64 lengthInSamples = 0;

    int bytesPerFrame() const { return numChannels * bytesPerSample; }

    /** Calls `visit` with an object whose static `decode(const uint8*)` gives a sample of this
        layout as the framework's reader gives it in integer form: the integer scaled to 32 bits,
        or the float's bits. The decoding is a type, so that loops over many samples are compiled
        for each layout. */
    template <typename Visitor> void withDecoder(Visitor&& visit) const;

    /** One sample, decoded as withDecoder does. */
    juce::int32 toInt32(const juce::uint8* bytes) const noexcept;

    /** Reads `frames` frames from `first` on through `in`; what lies past the stream's end reads
        as zero bytes, as the framework's reader takes it. */
    void readFrames(juce::InputStream& in, juce::int64 first, int frames, juce::uint8* dest) const;

private:
    static std::optional<PcmSampleLayout> readWavHeader(juce::InputStream& in, juce::int64 start);
    static std::optional<PcmSampleLayout> readAiffHeader(juce::InputStream& in, juce::int64 start);
    bool describesTheSameAs(const juce::AudioFormatReader& reader) const;
    bool readsTheSameAs(juce::InputStream& in, juce::AudioFormatReader& reader, juce::int64 first,
                        int frames) const;
};

namespace PcmDecoders
{
// Each mirrors the framework's conversion of its sample format to 32-bit integers bit for bit.
struct Unsigned8
{
    static juce::int32 decode(const juce::uint8* b) noexcept
    {
        return (juce::int32)((juce::uint32)(juce::uint8)(b[0] - 128) << 24);
    }
};

struct Signed8
{
    static juce::int32 decode(const juce::uint8* b) noexcept
    {
        return (juce::int32)((juce::uint32)b[0] << 24);
    }
};

template <bool bigEndian> struct Signed16
{
    static juce::int32 decode(const juce::uint8* b) noexcept
    {
        const auto value = bigEndian ? (juce::uint32)(b[0] << 8 | b[1]) : (juce::uint32)(b[1] << 8 | b[0]);
        return (juce::int32)(value << 16);
    }
};

template <bool bigEndian> struct Signed24
{
    static juce::int32 decode(const juce::uint8* b) noexcept
    {
        const auto value = bigEndian ? (juce::uint32)(b[0] << 16 | b[1] << 8 | b[2])
                                     : (juce::uint32)(b[2] << 16 | b[1] << 8 | b[0]);
        return (juce::int32)(value << 8);
    }
};

template <bool bigEndian> struct Whole32
{
    static juce::int32 decode(const juce::uint8* b) noexcept
    {
        return (juce::int32)(bigEndian ? juce::ByteOrder::bigEndianInt(b)
                                       : juce::ByteOrder::littleEndianInt(b));
    }
};
} // namespace PcmDecoders

template <typename Visitor> void PcmSampleLayout::withDecoder(Visitor&& visit) const
{
    switch (bytesPerSample)
    {
    case 1:
        if (encoding == Encoding::unsigned8)
            visit(PcmDecoders::Unsigned8{});
        else
            visit(PcmDecoders::Signed8{});
        break;
    case 2:
        if (bigEndian)
            visit(PcmDecoders::Signed16<true>{});
        else
            visit(PcmDecoders::Signed16<false>{});
        break;
    case 3:
        if (bigEndian)
            visit(PcmDecoders::Signed24<true>{});
        else
            visit(PcmDecoders::Signed24<false>{});
        break;
    default:
        if (bigEndian)
            visit(PcmDecoders::Whole32<true>{});
        else
            visit(PcmDecoders::Whole32<false>{});
        break;
    }
}
