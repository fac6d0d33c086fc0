#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

/** Copies the audio-CD track that a ".cda" file stands for into a WAV file.

    CD access is not there yet: no track can be read, so every extraction fails. */
class AudioCDExtractor
{
public:
    AudioCDExtractor() = delete;

    /** Writes the track into the destination; false when the file is not on a CD drive or the
        copy was not made. */
    static bool extractAudioDataToFile(const juce::File& cdaFile, const juce::File& destination);
};
