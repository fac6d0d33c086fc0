#include "FuzzSupport.h"

#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

class FuzzEnvironment::ModalCloser : private juce::Timer
{
public:
    ModalCloser() { startTimer(1); }
    void setActive(bool on) { active = on; }

private:
    void timerCallback() override
    {
        if (!active)
            return;
        if (auto* modal = juce::Component::getCurrentlyModalComponent())
            modal->exitModalState(0);
    }

    bool active = true;
};

FuzzEnvironment::FuzzEnvironment()
{
    // Each target process works in a home of its own, as the tests do.
    homeFolder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                     .getChildFile("qz-fuzz-home-" + juce::String(getpid()));
    homeFolder.deleteRecursively();
    homeFolder.createDirectory();
    setenv("HOME", homeFolder.getFullPathName().toRawUTF8(), 1);

    gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    auto* qzLook = new QzLookAndFeel();
    lookAndFeel.reset(qzLook);
    juce::LookAndFeel::setDefaultLookAndFeel(qzLook);
    createProcessWideObjects(*qzLook);
    closer = std::make_unique<ModalCloser>();
}

FuzzEnvironment::~FuzzEnvironment()
{
    closer.reset();
    deleteProcessWideObjects();
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    lookAndFeel.reset();
    gui.reset();
    homeFolder.deleteRecursively();
}

void FuzzEnvironment::closeModalWindows(bool on)
{
    closer->setActive(on);
}

juce::File FuzzEnvironment::seedFolder()
{
    const auto folder = juce::SystemStats::getEnvironmentVariable("QZ_FUZZ_WRITE_SEEDS", {});
    return folder.isEmpty() ? juce::File() : juce::File(folder);
}

void FuzzEnvironment::writeSeed(const juce::String& name, const void* data, size_t size)
{
    const auto folder = seedFolder();
    folder.createDirectory();
    fuzzCheck(folder.getChildFile(name).replaceWithData(data, size), "writing a seed");
}

void FuzzEnvironment::writeSeed(const juce::String& name, const juce::String& text)
{
    writeSeed(name, text.toRawUTF8(), text.getNumBytesAsUTF8());
}

void FuzzEnvironment::writeSeed(const juce::String& name, const juce::File& file)
{
    juce::MemoryBlock bytes;
    fuzzCheck(file.loadFileAsData(bytes), "reading a seed's source file");
    writeSeed(name, bytes.getData(), bytes.getSize());
}

void FuzzEnvironment::pump(int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(milliseconds);
}

void fuzzCheck(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "qZ fuzz invariant broken: %s\n", what);
    std::abort();
}
