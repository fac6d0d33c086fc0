#include "harness/TemporaryHome.h"

#include <cstdlib>

TemporaryHome::TemporaryHome()
    : folder(juce::File::getSpecialLocation(juce::File::tempDirectory).getNonexistentChildFile("qz-home-", {}, false))
{
    folder.createDirectory();
    if (const char* home = std::getenv("HOME"))
    {
        hadHome = true;
        previousHome = home;
    }
    setenv("HOME", folder.getFullPathName().toRawUTF8(), 1);
}

TemporaryHome::~TemporaryHome()
{
    if (hadHome)
        setenv("HOME", previousHome.toRawUTF8(), 1);
    else
        unsetenv("HOME");
    folder.deleteRecursively();
}

juce::File TemporaryHome::getDocumentsFolder() const
{
    return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory);
}
