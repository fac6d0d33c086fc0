#pragma once

#include <juce_core/juce_core.h>

/** The listener list of the system's own classes: a listener is added once only, and every call
    runs from the last registered listener to the first. The count is read again before each call,
    so a listener may remove itself (or others) while it is being called. */
template <typename ListenerType> class ListenerArray
{
public:
    void add(ListenerType* listener)
    {
        if (listener != nullptr)
            listeners.addIfNotAlreadyThere(listener);
    }

    void remove(ListenerType* listener) { listeners.removeFirstMatchingValue(listener); }

    int size() const { return listeners.size(); }

    template <typename Call> void call(Call&& call)
    {
        for (int i = listeners.size(); --i >= 0;)
        {
            call(*listeners.getUnchecked(i));
            i = juce::jmin(i, listeners.size());
        }
    }

private:
    juce::Array<ListenerType*> listeners;
};
