#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CourseController;

/** The floating badge over the pages. The pages container owns it and keeps it on top; the pages
    viewport glides it to the top right corner of the visible area.

    Its pictures, hover, dragging and menu are not there yet: for now it is an empty 64 x 64 area
    that lets every click through. */
class PopupMenuComponent : public juce::Component, public juce::SettableTooltipClient
{
public:
    PopupMenuComponent();
    ~PopupMenuComponent() override;

    void setController(CourseController* courseController) { controller = courseController; }
    /** Chooses the picture for the two loop switches. */
    void setBackground(bool sentenceLoopOn, bool courseLoopOn);

private:
    CourseController* controller = nullptr;
    bool sentenceLoop = false;
    bool courseLoop = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PopupMenuComponent)
};
