#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Key presses as qZ writes them for the learner: the modifiers first, each capitalised and
    joined by " + ", then the key ("Ctrl + J", "Alt + Tab", "Delete", "F4", "="). The framework's
    own text ("ctrl + J", "shortcut: '='") reads differently from the rest of qZ's texts. */
namespace KeyPressText
{
/** The text of one key press; empty for an invalid one. */
juce::String describe(const juce::KeyPress& key);

/** The text of the first key press assigned to the command; empty when it has none. */
juce::String firstKeyOf(juce::ApplicationCommandManager& commands, juce::CommandID command);
} // namespace KeyPressText
