#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A call-out box that stays open while the learner works inside it.

    On X11 the framework closes a call-out box whenever a titled window that the box blocks is
    moved or restacked, so that a box doesn't stay behind when its owner's title bar is dragged.
    Under a window manager such as openbox, though, a click inside the box that moves the
    keyboard focus makes the manager re-activate the owner window, and the box closed at the
    first click or drag inside it. This box ignores such a dismissal while the pointer is over
    it, or drags from it; it still closes on Escape, on a click outside it, and when its owner
    moves under the pointer. */
class LastingCallOutBox : public juce::CallOutBox
{
public:
    LastingCallOutBox(juce::Component& shown, juce::Rectangle<int> areaToPointTo, juce::Component* parent);

    /** Shows content in a box pointing at the area, as CallOutBox::launchAsynchronously does: the
        box owns the content and deletes both when it is dismissed. */
    static LastingCallOutBox& launchAsynchronously(std::unique_ptr<juce::Component> shown,
                                                   juce::Rectangle<int> areaToPointTo,
                                                   juce::Component* parent);

    void inputAttemptWhenModal() override;
    bool keyPressed(const juce::KeyPress& key) override;

private:
    bool isPointerWorkingInside() const;

    JUCE_DECLARE_NON_COPYABLE(LastingCallOutBox)
};
