#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

/** One of the framework's uncompressed formats (WAV, AIFF), refusing the files its reader would
    hang on or spend minutes and much memory over.

    The framework's WAV and AIFF readers copy samples through a block of 5760 bytes, a whole
    number of frames (one sample of every channel) at a time. A file whose frame is larger, such
    as one whose header claims 65535 channels, makes them copy no frame at all, forever.

    They also take a metadata chunk's size as it stands: a cue chunk of a few bytes that claims
    sixteen megabytes is read as hundreds of thousands of cue points. So every chunk other than
    the samples themselves must end within the file (the samples may be cut short, as a copy
    that was broken off leaves them).

    Such files open as none of the format; every other file is the framework's reader's as
    before. */
template <typename Format> class CheckedPcmAudioFormat : public Format
{
public:
    /** The framework readers' block. */
    static constexpr juce::int64 largestFrameBytes = 480 * 3 * 4;

    juce::AudioFormatReader* createReaderFor(juce::InputStream* sourceStream,
                                             bool deleteStreamIfOpeningFails) override
    {
        if (sourceStream == nullptr)
            return nullptr;
        const auto start = sourceStream->getPosition();
        bool fits = chunksEndWithinStream(*sourceStream);
        if (fits)
        {
            // A first look through a stream that leaves the source to the caller.
            std::unique_ptr<juce::AudioFormatReader> probe(
                Format::createReaderFor(new juce::SubregionStream(sourceStream, start, -1, false), true));
            fits = probe != nullptr && probe->numChannels > 0 && probe->bitsPerSample > 0 &&
                   (juce::int64)probe->numChannels * probe->bitsPerSample / 8 <= largestFrameBytes;
        }
        const bool rewound = sourceStream->setPosition(start);
        if (!fits || !rewound)
        {
            if (deleteStreamIfOpeningFails)
                delete sourceStream;
            return nullptr;
        }
        return Format::createReaderFor(sourceStream, deleteStreamIfOpeningFails);
    }

    /** Whether every chunk of a RIFF (little-endian) or FORM (big-endian) file from the stream's
        position on, other than its samples ("data", "SSND"), ends within the stream. Other
        containers (RF64, which keeps its sizes elsewhere) and streams of unknown length pass. */
    static bool chunksEndWithinStream(juce::InputStream& stream)
    {
        const auto start = stream.getPosition();
        const auto total = stream.getTotalLength();
        char magic[4] = {};
        bool fits = true;
        if (total > 0 && stream.read(magic, 4) == 4)
        {
            const bool riff = memcmp(magic, "RIFF", 4) == 0, form = memcmp(magic, "FORM", 4) == 0;
            if ((riff || form) && stream.setPosition(start + 12))
            {
                for (auto position = start + 12; fits && position + 8 <= total;)
                {
                    char id[4] = {};
                    stream.read(id, 4);
                    const auto size =
                        (juce::int64)(juce::uint32)(riff ? stream.readInt() : stream.readIntBigEndian());
                    const bool samples = memcmp(id, "data", 4) == 0 || memcmp(id, "SSND", 4) == 0;
                    fits = samples || position + 8 + size <= total;
                    position += 8 + size + (size & 1);
                    if (!stream.setPosition(juce::jmin(position, total)))
                        break;
                }
            }
        }
        return stream.setPosition(start) && fits;
    }
};
