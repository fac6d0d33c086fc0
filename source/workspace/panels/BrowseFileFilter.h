#pragma once

#include <juce_core/juce_core.h>

/** Decides which entries the side browser lists: every folder, and the regular files qZ can
    open, told by their whole extension.

    - ".qzc" (exactly, case included): courseware, previewed by the audio inside it;
    - ".cda" (exactly) lying in a disc's folder of our audio-CD layer: a track of an audio CD;
    - any other extension that one of the process-wide format manager's formats names, ignoring
      case (".WAV" is a WAV file, ".wa" is nothing).

    A file without an extension, and anything that is not a regular file (a FIFO, a device node,
    a link that leads nowhere or round in a loop), is never listed: opening a FIFO or a device
    would block whoever reads it.

    The directory scan asks from its own thread: the extensions are copied from the format manager
    when the filter is made and never change, and a question only looks at the file's name and
    state. */
class BrowseFileFilter : public juce::FileFilter
{
public:
    BrowseFileFilter();
    ~BrowseFileFilter() override;

    bool isFileSuitable(const juce::File& file) const override;
    /** Every folder is listed and can be opened. */
    bool isDirectorySuitable(const juce::File& folder) const override;

    /** Whether the path leads (through links) to a regular file; false for folders, FIFOs,
        devices, sockets and for paths that lead nowhere. */
    static bool isRegularFile(const juce::File& file);

private:
    /** The format manager's extensions, lower case, each with its dot. */
    juce::StringArray audioExtensions;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BrowseFileFilter)
};
