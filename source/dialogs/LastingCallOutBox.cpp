#include "dialogs/LastingCallOutBox.h"

namespace
{
/** What the framework's asynchronous launch does for its own box: keeps the content and the box
    for as long as the box is modal, and is deleted with them by the modal manager when it ends.
    Like the framework's, it closes the box once the program has gone to the background. */
class LaunchedBox : public juce::ModalComponentManager::Callback, private juce::Timer
{
public:
    LaunchedBox(std::unique_ptr<juce::Component> c, juce::Rectangle<int> area, juce::Component* parent)
        : content(std::move(c)), box(*content, area, parent)
    {
        box.setVisible(true);
        box.enterModalState(true, this);
        startTimer(backgroundCheckMilliseconds);
    }

    void modalStateFinished(int) override {}

    std::unique_ptr<juce::Component> content;
    LastingCallOutBox box;

private:
    void timerCallback() override
    {
        if (!juce::Process::isForegroundProcess())
            box.dismiss();
    }

    static constexpr int backgroundCheckMilliseconds = 200;
};
} // namespace

LastingCallOutBox::LastingCallOutBox(juce::Component& shown, juce::Rectangle<int> areaToPointTo,
                                     juce::Component* parent)
    : juce::CallOutBox(shown, areaToPointTo, parent)
{
}

LastingCallOutBox& LastingCallOutBox::launchAsynchronously(std::unique_ptr<juce::Component> shown,
                                                           juce::Rectangle<int> areaToPointTo,
                                                           juce::Component* parent)
{
    jassert(shown != nullptr);
    // Owned by the modal manager from here on.
    return (new LaunchedBox(std::move(shown), areaToPointTo, parent))->box;
}

void LastingCallOutBox::inputAttemptWhenModal()
{
    // A click outside comes with the pointer outside; the owner's re-activation that a click
    // inside brings about comes with the pointer still over the box.
    if (isPointerWorkingInside())
        return;
    juce::CallOutBox::inputAttemptWhenModal();
}

bool LastingCallOutBox::keyPressed(const juce::KeyPress& key)
{
    if (key.isKeyCode(juce::KeyPress::escapeKey))
    {
        // Wherever the pointer is.
        juce::CallOutBox::inputAttemptWhenModal();
        return true;
    }
    return juce::CallOutBox::keyPressed(key);
}

bool LastingCallOutBox::isPointerWorkingInside() const
{
    const auto& mouse = juce::Desktop::getInstance().getMainMouseSource();
    if (mouse.isDragging())
        if (auto* dragged = mouse.getComponentUnderMouse())
            if (dragged == this || isParentOf(dragged))
                return true;
    return getScreenBounds().contains(juce::Desktop::getMousePosition());
}
