#include "workspace/PopupMenuComponent.h"

PopupMenuComponent::PopupMenuComponent()
{
    setSize(64, 64);
    setInterceptsMouseClicks(false, false);
}

PopupMenuComponent::~PopupMenuComponent() = default;

void PopupMenuComponent::setBackground(bool sentenceLoopOn, bool courseLoopOn)
{
    sentenceLoop = sentenceLoopOn;
    courseLoop = courseLoopOn;
    repaint();
}
