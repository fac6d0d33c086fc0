// The program's entry: hand the framework's runner a factory for the one application object.
#include "engine/Clock.h"
#include "platform/DisplayCheck.h"
#include "platform/InstanceChannel.h"
#include "workspace/Main.h"

#include <cstdio>

static juce::JUCEApplicationBase* createQzApplication()
{
    return new qzApplication();
}

int main(int argc, char* argv[])
{
    // Without a display the framework's windowing code would crash; say why and end instead.
    const auto noDisplay = DisplayCheck::whyNoDisplay();
    if (!noDisplay.empty())
    {
        std::fprintf(stderr, "qZ: %s\n", noDisplay.c_str());
        return 1;
    }

    // The framework cannot tell a running instance about a second start on Linux; our channel
    // does, and the second process ends here.
    if (InstanceChannel::tellRunningInstance(qzApplication::instanceChannelName(), "started"))
        return 0;

    // End-to-end tests start qZ on the day they need (only with QZ_TEST=1).
    Clock::applyTestNowFromEnvironment();

    juce::JUCEApplicationBase::createInstance = &createQzApplication;
    return juce::JUCEApplicationBase::main(argc, const_cast<const char**>(argv));
}
