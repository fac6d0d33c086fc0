#include "engine/PcmSampleLayout.h"

#include <cstring>

namespace
{
// Frames compared with the framework's reader at each place checked.
const int framesChecked = 1024;
// The framework's readers copy through a block of this many bytes and can't copy a larger frame.
const int largestFrameBytes = 480 * 3 * 4;

const int wavPcm = 1, wavFloat = 3, wavExtensible = 0xfffe;
// What follows the format's number in the sub-format of an extensible WAV file.
const juce::uint8 extensibleGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                            0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};

bool isId(const char* id, const char* name)
{
    return std::memcmp(id, name, 4) == 0;
}

bool readId(juce::InputStream& in, char* id)
{
    return in.read(id, 4) == 4;
}

/** Integer samples of 8 to 32 bits, or floats of 32: what the framework's readers copy. */
std::optional<PcmSampleLayout> fromFormat(int channels, int bits, PcmSampleLayout::Encoding encoding,
                                          bool bigEndian)
{
    const bool plain = encoding == PcmSampleLayout::Encoding::float32
                           ? bits == 32
                           : bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (!plain || channels <= 0 || channels * bits / 8 > largestFrameBytes)
        return std::nullopt;
    PcmSampleLayout layout;
    layout.numChannels = channels;
    layout.bytesPerSample = bits / 8;
    layout.encoding = encoding;
    layout.bigEndian = bigEndian;
    return layout;
}

/** The "fmt " chunk of a WAV file, from its format's number on. */
std::optional<PcmSampleLayout> readWavFormat(juce::InputStream& in, juce::uint32 size)
{
    if (size < 16)
        return std::nullopt;
    int format = (juce::uint16)in.readShort();
    const int channels = (juce::uint16)in.readShort();
    in.skipNextBytes(4 + 4 + 2); // the rates and the frame's size, which the reader recomputes
    const int bits = (juce::uint16)in.readShort();
    if (format == wavExtensible)
    {
        juce::uint8 subFormat[16] = {};
        in.skipNextBytes(2 + 2 + 4);
        if (size < 40 || in.read(subFormat, 16) != 16 ||
            std::memcmp(subFormat + 4, extensibleGuidTail, 12) != 0)
            return std::nullopt;
        format = (int)juce::ByteOrder::littleEndianInt(subFormat);
    }
    if (format != wavPcm && format != wavFloat)
        return std::nullopt;
    const auto encoding = format == wavFloat ? PcmSampleLayout::Encoding::float32
                          : bits == 8        ? PcmSampleLayout::Encoding::unsigned8
                                             : PcmSampleLayout::Encoding::signedInteger;
    return fromFormat(channels, bits, encoding, false);
}

/** The "COMM" chunk of an AIFF file, from its channel count on; its frame count goes to
    `frames`. */
std::optional<PcmSampleLayout> readAiffFormat(juce::InputStream& in, juce::uint32 size, juce::int64& frames)
{
    const int channels = (juce::uint16)in.readShortBigEndian();
    frames = in.readIntBigEndian();
    const int bits = (juce::uint16)in.readShortBigEndian();
    in.skipNextBytes(10); // the sample rate
    auto encoding = PcmSampleLayout::Encoding::signedInteger;
    bool bigEndian = true;
    if (size > 18)
    {
        char compression[4] = {};
        if (!readId(in, compression))
            return std::nullopt;
        if (isId(compression, "sowt"))
            bigEndian = false;
        else if (isId(compression, "fl32") || isId(compression, "FL32"))
            encoding = PcmSampleLayout::Encoding::float32;
        else if (!isId(compression, "NONE") && !isId(compression, "twos"))
            return std::nullopt;
    }
    return fromFormat(channels, bits, encoding, bigEndian);
}
} // namespace

std::optional<PcmSampleLayout> PcmSampleLayout::find(const juce::File& file, juce::AudioFormatReader& reader)
{
    juce::FileInputStream in(file);
    if (!in.openedOk())
        return std::nullopt;
    const auto layout = readHeader(in);
    if (!layout || !layout->describesTheSameAs(reader))
        return std::nullopt;
    const auto length = layout->lengthInSamples;
    const juce::int64 places[] = {0, length / 2, juce::jmax((juce::int64)0, length - framesChecked)};
    for (const auto first : places)
        if (!layout->readsTheSameAs(in, reader, first,
                                    (int)juce::jmin((juce::int64)framesChecked, length - first)))
            return std::nullopt;
    return layout;
}

