#include "platform/Mp3AudioFormatReader.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace
{
void clearSamples(int* const* destChannels, int firstChannel, int numDestChannels, int destOffset,
                  int numSamples)
{
    for (int channel = firstChannel; channel < numDestChannels; ++channel)
        if (auto* dest = destChannels[channel])
            juce::FloatVectorOperations::clear(reinterpret_cast<float*>(dest) + destOffset, numSamples);
}

// A Layer III frame takes part of its data from the frames before it (the bit reservoir: up to 511
// bytes in MPEG-1, 255 in MPEG-2). After a seek the decoder must read back far enough to have
// them, or the frames around the target come out as noise or silence. The smallest frames hold
// little: an 8 kbit/s mono MPEG-2 frame at 24 kHz carries 9 bytes besides its header, side
// information and checksum, so 255 bytes lie up to 29 frames back; one more gives the frame
// whose output overlaps the target's. VBR files of silence are made of such frames.
constexpr long framesBeforeSeekTarget = 30;
} // namespace

void Mp3AudioFormatReader::HandleDeleter::operator()(mpg123_handle_struct* decoder) const
{
    mpg123_delete(decoder);
}

Mp3AudioFormatReader::Mp3AudioFormatReader(juce::InputStream* source)
    : juce::AudioFormatReader(source, "MP3 file")
{
    bitsPerSample = 32;
    usesFloatingPointData = true;

    if (!open())
    {
        handle.reset();
        lengthInSamples = 0;
    }
}

Mp3AudioFormatReader::~Mp3AudioFormatReader() = default;

bool Mp3AudioFormatReader::open()
{
    if (input == nullptr)
        return false;

    streamStart = input->getPosition();
    handle.reset(mpg123_new(nullptr, nullptr));

    if (handle == nullptr ||
        mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0) != MPG123_OK ||
        mpg123_param(handle.get(), MPG123_PREFRAMES, framesBeforeSeekTarget, 0.0) != MPG123_OK ||
        mpg123_replace_reader_handle(handle.get(), readCallback, seekCallback, nullptr) != MPG123_OK ||
        !offerFloatOutputOnly())
        return false;

    if (!openHandle() || !framesFollowEachOther())
        return false;

    // The check above walked frames without decoding them; a fresh start leaves no trace of it.
    mpg123_close(handle.get());

    // The scan parses every frame: it gives the exact length even where no Info tag tells it, and
    // the index that makes seeks sample-accurate. It needs a stream that can be positioned.
    if (!openHandle() || !fixOutputFormat() || mpg123_scan(handle.get()) != MPG123_OK)
        return false;

    lengthInSamples = mpg123_length(handle.get());
    decoderPosition = 0;
    chunk.allocate((size_t)chunkFrames * numChannels, false);
    return lengthInSamples > 0;
}

bool Mp3AudioFormatReader::openHandle()
{
    return input->setPosition(streamStart) && mpg123_open_handle(handle.get(), this) == MPG123_OK;
}

bool Mp3AudioFormatReader::framesFollowEachOther()
{
    // The decoder finds a sync word anywhere, and the samples of a WAV file or other data often
    // hold a few that parse as frames. Real MPEG frames follow each other without a gap, stray
    // ones don't.
    constexpr int framesToCheck = 4;
    off_t nextFrameStart = -1;
    int frames = 0;

    for (; frames < framesToCheck; ++frames)
    {
        const int result = mpg123_framebyframe_next(handle.get());

        if (result == MPG123_DONE)
            break;

        mpg123_frameinfo info{};

        if ((result != MPG123_OK && result != MPG123_NEW_FORMAT) ||
            mpg123_info(handle.get(), &info) != MPG123_OK)
            return false;

        const off_t frameStart = mpg123_framepos(handle.get());

        if (nextFrameStart >= 0 && frameStart != nextFrameStart)
            return false;

        nextFrameStart = frameStart + info.framesize;
    }

    return frames >= 2; // a lone frame proves nothing
}

bool Mp3AudioFormatReader::offerFloatOutputOnly()
{
    // Float at every rate the decoder knows, so the stream's own rate comes out unchanged.
    const long* rates = nullptr;
    size_t numRates = 0;
    mpg123_rates(&rates, &numRates);

    if (mpg123_format_none(handle.get()) != MPG123_OK)
        return false;

    for (size_t i = 0; i < numRates; ++i)
        if (mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) !=
            MPG123_OK)
            return false;

    return true;
}

