#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

/** Reads MP3 files through libmpg123, with gapless decoding: the encoder's delay and padding are
    trimmed, so the sound starts at sample 0 and the length is the source's, for MPEG-1 and
    MPEG-2 (22.05 kHz) alike. Read only. */
class Mp3AudioFormat : public juce::AudioFormat
{
public:
    Mp3AudioFormat();
    ~Mp3AudioFormat() override;

    juce::Array<int> getPossibleSampleRates() override;
    juce::Array<int> getPossibleBitDepths() override;
    bool canDoStereo() override { return true; }
    bool canDoMono() override { return true; }
    bool isCompressed() override { return true; }

    juce::AudioFormatReader* createReaderFor(juce::InputStream* sourceStream,
                                             bool deleteStreamIfOpeningFails) override;

    juce::AudioFormatWriter* createWriterFor(juce::OutputStream*, double, unsigned int, int,
                                             const juce::StringPairArray&, int) override;
    using juce::AudioFormat::createWriterFor;
};
