#pragma once

#include "harness/OpenWorkspace.h"

#include <functional>

class MainComponent;
class PagesContainer;
class ThumbsContainer;

/** The whole workspace laid out at 1000 x 700 with a course of one-second sentences over a
    ten-second tone, opened at start-up as the last run would have left it (no course for 0).
    `settings` runs before the start, for settings the layout depends on. */
class WorkspaceWithCourse
{
public:
    explicit WorkspaceWithCourse(int sentences, const std::function<void()>& settings = {});

    MainComponent& main() const;
    ThumbsContainer& strip() const;
    PagesContainer& pages() const;
    juce::Viewport& stripViewport() const;
    juce::Viewport& pagesViewport() const;
    CourseModel& model() const { return workspace.model(); }

    /** A mouse event at a point of the component, with these modifiers. */
    static juce::MouseEvent mouseAt(juce::Component& on, juce::Point<int> at, juce::ModifierKeys mods);
    /** Turns the wheel by dy over a point of the component. */
    static void turnWheel(juce::Component& on, juce::Point<int> at, juce::ModifierKeys mods, float dy);
    /** Runs the message loop a little, for asynchronous scroll-bar moves. */
    static void settle();

    static constexpr int rate = 44100;

private:
    OpenWorkspace workspace;
};
