#pragma once

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** Finds the audio-CD track that a ".cda" file stands for, hands out a reader over its samples
    (for previews) or copies it into a WAV file on a job thread behind a modal progress window
    (before a course is made of it).

    The discs and their ".cda" files are those of AudioCdDiscs (see there for their names): the
    disc is the one whose folder holds the file, the track the file's position among the folder's
    ".cda" files sorted by name. The copy is always a WAV file of 44100 Hz, 2 channels, 16 bits,
    written in blocks of 2048 samples, the last one padded with silence. */
class AudioCDExtractor : public juce::ThreadWithProgressWindow
{
public:
    static constexpr int blockSamples = 2048;

    /** Takes the reader over (it may be null: the job then says the file is no CD audio) and
        empties the destination. */
    AudioCDExtractor(std::unique_ptr<juce::AudioFormatReader> trackReader, const juce::File& destination);
    ~AudioCDExtractor() override;

    /** Whether the file lies in a disc's folder (it then counts as lying on a CD drive); only the
        path is looked at, so any thread may ask. */
    static bool isOnCdDrive(const juce::File& file);

    /** A reader over the track's samples, or null when the file lies on no disc there is or
        stands for no track of it. */
    static std::unique_ptr<juce::AudioFormatReader> extractAudioFormatReader(const juce::File& cdaFile);

    /** Copies the track into the destination behind the progress window "Extracting audio
        data...". False when the file is not on a CD drive (nothing is shown) or the learner
        cancelled (the part written so far stays). True otherwise, also when the job found no
        track (it says so; the destination stays empty) or a read failed (the destination is
        deleted). */
    static bool extractAudioDataToFile(const juce::File& cdaFile, const juce::File& destination);

    void run() override;

private:
    static int trackIndexOf(const juce::File& cdaFile);
    bool copyTrack(juce::AudioFormatWriter& writer);

    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::File outputFile;

    JUCE_DECLARE_NON_COPYABLE(AudioCDExtractor)
};
