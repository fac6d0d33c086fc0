#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <initializer_list>

/** The application command manager's first command target for a test: it owns the given command
    ids, and records every one that is performed, in order. It stands in for the command table
    where a test only wants to see which commands a component invokes, and when. */
class CommandWatcher : public juce::ApplicationCommandTarget
{
public:
    explicit CommandWatcher(std::initializer_list<juce::CommandID> watchedIds);
    ~CommandWatcher() override;

    juce::ApplicationCommandTarget* getNextCommandTarget() override { return nullptr; }
    void getAllCommands(juce::Array<juce::CommandID>& commands) override;
    void getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result) override;
    bool perform(const InvocationInfo& info) override;

    /** Runs the message loop until every message posted before this call has been delivered, so
        that asynchronous invocations made so far have been performed. */
    static void deliverPostedMessages();

    /** The ids performed so far, forgotten with clear. */
    juce::Array<juce::CommandID> performed;

private:
    juce::Array<juce::CommandID> ids;
};
