#include "platform/CheckedFlacAudioFormat.h"

#include <FLAC/stream_decoder.h>

namespace
{
/** Walks a stream with libFLAC's decoder, comparing each frame with the stream's header. */
class FrameWalk
{
public:
    explicit FrameWalk(juce::InputStream& source) : input(source), start(source.getPosition()) {}

    bool run()
    {
        auto* decoder = FLAC__stream_decoder_new();
        if (decoder == nullptr)
            return false;
        bool fine =
            FLAC__stream_decoder_init_stream(decoder, read, seek, tell, length, endOfFile, write, metadata,
                                             error, this) == FLAC__STREAM_DECODER_INIT_STATUS_OK;
        // Frame by frame: the walk stops at the first frame that breaks the rule.
        while (fine && !broken &&
               FLAC__stream_decoder_get_state(decoder) != FLAC__STREAM_DECODER_END_OF_STREAM)
            fine = FLAC__stream_decoder_process_single(decoder) != 0 &&
                   FLAC__stream_decoder_get_state(decoder) != FLAC__STREAM_DECODER_ABORTED;
        FLAC__stream_decoder_delete(decoder);
        return fine && !broken && haveHeader;
    }

private:
    static FrameWalk& of(void* data) { return *static_cast<FrameWalk*>(data); }

    static FLAC__StreamDecoderReadStatus read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                              void* data)
    {
        const int wanted = (int)juce::jmin(*bytes, (size_t)65536);
        const int got = of(data).input.read(buffer, wanted);
        *bytes = (size_t)juce::jmax(0, got);
        return got > 0 ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE
                       : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
    }

    static FLAC__StreamDecoderSeekStatus seek(const FLAC__StreamDecoder*, FLAC__uint64 offset, void* data)
    {
        auto& walk = of(data);
        return walk.input.setPosition(walk.start + (juce::int64)offset)
                   ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
                   : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
    }

    static FLAC__StreamDecoderTellStatus tell(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* data)
    {
        auto& walk = of(data);
        *offset = (FLAC__uint64)juce::jmax((juce::int64)0, walk.input.getPosition() - walk.start);
        return FLAC__STREAM_DECODER_TELL_STATUS_OK;
    }

    static FLAC__StreamDecoderLengthStatus length(const FLAC__StreamDecoder*, FLAC__uint64* bytes, void* data)
    {
        auto& walk = of(data);
        const auto total = walk.input.getTotalLength();
        if (total < 0)
            return FLAC__STREAM_DECODER_LENGTH_STATUS_UNSUPPORTED;
        *bytes = (FLAC__uint64)juce::jmax((juce::int64)0, total - walk.start);
        return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
    }

    static FLAC__bool endOfFile(const FLAC__StreamDecoder*, void* data)
    {
        return of(data).input.isExhausted();
    }

    static FLAC__StreamDecoderWriteStatus write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                const FLAC__int32* const[], void* data)
    {
        auto& walk = of(data);
        const auto& header = frame->header;
        if (!walk.haveHeader || header.channels != walk.channels ||
            header.bits_per_sample != walk.bitsPerSample ||
            (walk.largestBlock > 0 && header.blocksize > walk.largestBlock))
        {
            walk.broken = true;
            return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
        }
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }

    static void metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* data)
    {
        auto& walk = of(data);
        if (block->type != FLAC__METADATA_TYPE_STREAMINFO)
            return;
        // A second header could announce other channels than the first, which the reader keeps.
        if (walk.haveHeader)
            walk.broken = true;
        const auto& info = block->data.stream_info;
        walk.haveHeader = true;
        walk.channels = info.channels;
        walk.bitsPerSample = info.bits_per_sample;
        walk.largestBlock = info.max_blocksize;
    }

    static void error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}

    juce::InputStream& input;
    const juce::int64 start;
    bool haveHeader = false;
    bool broken = false;
    unsigned channels = 0, bitsPerSample = 0, largestBlock = 0;
};
} // namespace

bool CheckedFlacAudioFormat::framesMatchHeader(juce::InputStream& stream)
{
    const auto start = stream.getPosition();
    const bool matches = FrameWalk(stream).run();
    return stream.setPosition(start) && matches;
}

juce::AudioFormatReader* CheckedFlacAudioFormat::createReaderFor(juce::InputStream* sourceStream,
                                                                 bool deleteStreamIfOpeningFails)
{
    if (sourceStream == nullptr)
        return nullptr;
    if (!framesMatchHeader(*sourceStream))
    {
        if (deleteStreamIfOpeningFails)
            delete sourceStream;
        return nullptr;
    }
    return juce::FlacAudioFormat::createReaderFor(sourceStream, deleteStreamIfOpeningFails);
}
