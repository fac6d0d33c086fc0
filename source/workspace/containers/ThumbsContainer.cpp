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
    cursorX = x;
    // A burst of added or removed sentences moves the cursor once per sentence; only the last
    // place is shown, with the burst's layout.
    if (!isLayoutPending())
        placeCursor();
}

void ThumbsContainer::placeCursor()
{
    cursor.setRectangle(
        juce::Rectangle<float>((float)cursorX - 0.5f, 21.5f, 2.0f, (float)(getHeight() - 22)));
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

    const auto cursorSeconds = GlobalData::xToSeconds(getCursorX());
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

int ThumbsContainer::blockWidth(const SentenceComponent& view)
{
    return GlobalData::samplesToX(view.end - view.start);
}

int ThumbsContainer::leftEdgeOf(int index) const
{
    int x = 0;
    for (int i = 0; i < juce::jmin(index, views.size()); ++i)
        x += blockWidth(*views.getUnchecked(i));
    return x;
}

void ThumbsContainer::place(SentenceComponent& view, int x)
{
    view.setBounds(x, blocksTop, blockWidth(view), getHeight() - blocksTop);
}

void ThumbsContainer::sentenceAdded(int index)
{
    // The new block gets its place before it is shown (the course model reads it at once); it
    // joins the strip, and the blocks after it move, with the burst's one layout. A block moved
    // while shown costs a question to the window system, so each one moves once per burst.
    if (auto* view = views[index])
        place(*view, leftEdgeOf(index));
    layOutLater();
    timeScale.repaint();
}

void ThumbsContainer::sentenceRemoved(int index, int samples)
{
    // A strip no wider than the view is zoomed so that the remaining blocks fill it again. The
    // widths are those the layout gives, which the strip itself may not have yet in a burst.
    const int removedWidth = GlobalData::samplesToX(samples);
    const int width = juce::jmax(leftEdgeOf(views.size()) + removedWidth, visibleWidth());
    const int remaining = width - removedWidth;
    if (viewport != nullptr && remaining > 0 && remaining <= viewport->getWidth())
        GlobalData::widthZoomFactor *= (double)visibleWidth() / remaining;

    // The block that takes the removed one's place is read by the course model at once.
    const int next = juce::jmin(index, views.size() - 1);
    if (auto* view = views[next])
        place(*view, leftEdgeOf(next));
    layOutLater();
    timeScale.repaint();
}

void ThumbsContainer::parentSizeChanged()
{
    layOutIfPending();
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
    layoutDone();
    int x = 0;
    for (auto* view : views)
    {
        place(*view, x);
        x += view->getWidth();
    }
    // Blocks added since the last layout are shown only now that they are in place.
    for (auto* view : views)
        if (view->getParentComponent() != this)
            addAndMakeVisible(view);

    const int visible = visibleWidth();
    const int visibleHeight = viewport != nullptr ? viewport->getMaximumVisibleHeight() : getHeight();
    setSize(juce::jmax(x, visible), visibleHeight);
    if (getWidth() > 0 && GlobalData::widthZoomFactor > 0.0)
        minimumZoom = visible / (getWidth() / GlobalData::widthZoomFactor);

    placeCursor();
    setTimeScaleBounds();
}
