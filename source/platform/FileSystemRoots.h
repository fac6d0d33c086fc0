#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/** The places a learner starts browsing from, each with a label to show beside its path.

    The framework lists a single root on Linux ("/", without a label), so qZ offers what a desktop
    user expects instead: the home folder, Documents and Music, qZ's own courseware folder, the
    removable media that are mounted (mount points under /media, /run/media/USER and /mnt, named
    by their folder, which the desktop names after the volume), the discs of our audio-CD layer
    (see AudioCdDiscs) and last the whole file system. Folders that don't exist are left out, and
    so is a folder already listed. */
class FileSystemRoots
{
public:
    FileSystemRoots() = delete;

    struct Root
    {
        juce::File folder;
        /** Already translated. */
        juce::String label;
    };

    /** Looks the roots up now. The discs are looked for too, which may wait for a drive. */
    static std::vector<Root> find();

    /** The mount points of removable media in a mount table (the text of /proc/self/mounts), in
        the table's order: the second field of each line, its octal escapes (\040 for a blank)
        decoded. */
    static juce::Array<juce::File> removableMountPoints(const juce::String& mountTable,
                                                        const juce::String& user);
};
