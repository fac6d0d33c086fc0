#include "harness/FolderContents.h"

juce::StringArray FolderContents::namesIn(const juce::File& folder)
{
    juce::StringArray names;
    for (const auto& file : folder.findChildFiles(juce::File::findFilesAndDirectories, false, "*"))
        names.add(file.getFileName());
    names.sort(false);
    return names;
}

juce::StringArray FolderContents::entriesOf(const juce::File& archive)
{
    juce::StringArray names;
    juce::ZipFile zip(archive);
    for (int i = 0; i < zip.getNumEntries(); ++i)
        names.add(zip.getEntry(i)->filename);
    names.sort(false);
    return names;
}
