#include "harness/ProcessWideObjects.h"

#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

ProcessWideObjects::ProcessWideObjects() : lookAndFeel(std::make_unique<QzLookAndFeel>())
{
    juce::LookAndFeel::setDefaultLookAndFeel(lookAndFeel.get());
    createProcessWideObjects(*lookAndFeel);
}

ProcessWideObjects::~ProcessWideObjects()
{
    deleteProcessWideObjects();
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    lookAndFeel.reset();
}
