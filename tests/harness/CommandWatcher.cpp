#include "harness/CommandWatcher.h"

#include "workspace/Main.h"

CommandWatcher::CommandWatcher(std::initializer_list<juce::CommandID> watchedIds) : ids(watchedIds)
{
    commandManager->setFirstCommandTarget(this);
}

CommandWatcher::~CommandWatcher()
{
    if (commandManager != nullptr)
        commandManager->setFirstCommandTarget(nullptr);
}

void CommandWatcher::getAllCommands(juce::Array<juce::CommandID>& commands)
{
    commands.addArray(ids);
}

void CommandWatcher::getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result)
{
    result.setInfo("command " + juce::String::toHexString(commandID), {}, {}, 0);
}

bool CommandWatcher::perform(const InvocationInfo& info)
{
    performed.add(info.commandID);
    return true;
}

void CommandWatcher::deliverPostedMessages()
{
    // Messages are delivered in the order they were posted: when this one arrives, so have the
    // ones before it.
    auto delivered = std::make_shared<bool>(false);
    juce::MessageManager::callAsync([delivered] { *delivered = true; });
    for (int i = 0; i < 500 && !*delivered; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
}
