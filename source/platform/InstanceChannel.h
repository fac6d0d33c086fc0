#pragma once

#include <juce_events/juce_events.h>

#include <functional>

/** Carries a message from a second start of the program to the running instance.

    The framework's single-instance lock keeps a second process from starting, but on Linux it has
    no way to tell the running one. This channel listens on a Unix socket in the abstract namespace
    (named per user, so it needs no file and vanishes with its process); a second start connects,
    sends one line and ends. Messages are handed to the message thread. */
class InstanceChannel : private juce::Thread
{
public:
    using Handler = std::function<void(const juce::String& message)>;

    /** Starts listening under the given name. When another process already listens, nothing is
        started and isListening() is false. */
    InstanceChannel(const juce::String& name, Handler onMessage);
    ~InstanceChannel() override;

    bool isListening() const { return socketFd >= 0; }

    /** Sends the message to a running instance listening under the name. False when none runs. */
    static bool tellRunningInstance(const juce::String& name, const juce::String& message);

private:
    void run() override;
    void handleConnection(int connection);

    Handler handler;
    int socketFd = -1;

    JUCE_DECLARE_NON_COPYABLE(InstanceChannel)
};
