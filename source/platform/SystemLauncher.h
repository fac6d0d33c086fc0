#pragma once

#include <juce_core/juce_core.h>

/** Opens web pages, folders and files with the desktop's default handler, through GLib's GIO.

    The framework starts the handler through a shell command line, where a folder name with shell
    characters in it is not safe, and reports success as soon as the shell has been started. GIO
    takes the address as data and tells whether a handler took it. */
class SystemLauncher
{
public:
    SystemLauncher() = delete;

    /** Opens the address (a local file's URL opens the file or folder); false when no handler
        could be started for it. */
    static bool open(const juce::URL& address);

    /** The address GIO is given: a file URI for a local file, the URL's own text otherwise. */
    static juce::String uriFor(const juce::URL& address);
};
