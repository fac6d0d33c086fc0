#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Keeps the framework's idea of the held Shift, Ctrl and Alt keys true when a window of qZ gains
    the keyboard focus.

    On X11 the framework follows these keys only through the key events its own windows receive.
    When a window closes while a modifier is held (Alt+F4, which the window manager takes), the
    key's release goes to no window of ours, and the framework goes on believing it held: every
    shortcut typed afterwards arrives with Alt added and matches nothing, until a click or a tap
    of Alt. So at each change of the keyboard focus, which follows every activation of one of
    our windows, the keys that X reports held replace the framework's. Mouse buttons are kept.

    The window manager may still hold the keyboard when the focus arrives, the modifier still
    down: while the framework then believes one held, X is asked again a little later, until
    none is. */
class HeldModifierKeys : private juce::FocusChangeListener, private juce::Timer
{
public:
    /** Listens to the focus changes of the whole desktop for as long as it lives. */
    HeldModifierKeys();
    ~HeldModifierKeys() override;

    /** Asks X which modifiers are held and sets the framework's current modifiers to them; true
        when they differed. False without a display. */
    static bool refresh();

private:
    void globalFocusChanged(juce::Component* focusedComponent) override;
    void timerCallback() override;
    static bool anyHeld();

    static constexpr int recheckMilliseconds = 50;

    JUCE_DECLARE_NON_COPYABLE(HeldModifierKeys)
};
