// The program's entry: hand the framework's runner a factory for the one application object.
#include "platform/InstanceChannel.h"
#include "workspace/Main.h"

static juce::JUCEApplicationBase* createQzApplication()
{
    return new qzApplication();
}

int main(int argc, char* argv[])
{
    // The framework cannot tell a running instance about a second start on Linux; our channel
    // does, and the second process ends here.
    if (InstanceChannel::tellRunningInstance(qzApplication::instanceChannelName(), "started"))
        return 0;

    juce::JUCEApplicationBase::createInstance = &createQzApplication;
    return juce::JUCEApplicationBase::main(argc, const_cast<const char**>(argv));
}
