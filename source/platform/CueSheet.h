#pragma once

#include <juce_core/juce_core.h>

/** Checks a cue sheet of a ripped audio CD ("lesson.cue" beside its data file "lesson.bin")
    before libcdio is let at it.

    libcdio's cue reader takes the disc's samples from the file named like the cue sheet with the
    extension "bin", whatever the sheet's FILE line says, and would read any file a sheet named.
    A sheet comes from elsewhere, so it is taken only when its one FILE line names exactly that
    data file, as raw little-endian samples ("BINARY"); the data file must be a regular file that
    really lies in the sheet's folder (a link leading out of it is refused) and hold whole CD
    sectors of 2352 bytes (a copy cut off part-way is refused). */
class CueSheet
{
public:
    CueSheet() = delete;

    /** The data file the disc's samples come from: the sheet's name with the extension "bin". */
    static juce::File dataFileOf(const juce::File& cueSheet);

    /** Ok, or a failure that says in English what is wrong with the image. */
    static juce::Result check(const juce::File& cueSheet);

private:
    struct FileLine
    {
        juce::String name, type;
    };
    static bool readFileLines(const juce::File& cueSheet, juce::Array<FileLine>& lines);
    static juce::Result checkDataFile(const juce::File& cueSheet);
};
