#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CourseController;

/** The floating badge over the pages. The pages container owns it and keeps it on top; the pages
    viewport glides it to the top right corner of the visible area.

    Its picture shows which loops are on. It grows a little around its centre while the mouse is
    over it, tells the day's review task in its tooltip, can be dragged anywhere, and a click on its
    body opens the background's right-click menu. */
class PopupMenuComponent : public juce::Component, public juce::SettableTooltipClient
{
public:
    PopupMenuComponent();
    ~PopupMenuComponent() override;

    void setController(CourseController* courseController) { controller = courseController; }
    /** Chooses the picture for the two loop switches. */
    void setBackground(bool sentenceLoopOn, bool courseLoopOn);

    const juce::Image& getPicture() const { return picture; }

    void mouseEnter(const juce::MouseEvent& event) override;
    void mouseExit(const juce::MouseEvent& event) override;
    void mouseDown(const juce::MouseEvent& event) override;
    void mouseDrag(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;
    void paint(juce::Graphics& g) override;

    /** The picture for the two loop switches, from the image cache. */
    static juce::Image pictureFor(bool sentenceLoopOn, bool courseLoopOn);

private:
    juce::String dueTaskText() const;

    CourseController* controller = nullptr;
    juce::Image picture;
    juce::ComponentDragger dragger;
    bool dragging = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PopupMenuComponent)
};
