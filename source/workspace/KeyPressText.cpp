#include "workspace/KeyPressText.h"

juce::String KeyPressText::describe(const juce::KeyPress& key)
{
    if (!key.isValid())
        return {};

    juce::String text;
    const auto mods = key.getModifiers();
    if (mods.isCtrlDown())
        text << "Ctrl + ";
    if (mods.isShiftDown())
        text << "Shift + ";
    if (mods.isAltDown())
        text << "Alt + ";

    // The framework names the key alone well ("return", "page up", "F4", "A"); only its first
    // letter is raised, as at the start of any of qZ's key texts.
    const auto name = juce::KeyPress(key.getKeyCode()).getTextDescription();
    return text + name.substring(0, 1).toUpperCase() + name.substring(1);
}

juce::String KeyPressText::firstKeyOf(juce::ApplicationCommandManager& commands, juce::CommandID command)
{
    const auto keys = commands.getKeyMappings()->getKeyPressesAssignedToCommand(command);
    return keys.isEmpty() ? juce::String() : describe(keys.getReference(0));
}
