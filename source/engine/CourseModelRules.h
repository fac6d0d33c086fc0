#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Limits and message helpers shared by the course model's source files (loading, editing and
    the review rules). */
namespace courseModelRules
{
// Both parts of a split, and what a boundary move leaves of a neighbour, last longer than this.
constexpr double shortestPartSeconds = 0.3;
// Sentences further apart than this are not merged: the cut between them was meant.
constexpr double longestMergedGapSeconds = 1.0;

/** Lines of one message are joined with this. */
inline const juce::String lineBreak{"\r\n"};

/** A modal box whose message is the given lines. */
inline void showRefusal(juce::MessageBoxIconType icon, const juce::String& title,
                        const juce::StringArray& lines)
{
    juce::AlertWindow::showMessageBox(icon, title, lines.joinIntoString(lineBreak));
}
} // namespace courseModelRules
