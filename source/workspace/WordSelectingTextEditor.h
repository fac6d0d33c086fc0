#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A text editor whose double, triple and quadruple clicks select by qZ's word rule
    (WordSelection) instead of the framework's, which takes every non-ASCII character for a
    letter and so swallows Chinese punctuation into the word. qZ's text editors derive from it. */
class WordSelectingTextEditor : public juce::TextEditor
{
public:
    using juce::TextEditor::TextEditor;

    void mouseDoubleClick(const juce::MouseEvent& event) override;
};
