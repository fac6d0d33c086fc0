#include "platform/ShiftedKeyListener.h"

namespace
{
// The characters that Shift gives the digit row's keys and the grave key on the US layout.
constexpr const char* shiftedCharacters = "~!@#$%^&*()";
constexpr const char* unshiftedCharacters = "`1234567890";
} // namespace

ShiftedKeyListener::ShiftedKeyListener(juce::KeyPressMappingSet& keyMappings) : mappings(keyMappings) {}

juce::KeyPress ShiftedKeyListener::unshifted(const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();
    if (!mods.isShiftDown() || !(mods.isCtrlDown() || mods.isAltDown() || mods.isCommandDown()))
        return key;
    const int code = key.getKeyCode();
    if (code <= 0 || code > 127)
        return key;
    const auto shifted = juce::String(shiftedCharacters).indexOfChar((juce::juce_wchar)code);
    if (shifted < 0)
        return key;
    return juce::KeyPress(unshiftedCharacters[shifted], mods, 0);
}

bool ShiftedKeyListener::keyPressed(const juce::KeyPress& key, juce::Component* originatingComponent)
{
    const auto plain = unshifted(key);
    return plain != key && mappings.keyPressed(plain, originatingComponent);
}