std::optional<PcmSampleLayout> PcmSampleLayout::readHeader(juce::InputStream& in)
{
    const auto start = in.getPosition();
    char container[4] = {}, kind[4] = {};
    if (!readId(in, container))
        return std::nullopt;
    in.skipNextBytes(4);
    if (!readId(in, kind))
        return std::nullopt;
    if (isId(container, "RIFF") && isId(kind, "WAVE"))
        return readWavHeader(in, start);
    if (isId(container, "FORM") && (isId(kind, "AIFF") || isId(kind, "AIFC")))
        return readAiffHeader(in, start);
    return std::nullopt;
}

std::optional<PcmSampleLayout> PcmSampleLayout::readWavHeader(juce::InputStream& in, juce::int64 start)
{
    const auto total = in.getTotalLength();
    std::optional<PcmSampleLayout> layout;
    // The samples come after the format, as the framework's reader needs them; the first
    // "data" chunk ends the search (the reader would take a later one: the check tells).
    for (auto position = start + 12; position + 8 <= total;)
    {
        char id[4] = {};
        if (!in.setPosition(position) || !readId(in, id))
            return std::nullopt;
        const auto size = (juce::uint32)in.readInt();
        if (isId(id, "fmt "))
            layout = readWavFormat(in, size);
        else if (isId(id, "data"))
        {
            if (!layout)
                return std::nullopt;
            layout->dataStart = position + 8;
            layout->lengthInSamples = (juce::int64)size / layout->bytesPerFrame();
            return layout;
        }
        position += 8 + (juce::int64)size + (size & 1);
    }
    return std::nullopt;
}

std::optional<PcmSampleLayout> PcmSampleLayout::readAiffHeader(juce::InputStream& in, juce::int64 start)
{
    const auto total = in.getTotalLength();
    std::optional<PcmSampleLayout> layout;
    juce::int64 frames = 0;
    for (auto position = start + 12; position + 8 <= total;)
    {
        char id[4] = {};
        if (!in.setPosition(position) || !readId(in, id))
            return std::nullopt;
        const auto size = (juce::uint32)in.readIntBigEndian();
        if (isId(id, "COMM"))
            layout = readAiffFormat(in, size, frames);
        else if (isId(id, "SSND"))
        {
            // An offset that points back into the chunk's own fields or before it is no layout.
            const auto offset = in.readIntBigEndian();
            if (!layout || offset < 0)
                return std::nullopt;
            layout->dataStart = position + 16 + offset;
            layout->lengthInSamples = juce::jmin(frames, (juce::int64)size / layout->bytesPerFrame());
            return layout;
        }
        // Chunks start on even positions.
        const auto end = position + 8 + (juce::int64)size;
        position = end + (end & 1);
    }
    return std::nullopt;
}

bool PcmSampleLayout::describesTheSameAs(const juce::AudioFormatReader& reader) const
{
    return lengthInSamples > 0 && reader.lengthInSamples == lengthInSamples &&
           (int)reader.numChannels == numChannels && (int)reader.bitsPerSample == bytesPerSample * 8 &&
           reader.usesFloatingPointData == (encoding == Encoding::float32);
}

bool PcmSampleLayout::readsTheSameAs(juce::InputStream& in, juce::AudioFormatReader& reader,
                                     juce::int64 first, int frames) const
{
    if (frames <= 0)
        return true;
    juce::HeapBlock<int> theirs((size_t)numChannels * (size_t)frames, true);
    juce::HeapBlock<int*> channels((size_t)numChannels);
    for (int c = 0; c < numChannels; ++c)
        channels[c] = theirs + (size_t)c * (size_t)frames;
    if (!reader.read(channels.get(), numChannels, first, frames, false))
        return false;

    juce::HeapBlock<juce::uint8> ours((size_t)frames * (size_t)bytesPerFrame());
    readFrames(in, first, frames, ours);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < numChannels; ++c)
            if (toInt32(ours + (size_t)i * (size_t)bytesPerFrame() + (size_t)c * (size_t)bytesPerSample) !=
                channels[c][i])
                return false;
    return true;
}

juce::int32 PcmSampleLayout::toInt32(const juce::uint8* bytes) const noexcept
{
    juce::int32 value = 0;
    withDecoder([&](auto decoder) { value = decltype(decoder)::decode(bytes); });
    return value;
}

void PcmSampleLayout::readFrames(juce::InputStream& in, juce::int64 first, int frames,
                                 juce::uint8* dest) const
{
    const auto bytes = (size_t)frames * (size_t)bytesPerFrame();
    size_t got = 0;
    if (in.setPosition(dataStart + first * bytesPerFrame()))
    {
        // A stream may give less than asked at a time.
        while (got < bytes)
        {
            const auto n = in.read(dest + got, (int)juce::jmin(bytes - got, (size_t)1 << 30));
            if (n <= 0)
                break;
            got += (size_t)n;
        }
    }
    std::memset(dest + got, 0, bytes - got);
}
