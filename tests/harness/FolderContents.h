#pragma once

#include <juce_core/juce_core.h>

/** What a folder or a ZIP archive holds, by name, sorted, for tests that compare it whole. */
class FolderContents
{
public:
    FolderContents() = delete;

    /** The names of the files and folders directly in the folder, hidden ones included. */
    static juce::StringArray namesIn(const juce::File& folder);

    /** The names of the archive's entries as its directory stores them. */
    static juce::StringArray entriesOf(const juce::File& archive);
};
