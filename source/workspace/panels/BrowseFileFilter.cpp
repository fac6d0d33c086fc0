#include "workspace/panels/BrowseFileFilter.h"

#include "engine/audio/AudioCDExtractor.h"
#include "workspace/Main.h"

#include <sys/stat.h>

BrowseFileFilter::BrowseFileFilter() : juce::FileFilter("Audio file filter")
{
    if (formatManager == nullptr)
        return;
    for (int i = 0; i < formatManager->getNumKnownFormats(); ++i)
        for (const auto& extension : formatManager->getKnownFormat(i)->getFileExtensions())
            audioExtensions.addIfNotAlreadyThere(extension.toLowerCase());
}

BrowseFileFilter::~BrowseFileFilter() = default;

bool BrowseFileFilter::isRegularFile(const juce::File& file)
{
    // stat follows links, so a link to a recording counts and a link loop fails with ELOOP.
    struct stat info;
    return stat(file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISREG(info.st_mode);
}

bool BrowseFileFilter::isFileSuitable(const juce::File& file) const
{
    if (file.isDirectory())
        return true;

    const auto extension = file.getFileExtension();
    if (extension.isEmpty() || !isRegularFile(file))
        return false;
    if (extension == ".qzc")
        return true;
    if (extension == ".cda")
        return AudioCDExtractor::isOnCdDrive(file);
    return audioExtensions.contains(extension.toLowerCase());
}

bool BrowseFileFilter::isDirectorySuitable(const juce::File&) const
{
    return true;
}
