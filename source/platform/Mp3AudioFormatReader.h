#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <sys/types.h>

struct mpg123_handle_struct;

/** Decodes an MPEG audio stream with libmpg123 into 32-bit float samples at the stream's own rate
    and channel count.

    Gapless decoding is on, so sample 0 is the first sample of the encoded source and the length
    is the source's: the encoder's delay and padding (from the LAME/Info tag) are cut away. The
    whole stream is scanned once on opening, which gives the exact length and an index that makes
    every seek sample-accurate.

    Like every reader it owns its input stream. One reader is used from one thread at a time. */
class Mp3AudioFormatReader : public juce::AudioFormatReader
{
public:
    /** Takes the stream over. Check isOpen() afterwards: streams that are not MPEG audio, that
        cannot be positioned or that decode no samples leave the reader closed. */
    explicit Mp3AudioFormatReader(juce::InputStream* source);
    ~Mp3AudioFormatReader() override;

    bool isOpen() const { return lengthInSamples > 0; }

    bool readSamples(int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                     juce::int64 startSampleInFile, int numSamples) override;

private:
    bool open();
    bool openHandle();
    bool framesFollowEachOther();
    bool offerFloatOutputOnly();
    bool fixOutputFormat();
    bool moveDecoderTo(juce::int64 sample);
    int decodeChunk(int maxFrames);
    void copyChunk(int* const* destChannels, int numDestChannels, int destOffset, int frames) const;

    // The decoder reads the input stream through these; the handle they get is the reader.
    static ssize_t readCallback(void* reader, void* buffer, size_t bytes);
    static off_t seekCallback(void* reader, off_t offset, int whence);

    struct HandleDeleter
    {
        void operator()(mpg123_handle_struct* handle) const;
    };

    std::unique_ptr<mpg123_handle_struct, HandleDeleter> handle;
    juce::int64 streamStart = 0;      // the decoder's byte offsets count from here
    juce::int64 decoderPosition = -1; // -1: unknown, the next read seeks
    juce::HeapBlock<float> chunk;

    static constexpr int chunkFrames = 4096;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(Mp3AudioFormatReader)
};