bool Mp3AudioFormatReader::fixOutputFormat()
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;

    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        (channels != 1 && channels != 2) || encoding != MPG123_ENC_FLOAT_32)
        return false;

    // Held to the first frame's rate and channel count, so the output keeps the layout the reader
    // announced: the decoder converts a later frame that differs (a stream stitched together).
    if (mpg123_format_none(handle.get()) != MPG123_OK ||
        mpg123_format(handle.get(), rate, channels, MPG123_ENC_FLOAT_32) != MPG123_OK)
        return false;

    sampleRate = (double)rate;
    numChannels = (unsigned int)channels;
    return true;
}

bool Mp3AudioFormatReader::readSamples(int* const* destChannels, int numDestChannels,
                                       int startOffsetInDestBuffer, juce::int64 startSampleInFile,
                                       int numSamples)
{
    clearSamplesBeyondAvailableLength(destChannels, numDestChannels, startOffsetInDestBuffer,
                                      startSampleInFile, numSamples, lengthInSamples);

    if (numSamples <= 0)
        return true;

    clearSamples(destChannels, (int)numChannels, numDestChannels, startOffsetInDestBuffer, numSamples);

    const bool positioned = startSampleInFile == decoderPosition || moveDecoderTo(startSampleInFile);

    while (positioned && numSamples > 0)
    {
        const int frames = decodeChunk(std::min(numSamples, chunkFrames));

        if (frames == 0)
            break;

        copyChunk(destChannels, numDestChannels, startOffsetInDestBuffer, frames);
        startOffsetInDestBuffer += frames;
        numSamples -= frames;
        decoderPosition += frames;
    }

    if (numSamples > 0)
    {
        // A damaged stream that ends before its length: the rest is silence, and the next read
        // positions the decoder afresh.
        clearSamples(destChannels, 0, std::min(numDestChannels, (int)numChannels), startOffsetInDestBuffer,
                     numSamples);
        decoderPosition = -1;
    }

    return positioned;
}

bool Mp3AudioFormatReader::moveDecoderTo(juce::int64 sample)
{
    const off_t reached = mpg123_seek(handle.get(), (off_t)sample, SEEK_SET);
    decoderPosition = reached >= 0 ? (juce::int64)reached : -1;
    return decoderPosition == sample;
}

int Mp3AudioFormatReader::decodeChunk(int maxFrames)
{
    const size_t bytesPerFrame = sizeof(float) * numChannels;

    // A format message may come with no samples; anything else without samples is the end.
    for (int attempt = 0; attempt < 4; ++attempt)
    {
        size_t bytes = 0;
        const int result = mpg123_read(handle.get(), chunk.get(), (size_t)maxFrames * bytesPerFrame, &bytes);

        if (bytes >= bytesPerFrame)
            return (int)(bytes / bytesPerFrame);

        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            break;
    }

    return 0;
}

void Mp3AudioFormatReader::copyChunk(int* const* destChannels, int numDestChannels, int destOffset,
                                     int frames) const
{
    const int channels = (int)numChannels;

    for (int channel = 0; channel < std::min(numDestChannels, channels); ++channel)
    {
        if (auto* dest = destChannels[channel])
        {
            auto* out = reinterpret_cast<float*>(dest) + destOffset;

            for (int frame = 0; frame < frames; ++frame)
                out[frame] = chunk[frame * channels + channel];
        }
    }
}

ssize_t Mp3AudioFormatReader::readCallback(void* reader, void* buffer, size_t bytes)
{
    auto* stream = static_cast<Mp3AudioFormatReader*>(reader)->input;
    return stream->read(buffer, (int)std::min(bytes, (size_t)std::numeric_limits<int>::max()));
}

off_t Mp3AudioFormatReader::seekCallback(void* reader, off_t offset, int whence)
{
    auto& self = *static_cast<Mp3AudioFormatReader*>(reader);
    auto* stream = self.input;
    juce::int64 target = offset;

    if (whence == SEEK_CUR)
        target += stream->getPosition() - self.streamStart;
    else if (whence == SEEK_END && stream->getTotalLength() >= 0)
        target += stream->getTotalLength() - self.streamStart;
    else if (whence != SEEK_SET)
        return -1;

    if (target < 0 || !stream->setPosition(self.streamStart + target))
        return -1;

    return (off_t)(stream->getPosition() - self.streamStart);
}
