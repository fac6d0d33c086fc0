#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <vector>

/** Ripped audio-CD images for tests, made with sox: a cue sheet "name.cue" and its data file
    "name.bin", one tone per track, each track padded with silence to whole CD sectors. */
class CdImages
{
public:
    struct Track
    {
        double seconds = 1.0;
        /** The tone's frequency; 0 gives silence. */
        double frequency = 440.0;
    };

    /** Writes the image into the folder; the cue sheet, or the nonexistent file when sox failed. */
    static juce::File write(const juce::File& folder, const juce::String& name,
                            const std::vector<Track>& tracks, const juce::String& title = {});

    /** The sample frames each track of the image holds: whole sectors of 588. */
    static juce::int64 trackFrames(const Track& track);

    /** The 16-bit samples (left and right in turn) of a span of frames of the data file. */
    static std::vector<juce::int16> rawSamples(const juce::File& dataFile, juce::int64 firstFrame,
                                               int numFrames);

    /** Points QZ_CD_IMAGES at a folder while it lives, and back to what it was afterwards. */
    class ScopedFolder
    {
    public:
        explicit ScopedFolder(const juce::File& folder);
        ~ScopedFolder();

    private:
        juce::String previous;
        bool hadPrevious = false;

        JUCE_DECLARE_NON_COPYABLE(ScopedFolder)
    };
};
