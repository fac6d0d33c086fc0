#include "workspace/PopupMenuComponent.h"

#include "engine/CourseModel.h"
#include "workspace/CommandCenter.h"
#include "workspace/CourseController.h"

#include <BinaryData.h>

namespace
{
const int restingSize = 64;
const int hoverGrowth = 3; // on each side, so the badge grows around its centre

// The picture's body: clicks near the rim don't open the menu.
const juce::Rectangle<int> clickableBody(12, 2, 40, 60);
} // namespace

PopupMenuComponent::PopupMenuComponent()
{
    setBackground(false, false);
    setSize(restingSize, restingSize);
}

PopupMenuComponent::~PopupMenuComponent() = default;

juce::Image PopupMenuComponent::pictureFor(bool sentenceLoopOn, bool courseLoopOn)
{
    if (sentenceLoopOn && courseLoopOn)
        return juce::ImageCache::getFromMemory(BinaryData::ibothLoop_png, BinaryData::ibothLoop_pngSize);
    if (sentenceLoopOn)
        return juce::ImageCache::getFromMemory(BinaryData::isentenceLoop_png,
                                               BinaryData::isentenceLoop_pngSize);
    if (courseLoopOn)
        return juce::ImageCache::getFromMemory(BinaryData::icourseLoop_png, BinaryData::icourseLoop_pngSize);
    return juce::ImageCache::getFromMemory(BinaryData::inormal_png, BinaryData::inormal_pngSize);
}

void PopupMenuComponent::setBackground(bool sentenceLoopOn, bool courseLoopOn)
{
    picture = pictureFor(sentenceLoopOn, courseLoopOn);
    repaint();
}

void PopupMenuComponent::paint(juce::Graphics& g)
{
    g.setOpacity(1.0f);
    g.drawImage(picture, getLocalBounds().toFloat());
}

void PopupMenuComponent::mouseEnter(const juce::MouseEvent&)
{
    // Grown only from the resting size, so that an unpaired enter or exit can't make it drift.
    if (getWidth() == restingSize)
        setBounds(getBounds().expanded(hoverGrowth));
    if (controller != nullptr)
        setTooltip(dueTaskText());
}

void PopupMenuComponent::mouseExit(const juce::MouseEvent&)
{
    if (getWidth() == restingSize + 2 * hoverGrowth)
        setBounds(getBounds().reduced(hoverGrowth));
}

juce::String PopupMenuComponent::dueTaskText() const
{
    // A review course that is open is one of today's courses; a course being learnt is not.
    const bool reviewing = controller->isCourseOpen() && !controller->getCourseModel().isLearning();
    const int courses = controller->getNumDueCourses() + (reviewing ? 1 : 0);
    const int sentences = controller->getNumDueSentences();

    if (courses == 0 && sentences == 0)
        return TRANS("Congratulations!") + " " + TRANS("All courses review completed today.");

    return TRANS("Today's mission: ") + juce::String(courses) +
           (courses < 2 ? TRANS(" course, ") : TRANS(" courses, ")) + juce::String(sentences) +
           (sentences < 2 ? TRANS(" sentence.") : TRANS(" sentences."));
}

void PopupMenuComponent::mouseDown(const juce::MouseEvent& event)
{
    dragger.startDraggingComponent(this, event);
}

void PopupMenuComponent::mouseDrag(const juce::MouseEvent& event)
{
    dragging = true;
    setMouseCursor(juce::MouseCursor::DraggingHandCursor);
    dragger.dragComponent(this, event, nullptr);
}

void PopupMenuComponent::mouseUp(const juce::MouseEvent& event)
{
    const bool wasDrag = dragging;
    // Cleared before the menu, which may run a modal loop of its own.
    dragging = false;
    setMouseCursor(juce::MouseCursor::NormalCursor);

    if (!wasDrag && clickableBody.contains(event.getPosition()))
        CommandCenter::showRightClickMenu(CommandCenter::backgroundMenu);
}
