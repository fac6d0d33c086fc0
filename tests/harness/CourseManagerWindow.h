#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CourseManagerPanel;

/** The course library panel in a window of its own on the test's display, brought to the front,
    as the learner sees it: its call-out boxes stay open only while the program is the one in
    the foreground. The panel reads the library when the window is made. */
class CourseManagerWindow
{
public:
    CourseManagerWindow();
    ~CourseManagerWindow();

    CourseManagerPanel& panel() const { return *content; }
    juce::DocumentWindow& window() { return frame; }

    /** Brings the window to the front and waits until the program holds the focus; false when it
        never did. */
    bool bringToFront();

    /** The call-out box open in the panel, or nullptr. */
    juce::CallOutBox* openCallOut() const;

private:
    juce::DocumentWindow frame{"Courses manager", juce::Colours::lightgrey, 0};
    CourseManagerPanel* content = nullptr;

    JUCE_DECLARE_NON_COPYABLE(CourseManagerWindow)
};
