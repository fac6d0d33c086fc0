#pragma once

#include <juce_core/juce_core.h>

/** A new, empty folder for a test's own files inside the test process's home, which no other
    test process shares (the system's temporary folder is shared by tests running in parallel). */
juce::File makeScratchFolder(const juce::String& prefix);

/** A file of that name, or relative path, in the home folder (the test's own under a
    TemporaryHome). */
juce::File homeFile(const juce::String& name);

/** Points $HOME at a fresh temporary folder for its lifetime, so that the documents folder (and
    with it qZ's data folder) lies inside it, and $XDG_DATA_HOME at its ".local/share", so that
    the trash does too; the previous values come back afterwards. */
class TemporaryHome
{
public:
    TemporaryHome();
    ~TemporaryHome();

    const juce::File& getFolder() const { return folder; }
    juce::File getDocumentsFolder() const;

private:
    juce::File folder;
    juce::String previousHome;
    bool hadHome = false;
    juce::String previousDataHome;
    bool hadDataHome = false;

    JUCE_DECLARE_NON_COPYABLE(TemporaryHome)
};
