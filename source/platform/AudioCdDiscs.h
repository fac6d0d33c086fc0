#pragma once

#include "platform/AudioCdDiscReader.h"

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>
#include <vector>

/** The audio CDs qZ can read, shown to the file chooser, the drop road and the side browser as
    folders of ".cda" files, one file per audio track, as other desktops show a disc.

    A Linux desktop shows no such files, so qZ writes them itself: small placeholder files that
    hold no audio, in a folder of its own under the documents folder:

        ~/Documents/qz/audio-cd/                the root, rewritten each time the discs are looked for
            sr0/                                the disc in the drive /dev/sr0 (the device's own name,
                                                links such as /dev/cdrom resolved)
                Track01.cda ... Track12.cda     one per audio track, by the track's number on the disc
            lesson.cue/                         the ripped image lesson.cue (with lesson.bin) in the
                Track01.cda ...                 images folder

    Drives are those libcdio finds (/dev/sr0, /dev/cdrom ...; the learner needs read access to
    the device). Images are the cue sheets directly in the folder that the environment variable
    QZ_CD_IMAGES names, each with its data file beside it (see CueSheet); images that fail their
    check are left out and the reason is logged.

    A ".cda" file stands for a track of the disc whose folder holds it: the disc is found by the
    whole path of that folder, the track by the file's position among the folder's ".cda" files
    sorted by name (the third file is the third audio track). */
class AudioCdDiscs
{
public:
    AudioCdDiscs() = delete;

    /** A disc found in a drive or in the images folder. */
    struct Disc
    {
        /** Its folder of ".cda" files under the root. */
        juce::File folder;
        /** Its title from CD-Text or the cue sheet, else "Audio CD": what a volume label says. */
        juce::String label;
        /** The device path or the cue sheet it is read from. */
        juce::String source;
        int numTracks = 0;
    };

    /** The environment variable that names the folder of ripped images. */
    static constexpr const char* imagesVariable = "QZ_CD_IMAGES";

    /** "qz/audio-cd" in the documents folder. */
    static juce::File placeholderRoot();

    /** The folder QZ_CD_IMAGES names, or the nonexistent file when it names none. */
    static juce::File imagesFolder();

    /** Whether the file lies in a disc's folder under the root. Looks at the path alone, so it is
        cheap and safe on any thread (the side browser's scanning thread asks it); whether the
        disc is still there is found out when it is read. */
    static bool isOnCdDrive(const juce::File& file);

    /** Looks at every drive and image (opening each disc, which can take a moment when a drive
        spins up) and brings the root in line: a folder per disc with audio tracks, holding its
        ".cda" files; folders and ".cda" files of discs no longer there are removed (anything else
        is left alone). Returns the discs, drives first, each group sorted by name; their folders
        serve the side browser as roots. */
    static std::vector<Disc> refreshPlaceholders();

    /** Opens the disc whose folder this is, or null when the folder stands for no disc there is. */
    static std::unique_ptr<AudioCdDiscReader> openDisc(const juce::File& discFolder);

    /** "Track01.cda" for track 1. */
    static juce::String trackFileName(int trackNumber);

private:
    using DiscVisitor = std::function<void(const Disc& disc, const AudioCdDiscReader& reader)>;
    /** Opens every drive and image in turn and hands over those with audio tracks. */
    static void visitDiscs(const DiscVisitor& visit);
    static juce::StringArray findDrives();
    static juce::Array<juce::File> findImages();
    static juce::File folderOfImage(const juce::File& cueSheet);
    static void writePlaceholders(const Disc& disc, const AudioCdDiscReader& reader);
    static void removeStalePlaceholders(const std::vector<Disc>& discs);
};
