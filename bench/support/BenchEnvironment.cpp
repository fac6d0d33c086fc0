#include "support/BenchEnvironment.h"

#include "common/XErrors.h"
#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

#include <cstdlib>
#include <unistd.h>

BenchEnvironment::BenchEnvironment()
{
    if (const char* existing = std::getenv("HOME"))
        previousHome = existing;
    // The home is set before anything resolves the documents folder from it.
    home = makeTemporaryHome();
    setenv("HOME", home.getFullPathName().toRawUTF8(), 1);

    gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    // The progress windows of the jobs measured open and close in quick succession; the X errors
    // that gives for windows already gone would end the program, as in the tests.
    ignoreXErrors();
    createProcessWideObjects();
}

BenchEnvironment::~BenchEnvironment()
{
    deleteProcessWideObjects();
    gui.reset();
    home.deleteRecursively();
    if (previousHome.isNotEmpty())
        setenv("HOME", previousHome.toRawUTF8(), 1);
}

juce::File BenchEnvironment::makeTemporaryHome()
{
    auto folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                      .getChildFile("qz-bench-home-" + juce::String(getpid()));
    folder.deleteRecursively();
    folder.createDirectory();
    return folder;
}

void BenchEnvironment::createProcessWideObjects()
{
    // As the application does it: the look and feel first, then the objects and the formats.
    lookAndFeel = std::make_unique<QzLookAndFeel>();
    juce::LookAndFeel::setDefaultLookAndFeel(lookAndFeel.get());
    ::createProcessWideObjects(*lookAndFeel);
}

void BenchEnvironment::deleteProcessWideObjects()
{
    ::deleteProcessWideObjects();
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    lookAndFeel.reset();
}
