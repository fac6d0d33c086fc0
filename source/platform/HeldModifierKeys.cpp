// The framework's X11 declarations (its display and its table of Xlib functions) are needed here
// only, where they are read; they come with the framework's header when asked for.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "platform/HeldModifierKeys.h"

namespace
{
constexpr int keyboardModifiers =
    juce::ModifierKeys::shiftModifier | juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::altModifier;

/** The modifier bit that X gives the left Alt key, found as the framework finds it: X has no fixed
    bit for Alt. Zero when no modifier holds the key. */
unsigned int altMaskOf(::Display* display)
{
    auto* x = juce::X11Symbols::getInstance();
    const auto altCode = x->xKeysymToKeycode(display, XK_Alt_L);
    auto* mapping = x->xGetModifierMapping(display);
    if (mapping == nullptr)
        return 0;

    unsigned int mask = 0;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int key = 0; key < mapping->max_keypermod; ++key)
            if (altCode != 0 && mapping->modifiermap[modifier * mapping->max_keypermod + key] == altCode)
                mask = 1u << modifier;
    x->xFreeModifiermap(mapping);
    return mask;
}

/** The modifier state that X reports for the pointer's screen; false when it can't be asked. */
bool queryModifierState(unsigned int& state, unsigned int& altMask)
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    if (windowSystem == nullptr || windowSystem->getDisplay() == nullptr)
        return false;

    auto* display = windowSystem->getDisplay();
    auto* x = juce::X11Symbols::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock lock;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    if (x->xQueryPointer(display, x->xRootWindow(display, x->xDefaultScreen(display)), &root, &child, &rootX,
                         &rootY, &windowX, &windowY, &state) == False)
        return false;
    altMask = altMaskOf(display);
    return true;
}
/** The framework's modifier flags for an X modifier state, Alt being the bit altMask. */
int flagsForState(unsigned int state, unsigned int altMask)
{
    int flags = 0;
    if ((state & ShiftMask) != 0)
        flags |= juce::ModifierKeys::shiftModifier;
    if ((state & ControlMask) != 0)
        flags |= juce::ModifierKeys::ctrlModifier;
    if (altMask != 0 && (state & altMask) != 0)
        flags |= juce::ModifierKeys::altModifier;
    return flags;
}
} // namespace

HeldModifierKeys::HeldModifierKeys()
{
    juce::Desktop::getInstance().addFocusChangeListener(this);
}

HeldModifierKeys::~HeldModifierKeys()
{
    juce::Desktop::getInstance().removeFocusChangeListener(this);
}

bool HeldModifierKeys::refresh()
{
    unsigned int state = 0, altMask = 0;
    if (!queryModifierState(state, altMask))
        return false;

    const auto before = juce::ModifierKeys::currentModifiers;
    const auto held = before.withoutFlags(keyboardModifiers).withFlags(flagsForState(state, altMask));
    if (held == before)
        return false;
    juce::ModifierKeys::currentModifiers = held;
    return true;
}

void HeldModifierKeys::globalFocusChanged(juce::Component*)
{
    refresh();
    if (anyHeld())
        startTimer(recheckMilliseconds);
}

void HeldModifierKeys::timerCallback()
{
    refresh();
    if (!anyHeld())
        stopTimer();
}

bool HeldModifierKeys::anyHeld()
{
    return (juce::ModifierKeys::currentModifiers.getRawFlags() & keyboardModifiers) != 0;
}
