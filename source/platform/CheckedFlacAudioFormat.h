#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

/** The framework's FLAC format, with every file checked before its reader gets it.

    The framework's FLAC reader copies as many channels out of each decoded frame as the stream's
    header (STREAMINFO) announces. A damaged or hostile file whose frames hold fewer channels
    makes it read past the decoder's buffers. So the whole stream is first walked through
    libFLAC here, frame header by frame header, and a file is handed on only when it has its
    header and every frame carries the header's channel count and bit depth, with a block no
    longer than the header's largest; otherwise it opens as no FLAC file at all. */
class CheckedFlacAudioFormat : public juce::FlacAudioFormat
{
public:
    juce::AudioFormatReader* createReaderFor(juce::InputStream* sourceStream,
                                             bool deleteStreamIfOpeningFails) override;

    /** Whether the stream, from its current position on, is FLAC that the framework's reader can
        take as it stands; the stream is left where it was. */
    static bool framesMatchHeader(juce::InputStream& stream);
};
