#include "workspace/containers/ThumbsContainer.h"

#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/sentences/SentenceComponent.h"

namespace
{
// The blocks start below the time scale.
const int blocksTop = 21;
const int timeScaleHeight = 20;
} // namespace

ThumbsContainer::ThumbsContainer(juce::OwnedArray<SentenceComponent>& modelViews,
                                 juce::Viewport* stripViewport)
    : SentencesContainer(modelViews), viewport(stripViewport)
{
    for (auto* view : views)
        addAndMakeVisible(view);
    addAndMakeVisible(timeScale);
    applyCursorColour();
    addAndMakeVisible(cursor);
    cursor.setAlwaysOnTop(true);
    cursor.setInterceptsMouseClicks(false, false);
    setCursorPosition(0);
}

ThumbsContainer::~ThumbsContainer() = default;

int ThumbsContainer::visibleWidth() const
{
    return viewport != nullptr ? viewport->getMaximumVisibleWidth() : getWidth();
}

void ThumbsContainer::setCursorPosition(int x)
{
    cursor.setRectangle(juce::Rectangle<float>((float)x - 0.5f, 21.5f, 2.0f, (float)(getHeight() - 22)));
}

void ThumbsContainer::applyCursorColour()
{
    cursor.setFill(systemModel->cursorColour);
}

void ThumbsContainer::setChannelNumber(bool single)
{
    if (single == singleChannel)
        return;
    singleChannel = single;
    repaint();
}

int ThumbsContainer::getAllThumbsWidth() const
{
    int width = 0;
    for (auto* view : views)
        width += view->getWidth();
    return width;
}

void ThumbsContainer::zoomThumbs(bool in, int x)
{
    if (views.isEmpty())
        return;

    const auto cursorSeconds = GlobalData::xToSeconds(cursor.getX());
    const auto mouseSeconds = GlobalData::xToSeconds(x);
    const int viewX = viewport != nullptr ? viewport->getViewPositionX() : 0;

    auto zoom = in ? GlobalData::widthZoomFactor * 1.1 : GlobalData::widthZoomFactor / 1.1;
    // The upper bound wins: a very short course may need more than the maximum to fill the view.
    GlobalData::widthZoomFactor = juce::jmin(maximumZoom, juce::jmax(minimumZoom, zoom));

    // The cursor's left edge lies half a pixel before its time.
    setCursorPosition(GlobalData::secondsToX(cursorSeconds) + 1);
    // Laid out before scrolling: the viewport keeps a view position only within the content.
    resized();
    if (viewport != nullptr)
        viewport->setViewPosition(viewX - x + GlobalData::secondsToX(mouseSeconds), 0);
}

void ThumbsContainer::setTimeScaleBounds()
{
    if (viewport == nullptr)
        return;
    const int viewX = viewport->getViewPositionX();
    timeScale.startTime = GlobalData::xToSeconds(viewX);
    timeScale.setBounds(viewX, 0, juce::jmax(0, viewport->getWidth()), timeScaleHeight);
    timeScale.repaint();
}

double ThumbsContainer::getMinTimeUnitInSeconds(const double& zoom)
{
    // Beyond the zoom range the tick unit stays at its finest; a zoom of 0 or below (or not a
    // number) gets the coarsest, so the search below always ends.
    constexpr double finest = 1.0 / 1024.0;
    constexpr double coarsest = 1 << 30;
    if (zoom >= 512.0)
        return finest;
    if (!(zoom > 0.0))
        return coarsest;

    double unit = finest;
    double bound = 1024.0;
    do
    {
        unit *= 2.0;
        bound /= 2.0;
    } while (!(bound > zoom && zoom >= bound / 2.0) && unit < coarsest);
    return unit;
}

void ThumbsContainer::mouseWheelMove(const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel)
{
    if (event.mods.withoutMouseButtons() == juce::ModifierKeys(juce::ModifierKeys::commandModifier))
    {
        zoomThumbs(wheel.deltaY > 0, event.x);
        return;
    }
    if (viewport == nullptr)
        return;
    viewport->getHorizontalScrollBar().moveScrollbarInSteps(wheel.deltaY < 0 ? 2 : -2,
                                                            juce::sendNotificationAsync);
    setTimeScaleBounds();
}

void ThumbsContainer::sentenceAdded(int index)
{
    if (auto* view = views[index])
        addAndMakeVisible(view);
    resized();
    timeScale.repaint();
}

void ThumbsContainer::sentenceRemoved(int, int samples)
{
    // A strip no wider than the view is zoomed so that the remaining blocks fill it again.
    const int remaining = getWidth() - GlobalData::samplesToX(samples);
    if (viewport != nullptr && remaining > 0 && remaining <= viewport->getWidth())
        GlobalData::widthZoomFactor *= (double)visibleWidth() / remaining;
    resized();
    timeScale.repaint();
}

void ThumbsContainer::parentSizeChanged()
{
    const int visible = visibleWidth();
    if (getWidth() < 2 || views.isEmpty())
        GlobalData::widthZoomFactor = 1.0;
    else if (getWidth() <= visible || GlobalData::widthZoomFactor <= minimumZoom)
        GlobalData::widthZoomFactor *= (double)visible / getWidth();
    resized();
}

void ThumbsContainer::paint(juce::Graphics& g)
{
    const auto background = systemModel->areaBgColour;
    const auto height = (float)getHeight();
    juce::ColourGradient gradient(background, 0.0f, (float)blocksTop, background, 0.0f, height, false);
    if (singleChannel)
    {
        gradient.addColour(0.5, juce::Colours::grey);
    }
    else
    {
        const double p = 2.0 / height + 0.25;
        gradient.addColour(p, juce::Colours::grey);
        gradient.addColour(0.5, background);
        gradient.addColour(1.0 - p, juce::Colours::grey);
    }
    g.setGradientFill(gradient);
    g.fillAll();
}

void ThumbsContainer::resized()
{
    int x = 0;
    for (auto* view : views)
    {
        const int width = GlobalData::samplesToX(view->end - view->start);
        view->setBounds(x, blocksTop, width, getHeight() - blocksTop);
        x += width;
    }

    const int visible = visibleWidth();
    const int visibleHeight = viewport != nullptr ? viewport->getMaximumVisibleHeight() : getHeight();
    setSize(juce::jmax(x, visible), visibleHeight);
    if (getWidth() > 0 && GlobalData::widthZoomFactor > 0.0)
        minimumZoom = visible / (getWidth() / GlobalData::widthZoomFactor);

    const auto bounds = cursor.getDrawableBounds();
    cursor.setRectangle(bounds.withHeight((float)(getHeight() - 22)));
    setTimeScaleBounds();
}
