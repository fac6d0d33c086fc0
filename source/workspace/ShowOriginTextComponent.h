#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class CourseModel;

/** The origin-text window's content: the foreign text of one sentence, large and centred, with
    "Close" and "Modify". A modified text goes into the course as one undo step. */
class ShowOriginTextComponent : public juce::Component,
                                private juce::Button::Listener,
                                private juce::Label::Listener
{
public:
    /** Reads the sentence's foreign text once, here. */
    ShowOriginTextComponent(CourseModel* model, int sentenceIndex);
    ~ShowOriginTextComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void parentHierarchyChanged() override;

    juce::Label& getTextLabel() { return *textLabel; }
    juce::TextButton& getCloseButton() { return closeButton; }
    juce::TextButton& getModifyButton() { return modifyButton; }

private:
    void buttonClicked(juce::Button* button) override;
    void labelTextChanged(juce::Label* label) override;

    std::unique_ptr<juce::Label> textLabel;
    juce::TextButton closeButton;
    juce::TextButton modifyButton;
    CourseModel* courseModel;
    int index;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ShowOriginTextComponent)
};
