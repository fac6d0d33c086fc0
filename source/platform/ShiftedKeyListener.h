#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Lets key mappings made of Shift with a digit or the grave key reach their commands on X11.

    There a key pressed with Shift arrives as the character it types (Ctrl+Shift+1 as Ctrl+Shift+!),
    so a mapping registered on the key itself never matches. This listener, added before the
    mappings' own listener so that it is asked after it, hands such a press on to the mappings
    once more as the key that types the character unshifted, on the standard US layout. */
class ShiftedKeyListener : public juce::KeyListener
{
public:
    explicit ShiftedKeyListener(juce::KeyPressMappingSet& keyMappings);

    bool keyPressed(const juce::KeyPress& key, juce::Component* originatingComponent) override;

    /** The key that types the character without Shift, or the key itself when the character is
        not a shifted one or no Ctrl or Alt is held with Shift. */
    static juce::KeyPress unshifted(const juce::KeyPress& key);

private:
    juce::KeyPressMappingSet& mappings;
};
