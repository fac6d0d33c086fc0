#pragma once

#include <juce_core/juce_core.h>

/** Moves files to the desktop's trash, through GLib's GIO.

    The framework's own move on Linux only renames the file into a trash folder that already
    exists and writes no restore information, so the file manager can't put it back. GIO keeps
    the trash as the desktop defines it: the home trash under $XDG_DATA_HOME (or
    ~/.local/share), made when missing, with an info file naming the original place and the
    time of deletion; files on other volumes go to that volume's own trash. */
class Trash
{
public:
    Trash() = delete;

    /** Moves the file or folder to the trash. True when it went there, or when there is nothing
        at that path; false when it stays where it is (the error text in `error` if given). */
    static bool moveToTrash(const juce::File& file, juce::String* error = nullptr);
};
