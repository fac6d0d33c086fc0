#include "harness/TemporaryHome.h"

#include <cstdlib>
#include <unistd.h>

TemporaryHome::TemporaryHome()
    : folder(juce::File::getSpecialLocation(juce::File::tempDirectory)
                 .getChildFile("qz-home-" + juce::String(getpid()) + "-" +
                               juce::String::toHexString(juce::Random::getSystemRandom().nextInt64())))
{
    // Named by process and at random: tests run in parallel processes and must never share a home.
    folder.createDirectory();
    if (const char* home = std::getenv("HOME"))
    {
        hadHome = true;
        previousHome = home;
    }
    setenv("HOME", folder.getFullPathName().toRawUTF8(), 1);

    // The desktop's data folder, and with it the trash, goes with the home.
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"))
    {
        hadDataHome = true;
        previousDataHome = dataHome;
    }
    setenv("XDG_DATA_HOME", folder.getChildFile(".local/share").getFullPathName().toRawUTF8(), 1);
}

TemporaryHome::~TemporaryHome()
{
    if (hadHome)
        setenv("HOME", previousHome.toRawUTF8(), 1);
    else
        unsetenv("HOME");
    if (hadDataHome)
        setenv("XDG_DATA_HOME", previousDataHome.toRawUTF8(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    folder.deleteRecursively();
}

juce::File TemporaryHome::getDocumentsFolder() const
{
    return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory);
}

juce::File makeScratchFolder(const juce::String& prefix)
{
    auto folder = juce::File::getSpecialLocation(juce::File::userHomeDirectory)
                      .getNonexistentChildFile(prefix, {}, false);
    folder.createDirectory();
    return folder;
}

juce::File homeFile(const juce::String& name)
{
    return juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile(name);
}
