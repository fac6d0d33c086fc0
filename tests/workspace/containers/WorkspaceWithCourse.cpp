#include "WorkspaceWithCourse.h"

#include "harness/CourseWorkingSet.h"
#include "harness/OpenCourse.h"
#include "workspace/MainComponent.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"

#include <gtest/gtest.h>

WorkspaceWithCourse::WorkspaceWithCourse(int sentences, const std::function<void()>& settings)
    : workspace(
          [sentences, settings]
          {
              if (settings)
                  settings();
              if (sentences == 0)
                  return;
              CourseWorkingSet set(10.0, rate);
              ASSERT_TRUE(set.wasCreated());
              // Left in the temporary folder, the course is opened at the start.
              ASSERT_TRUE(
                  set.writeSentences(OpenCourse::contiguous(std::vector<int>((size_t)sentences, rate))));
          })
{
    workspace.layOut(1000, 700);
    settle();
}

MainComponent& WorkspaceWithCourse::main() const
{
    return workspace.main();
}

ThumbsContainer& WorkspaceWithCourse::strip() const
{
    return *main().getThumbsContainer();
}

PagesContainer& WorkspaceWithCourse::pages() const
{
    return *main().getPagesContainer();
}

juce::Viewport& WorkspaceWithCourse::stripViewport() const
{
    return main().getThumbsViewport();
}

juce::Viewport& WorkspaceWithCourse::pagesViewport() const
{
    return main().getSentencesViewport();
}

juce::MouseEvent WorkspaceWithCourse::mouseAt(juce::Component& on, juce::Point<int> at,
                                              juce::ModifierKeys mods)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at.toFloat(), mods,
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &on, &on, now,
                            at.toFloat(), now, 1, false);
}

void WorkspaceWithCourse::turnWheel(juce::Component& on, juce::Point<int> at, juce::ModifierKeys mods,
                                    float dy)
{
    juce::MouseWheelDetails wheel;
    wheel.deltaX = 0.0f;
    wheel.deltaY = dy;
    wheel.isReversed = false;
    wheel.isSmooth = false;
    wheel.isInertial = false;
    on.mouseWheelMove(mouseAt(on, at, mods), wheel);
}

void WorkspaceWithCourse::settle()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
}
