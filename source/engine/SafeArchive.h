#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <memory>

/** ZIP archives that never cost the learner a file: the one place where qZ writes and reads its
    course archives and courseware.

    Writing is atomic. The archive is built in a scratch file beside the target, every write is
    checked and counted against what reached the disk, the archive is read back and compared with
    its sources, and only then is the scratch file renamed over the target. A full disk, a failed
    write or a kill at any moment leaves the old archive or the new one, and at worst a scratch
    file that removeLeftovers deletes.

    Unpacking treats the archive as hostile. Entries must have bare names (no folder part, no
    "..", no absolute path, no hidden name) and must be plain files, not folders or links; one
    entry that breaks the rule fails the whole unpack before anything is written. Files that are
    not ZIP archives, or are cut short, fail too. Entries are decompressed into hidden scratch
    files in the target folder and checked, and only once all of them are whole are they given
    their names, so a failed unpack leaves nothing of the archive behind.

    Both may run on any thread; a job thread passes its cancel test and progress. */
class SafeArchive
{
public:
    SafeArchive() = delete;

    /** How a long job reports its progress (0 to 1) and learns that it should stop; both optional. */
    struct Monitor
    {
        std::function<bool()> shouldStop;
        std::function<void(double)> setProgress;
    };

    /** Which bare entry names an unpack extracts; the other entries with safe names are skipped. */
    using NameFilter = std::function<bool(const juce::String& name)>;

    /** Packs the files, each stored under its own file name and deflated at the level given, into
        a ZIP archive at the target (its folder is made when missing). The target is replaced only
        when the whole new archive is on the disk and reads back the same as its sources. */
    static juce::Result write(const juce::File& target, const juce::Array<juce::File>& files,
                              int compressionLevel, const Monitor& monitor = {});

    /** Extracts the entries the filter takes into the folder (made when missing), replacing files
        of the same name. On failure, nothing of the archive is left in the folder. */
    static juce::Result unpack(const juce::File& archive, const juce::File& folder, const NameFilter& filter,
                               const Monitor& monitor = {});

    /** A bare, plain file name: no folder part, no "." or "..", not hidden, no control character. */
    static bool isBareName(const juce::String& name);

    /** The scratch file a write of the target builds in; also the name to give any other file
        that is made beside its target and renamed over it once it is whole. */
    static juce::File scratchFileFor(const juce::File& target);

    /** Deletes the scratch files that an interrupted write or unpack left in the folder. */
    static void removeLeftovers(const juce::File& folder);

    /** Opens the file as a ZIP archive for reading; null when it is not one, is cut short or
        holds no entry. Cheap for a file that is not an archive, whatever its size. */
    static std::unique_ptr<juce::ZipFile> open(const juce::File& archive);
};
