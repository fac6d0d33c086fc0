#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

/** Finds and works the widgets of a window under test by their component ids, as the learner
    works them. */
class Widgets
{
public:
    Widgets() = delete;

    /** The child with this id, of this type. A window without it can't be tested further: the
        test process ends, saying which. */
    template <typename Type = juce::Component>
    static Type& byId(juce::Component& parent, const juce::String& id)
    {
        auto* found = dynamic_cast<Type*>(parent.findChildWithID(id));
        if (found == nullptr)
            missing(id);
        return *found;
    }

    static bool isEnabled(juce::Component& parent, const juce::String& id)
    {
        return byId(parent, id).isEnabled();
    }

    /** Clicks the button with this id, which must be enabled; the click arrives through the
        message loop, which runs until it has been handled. */
    static void click(juce::Component& parent, const juce::String& id);

private:
    [[noreturn]] static void missing(const juce::String& id);
};
